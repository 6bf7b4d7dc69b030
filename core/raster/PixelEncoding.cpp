#include "raster/PixelEncoding.h"

#include <array>
#include <bit>
#include <cstring>
#include <utility>

namespace kesh {

namespace {

// Where each plane's byte of block row r lies: plane k of row r is at
// (k / group) * groupStride + r * rowStride + k % group within the block.
struct PlaneLayout {
    int planes;
    int group;
    int rowStride;
    int groupStride;
};

// The bit orders, as the consoles' own documentation gives them:
// - 1bpp: one byte a row, bit 7 the leftmost pixel.
// - Game Boy 2bpp, Pan Docs "Tile Data" (in Japanese at
//   https://raw.githubusercontent.com/akatsuki105/gb-docs-ja/main/video/tiledata.md)
//   and https://www.huderlem.com/demos/gameboy2bpp.html: each row two bytes, the
//   first holds bit 0 of the 8 pixels, the second bit 1, bit 7 leftmost. SNES
//   2bpp is the same (https://snes.nesdev.org/wiki/Tiles: "the low byte
//   contains the bit-0 plane, and the high byte contains the bit-1 plane").
// - NES, https://www.nesdev.org/wiki/PPU_pattern_tables: 16 bytes a tile,
//   the first 8 the bit-0 plane of rows 0-7, the next 8 the bit-1 plane.
// - SNES 4bpp, https://snes.nesdev.org/wiki/Tiles and
//   http://wiki.smwcentral.net/wiki/SNES_4BPP_file_format: planes 0-1 of the
//   8 rows as in 2bpp (16 bytes), then planes 2-3 the same way. PC Engine
//   background characters are stored alike (planes 0-1 by rows, then 2-3);
//   no PC Engine page at hand shows its planes byte by byte, so that one
//   rests on the SNES pages.
// - Master System / Game Gear mode 4, http://www.smspower.org/Development/Tiles:
//   each row 4 bytes, planes 0, 1, 2, 3.
// - SNES 8bpp, https://snes.nesdev.org/wiki/Tiles: four 16-byte blocks,
//   planes 0-1, 2-3, 4-5, 6-7.
constexpr PlaneLayout LayoutOf(PixelEncoding encoding) {
    switch (encoding) {
    case PixelEncoding::Planar1:
        return {1, 1, 1, 8};
    case PixelEncoding::Planar2Rows:
        return {2, 2, 2, 16};
    case PixelEncoding::Planar2Nes:
        return {2, 1, 1, 8};
    case PixelEncoding::Planar4Snes:
        return {4, 2, 2, 16};
    case PixelEncoding::Planar4Sms:
        return {4, 4, 4, 32};
    case PixelEncoding::Planar8Snes:
        return {8, 2, 2, 16};
    default:
        return {0, 1, 1, 0};
    }
}

// Eight pixels as one 64-bit word, the leftmost pixel in the low byte.
uint64_t Load8(const uint8_t* p) {
    uint64_t v = 0;
    std::memcpy(&v, p, 8);
    if constexpr (std::endian::native == std::endian::big)
        v = __builtin_bswap64(v);
    return v;
}

void Store8(uint8_t* p, uint64_t v) {
    if constexpr (std::endian::native == std::endian::big)
        v = __builtin_bswap64(v);
    std::memcpy(p, &v, 8);
}

// Bit `plane` of each of 8 pixels gathered into one byte, the leftmost pixel
// in bit 7: byte i of the masked word sits at bit 8i, and the multiplication
// moves it to bit 63 - i, the only product term that lands in the top byte.
uint8_t GatherPlane(uint64_t row, int plane) {
    const uint64_t bits = (row >> plane) & 0x0101010101010101ULL;
    return uint8_t((bits * 0x8040201008040201ULL) >> 56);
}

// The opposite: a plane byte spread into 8 pixel bytes of 0 or 1, bit 7 to
// the leftmost pixel (the low byte).
constexpr std::array<uint64_t, 256> kSpread = [] {
    std::array<uint64_t, 256> t{};
    for (int b = 0; b < 256; ++b)
        for (int i = 0; i < 8; ++i)
            t[size_t(b)] |= uint64_t((b >> (7 - i)) & 1) << (8 * i);
    return t;
}();

// Calls `block(out offset, first pixel of the block)` for each 8 x 8 block in order.
template <typename Block>
void ForEachBlock(int32_t width, int32_t height, size_t blockBytes, Block&& block) {
    size_t at = 0;
    for (int32_t by = 0; by < height; by += 8)
        for (int32_t bx = 0; bx < width; bx += 8, at += blockBytes)
            block(at, size_t(by) * size_t(width) + size_t(bx));
}

// Where plane k of block row r lies in encoding E: PlaneAt<E>(k) + r * rowStride.
template <PixelEncoding E> constexpr size_t PlaneAt(int k) {
    constexpr PlaneLayout l = LayoutOf(E);
    return size_t((k / l.group) * l.groupStride + k % l.group);
}

// One block row's planes, written out plane by plane at compile time.
template <PixelEncoding E, size_t... K>
void EncodeRow(uint64_t row, int r, uint8_t* block, std::index_sequence<K...>) {
    ((block[PlaneAt<E>(int(K)) + size_t(r * LayoutOf(E).rowStride)] = GatherPlane(row, int(K))),
     ...);
}

template <PixelEncoding E, size_t... K>
uint64_t DecodeRow(int r, const uint8_t* block, std::index_sequence<K...>) {
    return ((kSpread[block[PlaneAt<E>(int(K)) + size_t(r * LayoutOf(E).rowStride)]] << K) | ...);
}

template <PixelEncoding E>
void EncodePlanar(int32_t width, int32_t height, const uint8_t* pixels, uint8_t* out) {
    constexpr size_t planes = size_t(LayoutOf(E).planes);
    ForEachBlock(width, height, 8 * planes, [&](size_t at, size_t first) {
        for (int r = 0; r < 8; ++r)
            EncodeRow<E>(Load8(pixels + first + size_t(r) * size_t(width)), r, out + at,
                         std::make_index_sequence<planes>());
    });
}

template <PixelEncoding E>
void DecodePlanar(int32_t width, int32_t height, const uint8_t* in, uint8_t* pixels) {
    constexpr size_t planes = size_t(LayoutOf(E).planes);
    ForEachBlock(width, height, 8 * planes, [&](size_t at, size_t first) {
        for (int r = 0; r < 8; ++r)
            Store8(pixels + first + size_t(r) * size_t(width),
                   DecodeRow<E>(r, in + at, std::make_index_sequence<planes>()));
    });
}

// Game Boy Advance, http://mrclick.zophar.net/TilEd/download/Tiles.txt ("GBA
// 4 bpp": the pixel's 4 bits are bits 0-3 of the row's byte for the left
// pixel, 4-7 for the right) and
// https://rh-reborn.github.io/gba-and-ds-rom-hacking-guide/tiles.html (the
// nibbles "flipped" against reading order). Mega Drive,
// https://segaretro.org/Palette ("if a tile byte is 0x4F, then the first
// pixel is color 4, and the second pixel is color 15"): the high nibble left.
void EncodePacked(bool lowLeft, int32_t width, int32_t height, const uint8_t* pixels,
                  uint8_t* out) {
    const int left = lowLeft ? 0 : 4, right = 4 - left;
    ForEachBlock(width, height, 32, [&](size_t at, size_t first) {
        for (int r = 0; r < 8; ++r) {
            const uint8_t* p = pixels + first + size_t(r) * size_t(width);
            for (int j = 0; j < 4; ++j)
                out[at + size_t(4 * r + j)] = uint8_t(p[2 * j] << left | p[2 * j + 1] << right);
        }
    });
}

void DecodePacked(bool lowLeft, int32_t width, int32_t height, const uint8_t* in, uint8_t* pixels) {
    const int left = lowLeft ? 0 : 4, right = 4 - left;
    ForEachBlock(width, height, 32, [&](size_t at, size_t first) {
        for (int r = 0; r < 8; ++r) {
            uint8_t* p = pixels + first + size_t(r) * size_t(width);
            for (int j = 0; j < 4; ++j) {
                const uint8_t b = in[at + size_t(4 * r + j)];
                p[2 * j] = uint8_t((b >> left) & 15);
                p[2 * j + 1] = uint8_t((b >> right) & 15);
            }
        }
    });
}

} // namespace

int64_t FirstPixelTooLarge(PixelEncoding encoding, const uint8_t* pixels, size_t count) {
    const uint8_t largest = LargestPixel(encoding);
    if (largest == 255)
        return -1;
    const uint64_t high = 0x0101010101010101ULL * uint8_t(~largest);
    size_t i = 0;
    for (; i + 8 <= count; i += 8)
        if (Load8(pixels + i) & high)
            break;
    for (; i < count; ++i)
        if (pixels[i] > largest)
            return int64_t(i);
    return -1;
}

void EncodeTile(PixelEncoding encoding, int32_t width, int32_t height, const uint8_t* pixels,
                uint8_t* out) {
    switch (encoding) {
    case PixelEncoding::Byte8:
        std::memcpy(out, pixels, size_t(width) * size_t(height));
        return;
    case PixelEncoding::Packed4Low:
    case PixelEncoding::Packed4High:
        return EncodePacked(encoding == PixelEncoding::Packed4Low, width, height, pixels, out);
    case PixelEncoding::Planar1:
        return EncodePlanar<PixelEncoding::Planar1>(width, height, pixels, out);
    case PixelEncoding::Planar2Rows:
        return EncodePlanar<PixelEncoding::Planar2Rows>(width, height, pixels, out);
    case PixelEncoding::Planar2Nes:
        return EncodePlanar<PixelEncoding::Planar2Nes>(width, height, pixels, out);
    case PixelEncoding::Planar4Snes:
        return EncodePlanar<PixelEncoding::Planar4Snes>(width, height, pixels, out);
    case PixelEncoding::Planar4Sms:
        return EncodePlanar<PixelEncoding::Planar4Sms>(width, height, pixels, out);
    case PixelEncoding::Planar8Snes:
        return EncodePlanar<PixelEncoding::Planar8Snes>(width, height, pixels, out);
    }
}

void DecodeTile(PixelEncoding encoding, int32_t width, int32_t height, const uint8_t* in,
                uint8_t* pixels) {
    switch (encoding) {
    case PixelEncoding::Byte8:
        std::memcpy(pixels, in, size_t(width) * size_t(height));
        return;
    case PixelEncoding::Packed4Low:
    case PixelEncoding::Packed4High:
        return DecodePacked(encoding == PixelEncoding::Packed4Low, width, height, in, pixels);
    case PixelEncoding::Planar1:
        return DecodePlanar<PixelEncoding::Planar1>(width, height, in, pixels);
    case PixelEncoding::Planar2Rows:
        return DecodePlanar<PixelEncoding::Planar2Rows>(width, height, in, pixels);
    case PixelEncoding::Planar2Nes:
        return DecodePlanar<PixelEncoding::Planar2Nes>(width, height, in, pixels);
    case PixelEncoding::Planar4Snes:
        return DecodePlanar<PixelEncoding::Planar4Snes>(width, height, in, pixels);
    case PixelEncoding::Planar4Sms:
        return DecodePlanar<PixelEncoding::Planar4Sms>(width, height, in, pixels);
    case PixelEncoding::Planar8Snes:
        return DecodePlanar<PixelEncoding::Planar8Snes>(width, height, in, pixels);
    }
}

} // namespace kesh
