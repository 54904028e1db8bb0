// Feeds arbitrary bytes to the TGA decoder: every input must be decoded or declined without
// reading past the bytes given, and a decoded picture must match a slow, byte-by-byte reading of
// the same rules, which keeps the row-wise fast paths honest.
#include "image/tgareader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

namespace {

struct Reference
{
    int width = 0;
    int height = 0;
    int bytesPerPixel = 3;
    std::vector<uint8_t> bits;
};

// Every byte read goes through at(), which refuses offsets past the input.
std::optional<Reference> referenceDecode(const uint8_t *data, size_t size)
{
    bool outside = false;
    const auto at = [&](size_t offset) -> unsigned {
        if (offset >= size) {
            outside = true;
            return 0;
        }
        return data[offset];
    };
    const auto le16 = [&](size_t offset) { return at(offset) | (at(offset + 1) << 8); };

    const size_t b = at(3) < 0x80 ? 3 : 4;
    const bool packed = le16(b + 1) != 0;
    Reference ref;
    size_t start = 0;
    if (packed) {
        ref.width = int(le16(b + 1));
        ref.height = int(le16(b + 3));
        const unsigned entries = at(b + 5);
        if (entries >= 10)
            return std::nullopt;
        const unsigned format = at(b + 7);
        ref.bytesPerPixel = format == 2 || format == 4 ? 4 : 3;
        const size_t sizeField = b + 16 + 8 * entries;
        start = sizeField + (at(sizeField) < 0x80 ? 1 : 2);
    } else {
        ref.width = int(le16(b + 9));
        ref.height = int(le16(b + 11));
        ref.bytesPerPixel = at(b + 13) == 32 ? 4 : 3;
        start = b + 15;
    }
    if (outside || ref.width > 512 || ref.height > 512)
        return std::nullopt;
    if (start + size_t(ref.width) * ref.height * ref.bytesPerPixel > size)
        return std::nullopt;

    const int p = ref.bytesPerPixel;
    ref.bits.resize(size_t(ref.width) * ref.height * p);
    for (int i = 0; i < ref.height; ++i) {
        for (int x = 0; x < ref.width; ++x) {
            const size_t s = start + (size_t(i) * ref.width + x) * p;
            uint8_t *d = &ref.bits[(size_t(ref.height - 1 - i) * ref.width + x) * p];
            unsigned blue = at(s), green = at(s + 1), red = at(s + 2);
            if (packed)
                std::swap(blue, red);
            unsigned colours[3] = {blue, green, red};
            if (p == 4) {
                const unsigned a = at(s + 3);
                const unsigned g = ((i / 8) + (x / 8)) % 2 == 0 ? 255 : 192;
                for (unsigned &v : colours) {
                    const unsigned sum = v * a + g * (256 - a);
                    unsigned q = sum / 256;
                    const unsigned r = sum % 256;
                    if (r > 128 || (r == 128 && q % 2 == 1))
                        ++q;
                    v = q;
                }
                d[3] = uint8_t(a);
            }
            d[0] = uint8_t(colours[0]);
            d[1] = uint8_t(colours[1]);
            d[2] = uint8_t(colours[2]);
        }
    }
    if (outside)
        std::abort();
    return ref;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // fromRawData shares the fuzzer's own allocation, so AddressSanitizer sees any read past it.
    const std::optional<tervelle::TgaBuffer> buffer =
        tervelle::TgaBuffer::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    tervelle::Picture picture;
    const bool decoded = tervelle::decodeTga(buffer, picture);
    const std::optional<Reference> expected = referenceDecode(data, size);
    if (decoded != expected.has_value())
        std::abort();
    if (!decoded)
        return 0;
    if (picture.width() != expected->width || picture.height() != expected->height
        || picture.bytesPerPixel() != expected->bytesPerPixel)
        std::abort();
    const size_t rowBytes = size_t(picture.bytesPerLine());
    for (int y = 0; y < picture.height(); ++y) {
        const uchar *row = picture.scanLine(y);
        const uint8_t *want = expected->bits.data() + size_t(y) * rowBytes;
        for (size_t k = 0; k < rowBytes; ++k) {
            if (row[k] != want[k])
                std::abort();
        }
    }
    return 0;
}
