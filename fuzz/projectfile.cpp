// libFuzzer target for the project file reader. A file that opens must save, and the saved
// bytes must open again and save to the same bytes.

#include "core/errors.h"
#include "core/langload.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <memory>

using namespace tervelle;

namespace {

QTemporaryDir *workDir;

QString writeInput(const QString &name, const QByteArray &bytes)
{
    const QString path = workDir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Paths holding a NUL make Qt warn on every stat; the warnings would bury the fuzzer's log.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    static QCoreApplication app(*argc, *argv);
    static QTemporaryDir dir;
    workDir = &dir;
    InitLanguage();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString input = writeInput(QStringLiteral("input.mpr"),
                                     QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    SharedState state;
    ProjectModel project(state);
    project.NewFile();
    const QByteArray untouched = ProjectFileBytes(project);
    try {
        OpenProjectFile(project, input);
    } catch (const UserError &) {
        // A refused file leaves the project as it was.
        if (ProjectFileBytes(project) != untouched)
            std::abort();
        return 0;
    }

    const QByteArray saved = ProjectFileBytes(project);
    SharedState againState;
    ProjectModel again(againState);
    again.NewFile();
    OpenProjectFile(again, writeInput(QStringLiteral("saved.mpr"), saved));
    if (ProjectFileBytes(again) != saved)
        std::abort();
    return 0;
}
