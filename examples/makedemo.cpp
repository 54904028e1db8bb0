// Writes the demo project into a build folder: copies the demo's files there, draws its level
// icons and texture tiles as small TGA pictures, and saves "demo.mpr" with the editor's own
// project code. Project files hold absolute source paths, so the project is made where it is
// used rather than committed.
//
// usage: makedemo SOURCE_FOLDER OUTPUT_FOLDER

#include "core/common.h"
#include "core/errors.h"
#include "core/langload.h"
#include "project/projectfile.h"
#include "project/projectmodel.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <functional>

using namespace tervelle;

namespace {

struct Rgba
{
    int r, g, b, a = 255;
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        throw UserError(QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString()));
}

void copyFile(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw UserError(QStringLiteral("Cannot read \"%1\": %2").arg(from, source.errorString()));
    writeFile(to, source.readAll());
}

// An uncompressed true-colour TGA, rows bottom-up: the form every reader of the game's
// pictures takes.
QByteArray tga(int width, int height, bool alpha, const std::function<Rgba(int x, int y)> &pixel)
{
    QByteArray bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = char(width & 0xFF);
    bytes[13] = char(width >> 8);
    bytes[14] = char(height & 0xFF);
    bytes[15] = char(height >> 8);
    bytes[16] = char(alpha ? 32 : 24);
    bytes[17] = char(alpha ? 8 : 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Rgba c = pixel(x, y);
            bytes.append(char(c.b)).append(char(c.g)).append(char(c.r));
            if (alpha)
                bytes.append(char(c.a));
        }
    }
    return bytes;
}

// A level icon: a sky, a ground line shaped by `hills`, transparent corners.
QByteArray levelIcon(Rgba sky, Rgba ground, double hills)
{
    const int size = 64;
    return tga(size, size, true, [&](int x, int y) {
        const int dx = x - size / 2, dy = y - size / 2;
        if (dx * dx + dy * dy > 31 * 31)
            return Rgba{0, 0, 0, 0};
        const int groundTop = 40 - int(hills * ((x * 7) % 23 - 11) / 11.0 * 6);
        if (y >= groundTop)
            return Rgba{ground.r - (y - groundTop), ground.g - (y - groundTop), ground.b};
        return Rgba{sky.r, sky.g + y / 2, sky.b};
    });
}

// A texture tile: a brick pattern in the theme's colour, a little lighter for each number.
QByteArray textureTile(Rgba base, int number)
{
    return tga(32, 32, false, [&](int x, int y) {
        const bool mortar = y % 8 == 0 || (x + (y / 8 % 2) * 8) % 16 == 0;
        const int lift = number * 12;
        if (mortar)
            return Rgba{200, 200, 190};
        return Rgba{qMin(255, base.r + lift), qMin(255, base.g + lift), qMin(255, base.b + lift)};
    });
}

TMapInfo demoMap(const QString &title, const QString &name, const QString &textures, const QString &tile1,
                 const QString &tile2)
{
    TMapInfo info = ProjectModel::defaultMapInfo();
    info.Properties = {
        QStringLiteral("[text]=") + title,
        QStringLiteral("[image]=") + name + QStringLiteral(".tga"),
        QStringLiteral("[scripts]=stdvs,wormpot,demo"),
        QStringLiteral("[map]=") + name,
        QStringLiteral("[textures]=") + textures,
        QStringLiteral("[texture1]=") + tile1,
        QStringLiteral("[texture2]=") + tile2,
    };
    return info;
}

