#include "image/checkerboard.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define TERVELLE_COMPOSITE_SSE2 1
// Where the compiler can build a function for a wider instruction set than the rest of the
// program, a row takes eight pixels (one square) at a time on processors that have AVX2.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <cpuid.h>
#include <immintrin.h>
#define TERVELLE_COMPOSITE_AVX2 1
#endif
#endif

namespace tervelle {

namespace {

constexpr uint GreyLight = 255;
constexpr uint GreyDark = 192;

uint squareGrey(int storedRow, int x)
{
    return (storedRow / 8 + x / 8) % 2 == 0 ? GreyLight : GreyDark;
}

// greyPart is grey * (256 - alpha). The sum never exceeds 255 * 256, so the result fits a byte.
inline uchar composite(uint value, uint alpha, uint greyPart)
{
    const uint sum = value * alpha + greyPart;
    return uchar((sum + 127 + ((sum >> 8) & 1)) >> 8);
}

template <ChannelOrder order>
void compositePixels(const uchar *src, uchar *dst, int from, int to, int storedRow)
{
    constexpr int blue = order == ChannelOrder::Bgr ? 0 : 2;
    constexpr int red = order == ChannelOrder::Bgr ? 2 : 0;
    for (int x = from; x < to; ++x) {
        const uchar *s = src + 4 * x;
        uchar *d = dst + 4 * x;
        const uint alpha = s[3];
        const uint greyPart = squareGrey(storedRow, x) * (256 - alpha);
        d[0] = composite(s[blue], alpha, greyPart);
        d[1] = composite(s[1], alpha, greyPart);
        d[2] = composite(s[red], alpha, greyPart);
        d[3] = uchar(alpha);
    }
}

#ifdef TERVELLE_COMPOSITE_SSE2

// Two pixels widened to 16-bit lanes. The blend is rewritten as u = (v - grey) * a + 256 * grey
// + 127: its true value lies in 127 to 255 * 256 + 127, so 16-bit lanes computing modulo 65536
// get it exactly even though (v - grey) * a alone may be negative. Rounding (sum + 127 + odd) / 256
// with odd the parity of sum / 256 is then (u + parity of u / 256) / 256: whenever the 127 carries
// into the ninth bit, the sum is rounded up anyway and adding the parity cannot carry again.
template <ChannelOrder order>
inline __m128i compositeTwo(__m128i pixels, __m128i grey, __m128i greyBase)
{
    if constexpr (order == ChannelOrder::Rgb) {
        pixels = _mm_shufflelo_epi16(pixels, _MM_SHUFFLE(3, 0, 1, 2));
        pixels = _mm_shufflehi_epi16(pixels, _MM_SHUFFLE(3, 0, 1, 2));
    }
    __m128i alpha = _mm_shufflelo_epi16(pixels, _MM_SHUFFLE(3, 3, 3, 3));
    alpha = _mm_shufflehi_epi16(alpha, _MM_SHUFFLE(3, 3, 3, 3));
    const __m128i u = _mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(pixels, grey), alpha), greyBase);
    const __m128i odd = _mm_and_si128(_mm_srli_epi16(u, 8), _mm_set1_epi16(1));
    return _mm_srli_epi16(_mm_add_epi16(u, odd), 8);
}

// Four pixels; the alpha bytes are taken over unchanged from the source.
template <ChannelOrder order>
inline void compositeFour(const uchar *src, uchar *dst, __m128i grey, __m128i greyBase)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaBytes = _mm_set1_epi32(int(0xff000000u));
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src));
    const __m128i low = compositeTwo<order>(_mm_unpacklo_epi8(pixels, zero), grey, greyBase);
    const __m128i high = compositeTwo<order>(_mm_unpackhi_epi8(pixels, zero), grey, greyBase);
    const __m128i colours = _mm_andnot_si128(alphaBytes, _mm_packus_epi16(low, high));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), _mm_or_si128(colours, _mm_and_si128(alphaBytes, pixels)));
}

// Whole squares of 8 pixels from column `from` (a multiple of 8) first, then at most one run of
// four; returns the pixels done.
template <ChannelOrder order>
int compositeVector(const uchar *src, uchar *dst, int from, int width, int storedRow)
{
    const __m128i greys[2] = {_mm_set1_epi16(short(GreyLight)), _mm_set1_epi16(short(GreyDark))};
    const __m128i greyBases[2] = {_mm_set1_epi16(short(GreyLight * 256 + 127)),
                                  _mm_set1_epi16(short(GreyDark * 256 + 127))};
    int dark = (storedRow / 8 + from / 8) % 2;
    int x = from;
    for (; x + 8 <= width; x += 8, dark ^= 1) {
        compositeFour<order>(src + 4 * x, dst + 4 * x, greys[dark], greyBases[dark]);
        compositeFour<order>(src + 4 * x + 16, dst + 4 * x + 16, greys[dark], greyBases[dark]);
    }
    if (x + 4 <= width) {
        compositeFour<order>(src + 4 * x, dst + 4 * x, greys[dark], greyBases[dark]);
        x += 4;
    }
    return x;
}

#endif

#ifdef TERVELLE_COMPOSITE_AVX2

