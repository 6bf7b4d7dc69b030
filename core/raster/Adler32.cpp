#include "raster/Adler32.h"

#include <zlib.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kesh {

#if defined(__SSE2__)

namespace {

constexpr uint32_t kBase = 65521; // the largest prime below 2^16
// The most bytes whose sums fit 32 bits before they are reduced (zlib's NMAX),
// rounded down to whole 16-byte steps.
constexpr size_t kRun = 5552 / 16 * 16;

uint32_t Sum(__m128i v) {
    v = _mm_add_epi32(v, _mm_shuffle_epi32(v, 0x4E));
    v = _mm_add_epi32(v, _mm_shuffle_epi32(v, 0xB1));
    return uint32_t(_mm_cvtsi128_si32(v));
}

} // namespace

// Sixteen bytes a step: s1 takes their sum, s2 their sum weighted 16 down to 1
// plus 16 times s1 as it was before the step. Each lane holds a part of a
// total that fits 32 bits within a run, so no lane overflows.
uint32_t Adler32(uint32_t adler, const uint8_t* data, size_t size) {
    uint32_t s1 = adler & 0xFFFF;
    uint32_t s2 = adler >> 16;
    const __m128i zero = _mm_setzero_si128();
    const __m128i weightsLow = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
    const __m128i weightsHigh = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
    while (size >= 16) {
        const size_t run = size < kRun ? size / 16 * 16 : kRun;
        __m128i vs1 = _mm_cvtsi32_si128(int(s1));
        __m128i vs2 = _mm_cvtsi32_si128(int(s2));
        __m128i before = zero; // the sum of s1 before each step
        for (const uint8_t* end = data + run; data < end; data += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
            before = _mm_add_epi32(before, vs1);
            vs1 = _mm_add_epi32(vs1, _mm_sad_epu8(bytes, zero));
            vs2 = _mm_add_epi32(vs2, _mm_madd_epi16(_mm_unpacklo_epi8(bytes, zero), weightsLow));
            vs2 = _mm_add_epi32(vs2, _mm_madd_epi16(_mm_unpackhi_epi8(bytes, zero), weightsHigh));
        }
        vs2 = _mm_add_epi32(vs2, _mm_slli_epi32(before, 4));
        s1 = Sum(vs1) % kBase;
        s2 = Sum(vs2) % kBase;
        size -= run;
    }
    return uint32_t(adler32(s2 << 16 | s1, data, uInt(size)));
}

#else

uint32_t Adler32(uint32_t adler, const uint8_t* data, size_t size) {
    return uint32_t(adler32_z(adler, data, size));
}

#endif

} // namespace kesh
