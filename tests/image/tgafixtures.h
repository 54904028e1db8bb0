#pragma once

#include "image/picture.h"

#include <QByteArray>

#include <vector>

namespace tervelle::test {

// A plain TGA header (no ID, no colour map) followed by the given pixel bytes. With fourByteBase
// the byte at offset 3 is 0x80 and every later field moves one byte on.
QByteArray standardTga(int width, int height, int depth, const QByteArray &pixels, bool fourByteBase = false);

// The packed layout: lead field, width, height, entry count, format byte, eight unread bytes, the
// entries, the size field, then the pixels.
struct PackedHeader
{
    int width = 1;
    int height = 1;
    int format = 1;
    int entries = 0;
    bool twoByteLead = false;
    bool twoByteSize = false;
};
QByteArray packedTga(const PackedHeader &header, const QByteArray &pixels);

// n copies of one pixel's bytes.
QByteArray repeatPixel(std::vector<int> pixel, int count);

// The bytes of the picture's pixel at column x, row y (row 0 at the top).
std::vector<int> pixelAt(const Picture &picture, int x, int y);

} // namespace tervelle::test
