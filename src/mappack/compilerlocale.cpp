#include "mappack/compilerlocale.h"

#include "core/textcodec.h"

#include <QHash>

#ifndef Q_OS_WIN
#include <locale.h>
#endif

namespace tervelle {

#ifndef Q_OS_WIN
namespace {

// "Windows-1252", "cp1252" and "windows1252" are one code page.
QString folded(const QString &name)
{
    QString key;
    for (const QChar c : name) {
        if (c.isLetterOrNumber())
            key += c.toLower();
    }
    return key;
}

// The codec names ICU knows for the Windows ANSI code pages. ISO-8859-1 and ASCII are read the
// same by windows-1252 for every byte a script can hold (control characters never reach it).
const QHash<QString, int> &ansiCodePages()
{
    static const QHash<QString, int> pages = [] {
        QHash<QString, int> table;
        const auto add = [&](int page, std::initializer_list<const char *> names) {
            table.insert(QStringLiteral("windows%1").arg(page), page);
            table.insert(QStringLiteral("cp%1").arg(page), page);
            for (const char *name : names)
                table.insert(QString::fromLatin1(name), page);
        };
        add(1252, {"iso88591", "latin1", "l1", "usascii", "ascii"});
        for (int page : {1250, 1251, 1253, 1254, 1255, 1256, 1257, 1258})
            add(page, {});
        add(874, {"tis620"});
        add(932, {"shiftjis", "sjis", "mskanji", "windows31j", "xsjis"});
        add(936, {"gbk", "gb2312", "euccn"});
        add(949, {"euckr", "ksc56011987", "uhc"});
        add(950, {"big5"});
        return table;
    }();
    return pages;
}

// A locale whose language Wine gives that ANSI code page; UTF-8 so that Wine still reads the
// Linux file names of the script's paths as we wrote them. Windows-1252 is Wine's default,
// which C.UTF-8, built into the C library, gives.
const char *localeFor(int page)
{
    switch (page) {
    case 1252: return "C.UTF-8";
    case 1250: return "pl_PL.UTF-8";
    case 1251: return "ru_RU.UTF-8";
    case 1253: return "el_GR.UTF-8";
    case 1254: return "tr_TR.UTF-8";
    case 1255: return "he_IL.UTF-8";
    case 1256: return "ar_EG.UTF-8";
    case 1257: return "lt_LT.UTF-8";
    case 1258: return "vi_VN.UTF-8";
    case 874: return "th_TH.UTF-8";
    case 932: return "ja_JP.UTF-8";
    case 936: return "zh_CN.UTF-8";
    case 949: return "ko_KR.UTF-8";
    case 950: return "zh_TW.UTF-8";
    default: return nullptr;
    }
}

// Without the locale, Wine would still take the language from LC_ALL but read file names as
// ASCII, so a script with a non-ASCII path would name other files.
bool localeInstalled(const char *name)
{
    const locale_t locale = newlocale(LC_CTYPE_MASK, name, locale_t(nullptr));
    if (!locale)
        return false;
    freelocale(locale);
    return true;
}

// The Windows ANSI code page number that reads bytes of `codec` as the same text, or 0 when no
// Windows system reads text that way (UTF-8, KOI8-R, ...).
int windowsCodePageOf(const TextCodec &codec)
{
    return ansiCodePages().value(folded(codec.name()), 0);
}

} // namespace
#endif

QString compilerLocale(const TextCodec &codec)
{
#ifdef Q_OS_WIN
    Q_UNUSED(codec);
    return QString();
#else
    const int page = windowsCodePageOf(codec);
    const char *locale = page != 0 ? localeFor(page) : nullptr;
    if (!locale || !localeInstalled(locale))
        locale = localeFor(1252);
    return QString::fromLatin1(locale);
#endif
}

} // namespace tervelle
