#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kesh {

namespace tilehash {
inline uint64_t Load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

inline uint64_t Rotl(uint64_t v, int n) {
    return v << n | v >> (64 - n);
}
} // namespace tilehash

// A hash of a tile's `n` pixels, stored together. Each eight bytes are
// multiplied on their own and only added and rotated into one of four lanes,
// so the multiplications never wait on each other; the rotation keeps the
// position.
inline uint64_t HashTile(const uint8_t* p, size_t n) {
    using tilehash::Load64;
    using tilehash::Rotl;
    constexpr uint64_t kMulA = 0xFF51AFD7ED558CCDull;
    constexpr uint64_t kMulB = 0xC4CEB9FE1A85EC53ull;
    uint64_t a = 0x9E3779B97F4A7C15ull;
    uint64_t b = 0xC2B2AE3D27D4EB4Full;
    uint64_t c = 0x165667B19E3779F9ull;
    uint64_t d = 0x27D4EB2F165667C5ull;
    size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        a = Rotl(a + Load64(p + i) * kMulA, 27);
        b = Rotl(b + Load64(p + i + 8) * kMulB, 31);
        c = Rotl(c + Load64(p + i + 16) * kMulA, 29);
        d = Rotl(d + Load64(p + i + 24) * kMulB, 23);
    }
    for (; i + 8 <= n; i += 8)
        a = Rotl(a + Load64(p + i) * kMulA, 27);
    for (; i < n; ++i)
        b = Rotl(b + (p[i] + 1) * kMulB, 13);
    uint64_t h = (a ^ Rotl(b, 16) ^ Rotl(c, 32) ^ Rotl(d, 48)) * kMulA;
    h ^= h >> 29;
    return h * kMulB ^ (h >> 32);
}

// The tile row from image row `y0`: `cols` tiles of tw x th bytes a row,
// each one's pixels together in `out` (tile c at c x tw x th), read row by
// row from an image `width` bytes wide. Past the image's right and bottom
// edges the bytes are 0.
void CutStrip(const uint8_t* indices, int64_t width, int64_t height, int64_t y0, size_t tw,
              size_t th, size_t cols, uint8_t* out);

// `pixels` (tw x th) mirrored left to right, top to bottom or both, into `out`.
void Mirror(const uint8_t* pixels, size_t tw, size_t th, bool h, bool v, uint8_t* out);

} // namespace kesh
