#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace tervelle {

// The game's texture themes, in the order the tile list shows them.
struct TextureTheme
{
    const char *folder;    // folder under the textures folder
    char letter;           // first letter of its tile names
    const char *listValue; // the "[textures]" value naming its texture list, as the game reads it
};

inline constexpr std::array<TextureTheme, 5> TextureThemes = {{
    {"ThemeArabian", 'A', "ThemeArabian\\ThemeArabian.txt"},
    {"ThemeBuilding", 'B', "ThemeBuilding\\ThemeBuilding.txt"},
    {"ThemeCamelot", 'C', "ThemeCamelot\\ThemeCamelot.txt"},
    {"ThemePrehistoric", 'P', "ThemePrehistoric\\ThemePrehistoric.txt"},
    {"ThemeWildwest", 'W', "ThemeWildwest\\ThemeWildwest.txt"},
}};

inline constexpr int TilesPerTheme = 64;
inline constexpr int TileCount = int(TextureThemes.size()) * TilesPerTheme;
inline constexpr int ThumbnailSide = 64;

// "A01" to "W64": the theme's letter and the tile number written with two digits.
QString tileName(int index);
QStringList tileNames();
// The tile's file under the textures folder, with the native separator; empty when no textures
// folder is set (a relative path would read tiles from wherever the editor was started).
QString tileFilePath(const QString &texturesDir, int index);

// The texture tile list with its thumbnails. Each tile is read and decoded the first time it is
// asked for, then kept: a list drawn again and again costs no file reads. Setting the folder
// drops everything read from the previous one.
class TextureTiles
{
public:
    TextureTiles() = default;

    // ChangeTexturesDir: the tiles now come from this folder, read afresh even when it is the
    // same folder as before (the map maker may have changed its files).
    void setFolder(const QString &texturesDir);
    const QString &folder() const { return m_folder; }

    int count() const { return TileCount; }
    QString name(int index) const { return tileName(index); }
    QString filePath(int index) const { return tileFilePath(m_folder, index); }

    // The tile stretched to 64 x 64, its colours composited as the reader does; a null image
    // when its file is missing or the reader declines it.
    QImage thumbnail(int index);

private:
    QString m_folder;
    std::array<std::optional<QImage>, TileCount> m_thumbnails;
};

} // namespace tervelle
