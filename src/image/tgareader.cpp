#include "image/tgareader.h"

#include "core/errors.h"
#include "core/inputfile.h"
#include "core/langload.h"
#include "image/checkerboard.h"

#include <algorithm>
#include <cstring>

namespace tervelle {

namespace {

constexpr int MaxSide = 512;
constexpr int MaxPackedEntries = 9;

struct TgaLayout
{
    qsizetype pixelStart = 0;
    int width = 0;
    int height = 0;
    int bytesPerPixel = 3;
    ChannelOrder order = ChannelOrder::Bgr;
};

quint16 readLe16(const uchar *p)
{
    return quint16(p[0] | (p[1] << 8));
}

// Reads the header of either layout, checking each offset against the file's length before
// touching it.
std::optional<TgaLayout> readLayout(const uchar *data, qsizetype size)
{
    if (size < 4)
        return std::nullopt;
    const qsizetype base = data[3] < 0x80 ? 3 : 4;
    if (size < base + 3)
        return std::nullopt;

    TgaLayout layout;
    const quint16 packedWidth = readLe16(data + base + 1);
    if (packedWidth == 0) {
        // Standard layout: the offsets of a plain true-colour TGA header.
        if (size < base + 14)
            return std::nullopt;
        layout.width = readLe16(data + base + 9);
        layout.height = readLe16(data + base + 11);
        layout.bytesPerPixel = data[base + 13] == 32 ? 4 : 3;
        layout.order = ChannelOrder::Bgr;
        layout.pixelStart = base + 15;
    } else {
        if (size < base + 8)
            return std::nullopt;
        layout.width = packedWidth;
        layout.height = readLe16(data + base + 3);
        const int entries = data[base + 5];
        if (entries > MaxPackedEntries)
            return std::nullopt;
        const uchar format = data[base + 7];
        layout.bytesPerPixel = format == 2 || format == 4 ? 4 : 3;
        layout.order = ChannelOrder::Rgb;
        const qsizetype sizeField = base + 16 + 8 * entries;
        if (size <= sizeField)
            return std::nullopt;
        layout.pixelStart = sizeField + (data[sizeField] < 0x80 ? 1 : 2);
    }
    if (layout.width > MaxSide || layout.height > MaxSide)
        return std::nullopt;
    const qsizetype pixelBytes = qsizetype(layout.width) * layout.height * layout.bytesPerPixel;
    if (size - layout.pixelStart < pixelBytes)
        return std::nullopt;
    return layout;
}

template <ChannelOrder order>
void copyRows(const uchar *pixels, const TgaLayout &layout, Picture &picture)
{
    const qsizetype rowBytes = picture.bytesPerLine();
    for (int i = 0; i < layout.height; ++i) {
        const uchar *src = pixels + i * rowBytes;
        uchar *dst = picture.scanLine(layout.height - 1 - i);
        if constexpr (order == ChannelOrder::Bgr) {
            std::memcpy(dst, src, size_t(rowBytes));
        } else {
            for (int x = 0; x < layout.width; ++x, src += 3, dst += 3) {
                dst[0] = src[2];
                dst[1] = src[1];
                dst[2] = src[0];
            }
        }
    }
}

void compositeRows(const uchar *pixels, const TgaLayout &layout, Picture &picture)
{
    const qsizetype rowBytes = picture.bytesPerLine();
    for (int i = 0; i < layout.height; ++i)
        compositeRow(pixels + i * rowBytes, picture.scanLine(layout.height - 1 - i), layout.width, i, layout.order);
}

} // namespace

TgaBuffer readTgaFile(const QString &path)
{
    return readInputHead(path, TgaMaxUsefulBytes, lang(LangKey::message_FileKind_Picture));
}

std::optional<TgaBuffer> LoadTgaToMemory(const QString &path)
{
    try {
        return readTgaFile(path);
    } catch (const UserError &) {
        return std::nullopt;
    }
}

bool TgaHeaderDecodes(QByteArrayView head, qint64 fileSize)
{
    // Zero-padded: the layout reads only offsets below the file's size and the header's length.
    QByteArray padded(TgaHeaderBytes, '\0');
    std::memcpy(padded.data(), head.data(), size_t(std::min(head.size(), TgaHeaderBytes)));
    const qsizetype size = qsizetype(std::min<qint64>(fileSize, TgaMaxUsefulBytes));
    return readLayout(reinterpret_cast<const uchar *>(padded.constData()), size).has_value();
}

bool decodeTga(const std::optional<TgaBuffer> &buffer, Picture &picture)
{
    if (!buffer)
        return false;
    const auto *data = reinterpret_cast<const uchar *>(buffer->constData());
    const std::optional<TgaLayout> layout = readLayout(data, buffer->size());
    if (!layout)
        return false;

    picture.resize(layout->width, layout->height, layout->bytesPerPixel);
    if (picture.isEmpty())
        return true;
    const uchar *pixels = data + layout->pixelStart;
    const bool bgr = layout->order == ChannelOrder::Bgr;
    if (layout->bytesPerPixel == 3) {
        if (bgr)
            copyRows<ChannelOrder::Bgr>(pixels, *layout, picture);
        else
            copyRows<ChannelOrder::Rgb>(pixels, *layout, picture);
    } else {
        compositeRows(pixels, *layout, picture);
    }
    return true;
}

} // namespace tervelle
