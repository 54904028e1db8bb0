#include "image/texturetiles.h"

#include "image/pictureimage.h"
#include "image/tgareader.h"

#include <QDir>

namespace tervelle {

namespace {

// Reads and decodes one picture file into a 64 x 64 thumbnail, or a null image.
QImage loadThumbnail(const QString &path)
{
    if (path.isEmpty())
        return {};
    Picture picture;
    if (!decodeTga(LoadTgaToMemory(path), picture))
        return {};
    QImage image = pictureToImage(picture);
    if (image.isNull() || image.size() == QSize(ThumbnailSide, ThumbnailSide))
        return image;
    // Stretched whatever its proportions: every row of the list has the same square.
    return image.scaled(ThumbnailSide, ThumbnailSide, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

QString tileName(int index)
{
    Q_ASSERT(index >= 0 && index < TileCount);
    const TextureTheme &theme = TextureThemes[std::size_t(index / TilesPerTheme)];
    return QLatin1Char(theme.letter) + QStringLiteral("%1").arg(index % TilesPerTheme + 1, 2, 10, QLatin1Char('0'));
}

QStringList tileNames()
{
    QStringList names;
    names.reserve(TileCount);
    for (int i = 0; i < TileCount; ++i)
        names.append(tileName(i));
    return names;
}

QString tileFilePath(const QString &texturesDir, int index)
{
    if (texturesDir.isEmpty())
        return QString();
    const QChar separator = QDir::separator();
    QString path = texturesDir;
    if (!path.endsWith(separator) && !path.endsWith(QLatin1Char('/')))
        path += separator;
    const TextureTheme &theme = TextureThemes[std::size_t(index / TilesPerTheme)];
    return path + QLatin1String(theme.folder) + separator + tileName(index) + QStringLiteral(".tga");
}

void TextureTiles::setFolder(const QString &texturesDir)
{
    m_folder = texturesDir;
    m_thumbnails.fill(std::nullopt);
}

QImage TextureTiles::thumbnail(int index)
{
    if (index < 0 || index >= TileCount)
        return {};
    std::optional<QImage> &slot = m_thumbnails[std::size_t(index)];
    if (!slot) {
        // A missing tile is remembered as a null image too, so it is not looked for again.
        slot = loadThumbnail(filePath(index));
    }
    return *slot;
}

} // namespace tervelle
