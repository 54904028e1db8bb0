// libFuzzer target: a project file from anywhere, through the reader and the installer script
// generator. The script runs on the compiler and its installer on players' machines, so a script
// that is made at all must hold no control character on any line, and every file or folder name
// that reaches a [Files] or [Code] line must be one Windows name that cannot leave its folder.

#include "mappack/setupscript.h"
#include "core/errors.h"
#include "core/langload.h"
#include "core/namerule.h"
#include "mappack/packplan.h"
#include "mappack/scriptescape.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace tervelle;

namespace {

QTemporaryDir *workDir;
QString appDir;

[[noreturn]] void violation(const char *what, const QByteArray &line)
{
    std::fprintf(stderr, "setupscript: %s in the line: %s\n", what,
                 qPrintable(escapeControlCharacters(QString::fromLatin1(line))));
    std::abort();
}

// The contents of the Pascal string literals of a [Code] line ('' is one quote).
QStringList pascalLiterals(const QString &line)
{
    QStringList literals;
    qsizetype i = line.indexOf(QLatin1Char('\''));
    while (i >= 0 && i < line.size()) {
        QString literal;
        qsizetype j = i + 1;
        for (; j < line.size(); ++j) {
            if (line[j] == QLatin1Char('\'')) {
                if (j + 1 < line.size() && line[j + 1] == QLatin1Char('\'')) {
                    literal += QLatin1Char('\'');
                    ++j;
                    continue;
                }
                break;
            }
            literal += line[j];
        }
        literals << literal;
        i = line.indexOf(QLatin1Char('\''), j + 1);
    }
    return literals;
}

// Every folder and file name of a relative path ("info\a\page.htm", "data\maps\").
void requireWindowsPath(const QString &path, const QByteArray &line)
{
    for (const QString &name : path.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        if (!isWindowsName(name))
            violation("a name that is no Windows name", line);
    }
}

// Generated calls that carry tree names: CreateSubDir, CopyToMaplists, CopyToWorms and
// MakeFolder. The procedures' own definitions in the fixed part of the section start
// without the call indent.
bool isTreeCall(const QString &line)
{
    static const QString calls[] = {
        QStringLiteral("CreateSubDir("),
        QStringLiteral("CopyToMaplists("),
        QStringLiteral("CopyToWorms("),
        QStringLiteral("MakeFolder(WormsDir+"),
    };
    const QString trimmed = line.trimmed();
    if (!line.startsWith(QLatin1String("          ")))
        return false;
    for (const QString &call : calls) {
        if (trimmed.startsWith(call))
            return true;
    }
    return false;
}

void checkScript(const QList<QByteArray> &lines)
{
    const QString staging = compilerPath(StagingFolder(appDir));
    QString section;
    for (const QByteArray &bytes : lines) {
        for (const char c : bytes) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 0x20 || u == 0x7f)
                violation("a control character", bytes);
        }
        const QString line = QString::fromUtf8(bytes);
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line;
            continue;
        }
        if (section == QLatin1String("[Files]") && line.startsWith(QLatin1String("Source: \""))) {
            const qsizetype sourceEnd = line.indexOf(QLatin1Char('"'), 9);
            const QString source = line.mid(9, sourceEnd - 9);
            if (source.startsWith(staging))
                requireWindowsPath(source.mid(staging.size()), bytes);
            const qsizetype destStart = line.indexOf(QLatin1String("DestName:\""));
            if (destStart < 0)
                violation("a file line without DestName", bytes);
            const qsizetype nameStart = destStart + 10;
            requireWindowsPath(line.mid(nameStart, line.indexOf(QLatin1Char('"'), nameStart) - nameStart), bytes);
        } else if (section == QLatin1String("[Code]") && isTreeCall(line)) {
            for (const QString &literal : pascalLiterals(line))
                requireWindowsPath(literal, bytes);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    static QCoreApplication app(*argc, *argv);
    static QTemporaryDir dir;
    workDir = &dir;
    appDir = dir.filePath(QStringLiteral("app/"));
    InitLanguage();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString input = workDir->filePath(QStringLiteral("input.mpr"));
    {
        QFile file(input);
        const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            std::abort();
    }
    ProjectModel project;
    project.NewFile();
    try {
        OpenProjectFile(project, input);
    } catch (const UserError &) {
        return 0;
    }
    QList<QByteArray> lines;
    try {
        lines = MakeSetupScript(planPack(project, appDir), workDir->filePath(QStringLiteral("out/pack.exe")));
    } catch (const UserError &) {
        return 0;
    }
    checkScript(lines);
    return 0;
}
