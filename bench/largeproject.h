#pragma once

// The large project of the project benchmarks: 100,000 tree nodes and 89 maps of 200
// properties.

#include "project/projectmodel.h"

#include <functional>

namespace tervelle {

inline constexpr int TreeNodes = 100000;

// The path of node `n`'s source; by default one that does not exist, as on a machine that did not
// build the pack.
using LargeProjectSource = std::function<QString(int n, const char *ext, FileType type)>;

inline QString missingSource(int n, const char *ext, FileType)
{
    return QStringLiteral("/packs/source/file%1.%2").arg(n).arg(QLatin1String(ext));
}

// A pack as a busy map maker might build it: information pages in nested folders, and the
// game groups full of files. With `mapsNameTheirFiles`, each map's [map] names a file under Maps.
inline void buildLargeProject(ProjectModel &project, const LargeProjectSource &source = missingSource,
                              bool mapsNameTheirFiles = false)
{
    project.NewFile();
    int remaining = TreeNodes - project.tree().count();
    int n = 0;
    const struct
    {
        RootGroup group;
        FileType type;
        const char *ext;
        int count;
    } groups[] = {
        {MapsRoot, MapFile, "xan", 3000},        {HeightMapsRoot, HeightMapFile, "hmp", 3000},
        {IconsRoot, LevelIconFile, "tga", 3000}, {TexturesRoot, TextureListFile, "txt", 3000},
        {ScriptsRoot, ScriptFile, "lua", 3000},
    };
    for (const auto &g : groups) {
        for (int i = 0; i < g.count; ++i, ++n)
            project.AddFileElement(project.root(g.group), QStringLiteral("file%1.%2").arg(n).arg(g.ext), g.type,
                                   source(n, g.ext, g.type));
        remaining -= g.count;
    }
    TreeNode *files = project.root(FilesRoot);
    while (remaining > 0) {
        TreeNode *folder = project.AddDirElement(files, QStringLiteral("folder%1").arg(n++));
        --remaining;
        for (int sub = 0; sub < 8 && remaining > 0; ++sub) {
            TreeNode *inner = project.AddDirElement(folder, QStringLiteral("sub%1").arg(sub));
            --remaining;
            for (int f = 0; f < 40 && remaining > 0; ++f, --remaining, ++n)
                project.AddFileElement(inner, QStringLiteral("page%1.htm").arg(n), InfoPageFile,
                                       source(n, "htm", InfoPageFile));
        }
    }
    for (int m = 0; m < MaxMaps; ++m) {
        const int index = project.AddMap();
        if (mapsNameTheirFiles)
            project.SetMapPropertyValue(index, 3, QStringLiteral("file%1").arg(m));
        for (int p = FixedMapProperties; p < 200; ++p) {
            const int row = project.AddMapProperty(index, QStringLiteral("[extra%1]").arg(p));
            project.SetMapPropertyValue(index, row, QStringLiteral("value number %1 of map %2").arg(p).arg(m));
        }
    }
}

} // namespace tervelle
