#pragma once

#include <QByteArray>

#include <vector>

// Hand-made TGA files for the reader's tests and for fixtures that need pictures on disk.
namespace tervelle::test {

inline void appendLe16(QByteArray &bytes, int value)
{
    bytes.append(char(value & 0xff)).append(char(value >> 8));
}

// A plain TGA header (no ID, no colour map) and the pixels, bottom row first. With fourByteBase
// the byte at offset 3 is 0x80 and every later field moves one byte on.
inline QByteArray standardTga(int width, int height, int depth, const QByteArray &pixels, bool fourByteBase = false)
{
    QByteArray bytes("\0\0\x02", 3);
    if (fourByteBase)
        bytes.append(char(0x80));
    bytes.append(9, '\0'); // colour-map fields, origin
    appendLe16(bytes, width);
    appendLe16(bytes, height);
    bytes.append(char(depth)).append(char(depth == 32 ? 8 : 0));
    return bytes + pixels;
}

// The packed layout; its unread bytes hold junk on purpose.
struct Packed
{
    int width = 1;
    int height = 1;
    int format = 1;
    int entries = 0;
    bool twoByteFields = false; // lead field and size field of two bytes each
};

inline QByteArray packedTga(const Packed &header, const QByteArray &pixels)
{
    QByteArray bytes("\x11\x22\x33", 3);
    bytes.append(header.twoByteFields ? QByteArray("\x85\x07", 2) : QByteArray("\x05", 1));
    appendLe16(bytes, header.width);
    appendLe16(bytes, header.height);
    bytes.append(char(header.entries)).append(char(0x5a)).append(char(header.format)).append(8, char(0x7f));
    bytes.append(8 * header.entries, char(0xee));
    bytes.append(header.twoByteFields ? QByteArray("\x90\x01", 2) : QByteArray("\x10", 1));
    return bytes + pixels;
}

// `count` copies of one pixel given by its stored bytes.
inline QByteArray repeatPixel(const std::vector<int> &pixel, int count)
{
    QByteArray one;
    for (int v : pixel)
        one.append(char(v));
    return one.repeated(count);
}

} // namespace tervelle::test