void makeDemo(const QString &sourceFolder, const QString &outputFolder)
{
    const QString source = QDir(sourceFolder).absolutePath() + QLatin1Char('/');
    const QString demo = QDir(outputFolder).absolutePath() + QStringLiteral("/demo/");
    const QString textures = QDir(outputFolder).absolutePath() + QStringLiteral("/textures/");

    const QStringList committed = {
        QStringLiteral("maps/arena.xan"),      QStringLiteral("maps/canyon.xan"),  QStringLiteral("hmaps/arena.hmp"),
        QStringLiteral("hmaps/canyon.hmp"),    QStringLiteral("scripts/demo.lua"), QStringLiteral("textures/demo.txt"),
        QStringLiteral("files/info/demo.htm"),
    };
    for (const QString &file : committed)
        copyFile(source + file, demo + file);

    writeFile(demo + QStringLiteral("icons/arena.tga"), levelIcon({90, 150, 230}, {90, 170, 60}, 0.3));
    writeFile(demo + QStringLiteral("icons/canyon.tga"), levelIcon({240, 170, 110}, {170, 100, 50}, 1.0));
    // A few tiles of two themes, for the textures folder of the maps panel.
    for (int n = 1; n <= 4; ++n) {
        const QString nn = QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
        writeFile(textures + QStringLiteral("ThemeCamelot/C") + nn + QStringLiteral(".tga"),
                  textureTile({110, 100, 120}, n));
        writeFile(textures + QStringLiteral("ThemeBuilding/B") + nn + QStringLiteral(".tga"),
                  textureTile({150, 60, 40}, n));
    }

    ProjectModel project;
    project.NewFile();
    // Confirmed, so that "Save map pack" goes straight to the save dialog.
    project.setPackProperties(PackProperties{QStringLiteral("Tervelle demo pack"),
                                             QStringLiteral("1.0"),
                                             QStringLiteral("Tervelle"),
                                             QLatin1String(MakerWebSite),
                                             {QStringLiteral("russian")},
                                             true});

    project.SetHeaderValue(0, QStringLiteral("Tervelle demo pack"));
    project.SetHeaderValue(1, QStringLiteral("info\\demo.htm"));
    project.SetHeaderValue(project.AddHeaderKey(QStringLiteral("[russian]"), TextKey),
                           QStringLiteral("Tervelle demo pack"));

    TreeNode *info = project.AddDirElement(project.root(FilesRoot), QStringLiteral("info"));
    project.AddFileElement(info, QStringLiteral("demo.htm"), InfoPageFile,
                           demo + QStringLiteral("files/info/demo.htm"));
    for (const char *name : {"arena", "canyon"}) {
        const QString n = QLatin1String(name);
        project.AddFileElement(project.root(MapsRoot), n + QStringLiteral(".xan"), MapFile,
                               demo + QStringLiteral("maps/") + n + QStringLiteral(".xan"));
    }
    for (const char *name : {"arena", "canyon"}) {
        const QString n = QLatin1String(name);
        project.AddFileElement(project.root(HeightMapsRoot), n + QStringLiteral(".hmp"), HeightMapFile,
                               demo + QStringLiteral("hmaps/") + n + QStringLiteral(".hmp"));
    }
    for (const char *name : {"arena", "canyon"}) {
        const QString n = QLatin1String(name);
        project.AddFileElement(project.root(IconsRoot), n + QStringLiteral(".tga"), LevelIconFile,
                               demo + QStringLiteral("icons/") + n + QStringLiteral(".tga"));
    }
    project.AddFileElement(project.root(TexturesRoot), QStringLiteral("demo.txt"), TextureListFile,
                           demo + QStringLiteral("textures/demo.txt"));
    project.AddFileElement(project.root(ScriptsRoot), QStringLiteral("demo.lua"), ScriptFile,
                           demo + QStringLiteral("scripts/demo.lua"));

    project.appendMap(QStringLiteral("Arena"),
                      demoMap(QStringLiteral("Arena"), QStringLiteral("arena"), QStringLiteral("demo.txt"),
                              QStringLiteral("C01"), QStringLiteral("C03")));
    project.appendMap(QStringLiteral("Canyon"),
                      demoMap(QStringLiteral("Canyon"), QStringLiteral("canyon"),
                              QStringLiteral("ThemeBuilding\\ThemeBuilding.txt"), QStringLiteral("B02"),
                              QStringLiteral("B04")));

    SaveProjectFile(project, QDir(outputFolder).absolutePath() + QStringLiteral("/demo.mpr"));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fputs("usage: makedemo SOURCE_FOLDER OUTPUT_FOLDER\n", stderr);
        return 2;
    }
    // The tree's group captions are the built-in English ones, whatever language file lies near.
    useBuiltInTexts();
    try {
        makeDemo(args.at(1), args.at(2));
    } catch (const UserError &error) {
        std::fprintf(stderr, "makedemo: %s\n", error.what());
        return 1;
    }
    return 0;
}
