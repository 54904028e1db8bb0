#include "project/filenames.h"

namespace tervelle {

namespace {

char16_t upper(char16_t c)
{
    // Nearly every name is ASCII: no table lookup for it.
    if (c < 0x80)
        return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
    return QChar::toUpper(c);
}

} // namespace

QString fileNameKey(const QString &name)
{
    qsizetype i = 0;
    while (i < name.size() && upper(name[i].unicode()) == name[i].unicode())
        ++i;
    if (i == name.size())
        return name;
    QString key = name;
    QChar *to = key.data();
    for (; i < key.size(); ++i)
        to[i] = QChar(upper(to[i].unicode()));
    return key;
}

bool sameFileName(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (upper(a[i].unicode()) != upper(b[i].unicode()))
            return false;
    }
    return true;
}

std::size_t fileNameHash(const QString &name)
{
    // FNV-1a over the upper-cased UTF-16 units.
    std::size_t hash = 14695981039346656037ull;
    for (const QChar c : name) {
        hash ^= upper(c.unicode());
        hash *= 1099511628211ull;
    }
    return hash;
}

QString mapListFileName(const QString &englishTitle)
{
    return englishTitle + QStringLiteral(".mpl");
}

} // namespace tervelle
