// libFuzzer target for the project file reader, in memory. A file that opens must save, and the
// saved bytes must open again and save to the same bytes; a refused file leaves the project as
// it was.

#include "project/projectfile.h"
#include "core/errors.h"
#include "core/langload.h"
#include "project/projectmodel.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace tervelle;

namespace {

void open(ProjectModel &project, const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    OpenProjectFile(project, buffer, QStringLiteral("input.mpr"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Paths holding a NUL make Qt warn on every stat; the warnings would bury the fuzzer's log.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    static QCoreApplication app(*argc, *argv);
    InitLanguage();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    ProjectModel project;
    project.NewFile();
    const QByteArray untouched = ProjectFileBytes(project);
    try {
        open(project, input);
    } catch (const UserError &) {
        if (ProjectFileBytes(project) != untouched)
            std::abort();
        return 0;
    }
    // Whatever opens has its map list node, named after the title.
    if (!project.MapListNode() || project.MapListNode()->Text() != project.packTitle() + QStringLiteral(".mpl"))
        std::abort();

    QByteArray saved;
    try {
        saved = ProjectFileBytes(project);
    } catch (const UserError &) {
        // A text holding a line break cannot be stored; only a lone CR can come from a file, and
        // it is kept, so a refusal here is a fault.
        std::abort();
    }
    ProjectModel again;
    again.NewFile();
    open(again, saved);
    if (ProjectFileBytes(again) != saved)
        std::abort();
    return 0;
}
