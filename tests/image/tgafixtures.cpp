#include "tgafixtures.h"

namespace tervelle::test {

namespace {

void appendLe16(QByteArray &bytes, int value)
{
    bytes.append(char(value & 0xff));
    bytes.append(char((value >> 8) & 0xff));
}

} // namespace

QByteArray standardTga(int width, int height, int depth, const QByteArray &pixels, bool fourByteBase)
{
    QByteArray bytes;
    bytes.append(char(0)); // ID length
    bytes.append(char(0)); // colour-map type
    bytes.append(char(2)); // uncompressed true colour
    if (fourByteBase)
        bytes.append(char(0x80));
    bytes.append(5, char(0)); // colour-map specification
    bytes.append(4, char(0)); // origin
    appendLe16(bytes, width);
    appendLe16(bytes, height);
    bytes.append(char(depth));
    bytes.append(char(depth == 32 ? 8 : 0)); // descriptor: alpha bits, bottom-up
    return bytes + pixels;
}

QByteArray packedTga(const PackedHeader &header, const QByteArray &pixels)
{
    QByteArray bytes("\x11\x22\x33", 3);
    if (header.twoByteLead)
        bytes.append("\x85\x07", 2);
    else
        bytes.append(char(0x05));
    appendLe16(bytes, header.width);
    appendLe16(bytes, header.height);
    bytes.append(char(header.entries));
    bytes.append(char(0x5a));
    bytes.append(char(header.format));
    bytes.append(8, char(0x7f));
    for (int i = 0; i < header.entries; ++i)
        bytes.append(8, char(0xee));
    if (header.twoByteSize)
        bytes.append("\x90\x01", 2);
    else
        bytes.append(char(0x10));
    return bytes + pixels;
}

QByteArray repeatPixel(std::vector<int> pixel, int count)
{
    QByteArray one;
    for (int v : pixel)
        one.append(char(v));
    return one.repeated(count);
}

std::vector<int> pixelAt(const Picture &picture, int x, int y)
{
    const uchar *p = picture.scanLine(y) + x * picture.bytesPerPixel();
    return std::vector<int>(p, p + picture.bytesPerPixel());
}

} // namespace tervelle::test