__attribute__((target("avx2"))) inline __m256i blendSixteen(__m256i values, __m256i alpha, __m256i grey,
                                                            __m256i greyBase)
{
    const __m256i u = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_sub_epi16(values, grey), alpha), greyBase);
    const __m256i odd = _mm256_and_si256(_mm256_srli_epi16(u, 8), _mm256_set1_epi16(1));
    return _mm256_srli_epi16(_mm256_add_epi16(u, odd), 8);
}

// The same blend as compositeTwo, on one square of eight pixels. Byte shuffles widen the colours
// (swapping red and blue for the other order) and spread each alpha over its pixel's lanes in one
// step each; they work within each 128-bit half, as does the final pack, so the pixels keep
// their places.
template <ChannelOrder order>
__attribute__((target("avx2"))) int compositeSquares(const uchar *src, uchar *dst, int width, int storedRow)
{
    constexpr char b = order == ChannelOrder::Bgr ? 0 : 2;
    constexpr char r = order == ChannelOrder::Bgr ? 2 : 0;
    constexpr char z = -1;                                                                             // a zero byte
    const __m256i colourLow = _mm256_setr_epi8(b, z, 1, z, r, z, 3, z, 4 + b, z, 5, z, 4 + r, z, 7, z, //
                                               b, z, 1, z, r, z, 3, z, 4 + b, z, 5, z, 4 + r, z, 7, z);
    const __m256i colourHigh = _mm256_setr_epi8(8 + b, z, 9, z, 8 + r, z, 11, z, 12 + b, z, 13, z, 12 + r, z, 15, z, //
                                                8 + b, z, 9, z, 8 + r, z, 11, z, 12 + b, z, 13, z, 12 + r, z, 15, z);
    const __m256i alphaLow = _mm256_setr_epi8(3, z, 3, z, 3, z, 3, z, 7, z, 7, z, 7, z, 7, z, //
                                              3, z, 3, z, 3, z, 3, z, 7, z, 7, z, 7, z, 7, z);
    const __m256i alphaHigh = _mm256_setr_epi8(11, z, 11, z, 11, z, 11, z, 15, z, 15, z, 15, z, 15, z, //
                                               11, z, 11, z, 11, z, 11, z, 15, z, 15, z, 15, z, 15, z);
    const __m256i greys[2] = {_mm256_set1_epi16(short(GreyLight)), _mm256_set1_epi16(short(GreyDark))};
    const __m256i greyBases[2] = {_mm256_set1_epi16(short(GreyLight * 256 + 127)),
                                  _mm256_set1_epi16(short(GreyDark * 256 + 127))};
    const __m256i alphaBytes = _mm256_set1_epi32(int(0xff000000u));
    int dark = (storedRow / 8) % 2;
    int x = 0;
    for (; x + 8 <= width; x += 8, dark ^= 1) {
        const __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(src + 4 * x));
        const __m256i low = blendSixteen(_mm256_shuffle_epi8(pixels, colourLow), _mm256_shuffle_epi8(pixels, alphaLow),
                                         greys[dark], greyBases[dark]);
        const __m256i high = blendSixteen(_mm256_shuffle_epi8(pixels, colourHigh),
                                          _mm256_shuffle_epi8(pixels, alphaHigh), greys[dark], greyBases[dark]);
        const __m256i result = _mm256_blendv_epi8(_mm256_packus_epi16(low, high), pixels, alphaBytes);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(dst + 4 * x), result);
    }
    return x;
}

// Asked of the processor when a picture is first drawn. __builtin_cpu_supports would have every
// start of the program ask it, and in a virtual machine each question is a trip to the host.
bool processorHasAvx2()
{
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || !(ecx & bit_OSXSAVE) || !(ecx & bit_AVX))
        return false;
    // The system must keep the 256-bit registers when it switches between programs.
    unsigned low = 0, high = 0;
    __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    if ((low & 0x6) != 0x6 || __get_cpuid_max(0, nullptr) < 7)
        return false;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    return (ebx & bit_AVX2) != 0;
}

bool hasAvx2()
{
    static const bool has = processorHasAvx2();
    return has;
}

#endif

template <ChannelOrder order>
void compositeRowIn(const uchar *src, uchar *dst, int width, int storedRow, CompositeInstructions use)
{
    Q_UNUSED(use)
    int done = 0;
#ifdef TERVELLE_COMPOSITE_AVX2
    if (use == CompositeInstructions::Best && hasAvx2())
        done = compositeSquares<order>(src, dst, width, storedRow);
#endif
#ifdef TERVELLE_COMPOSITE_SSE2
    if (use != CompositeInstructions::Plain)
        done = compositeVector<order>(src, dst, done, width, storedRow);
#endif
    compositePixels<order>(src, dst, done, width, storedRow);
}

} // namespace

void compositeRow(const uchar *src, uchar *dst, int width, int storedRow, ChannelOrder order, CompositeInstructions use)
{
    if (order == ChannelOrder::Bgr)
        compositeRowIn<ChannelOrder::Bgr>(src, dst, width, storedRow, use);
    else
        compositeRowIn<ChannelOrder::Rgb>(src, dst, width, storedRow, use);
}

} // namespace tervelle
