#pragma once

#include <QtGlobal>

namespace tervelle {

// Where the red and blue bytes of a stored pixel sit (green is always second).
enum class ChannelOrder { Bgr, Rgb };

// Which instructions compositeRow may use: the widest the processor has, or narrower ones, so
// that tests can hold every path to the same results.
enum class CompositeInstructions { Best, Sse2, Plain };

// Composites one stored row of 4-byte pixels over the 8 x 8 checkerboard into blue, green, red,
// alpha: each colour becomes (v * a + grey * (256 - a)) / 256, rounded to nearest with an exact
// half going to the even integer; grey is 255 where (storedRow / 8 + x / 8) is even, else 192;
// the alpha byte is copied unchanged. src and dst hold width * 4 bytes each.
void compositeRow(const uchar *src, uchar *dst, int width, int storedRow, ChannelOrder order,
                  CompositeInstructions use = CompositeInstructions::Best);

} // namespace tervelle
