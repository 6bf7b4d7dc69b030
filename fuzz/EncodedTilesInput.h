#pragma once

// The input of fuzz_encodedtiles, shared with the seed maker: five bytes of
// settings, then a palette item, then tiles.
//   0: pixel encoding (taken modulo their number)
//   1: colour encoding (likewise)
//   2, 3: tile width and height in 8-pixel blocks (taken modulo 4, plus 1)
//   4: colours in the palette less 1 (2 to 256: 0 counts as 1)
// The palette item is that many colours; the tiles are as many whole tiles
// as the rest holds, at most kMaxTiles.

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "raster/ColourEncoding.h"
#include "raster/PixelEncoding.h"

namespace kesh::fuzz {

struct EncodedTilesInput {
    PixelEncoding pixels = PixelEncoding::Byte8;
    ColourEncoding colours = ColourEncoding::Rgb888;
    int32_t width = 8, height = 8;
    int colourCount = 2;
    std::span<const uint8_t> palette; // colourCount colours, or fewer bytes when the input ends
    std::span<const uint8_t> tiles;
    int64_t tileCount = 0;
};

inline constexpr int64_t kMaxTiles = 256;

inline EncodedTilesInput ParseEncodedTilesInput(std::span<const uint8_t> in) {
    EncodedTilesInput r;
    if (in.size() < 5)
        return r;
    r.pixels = PixelEncoding(in[0] % kPixelEncodingCount);
    r.colours = ColourEncoding(in[1] % kColourEncodingCount);
    r.width = 8 * (in[2] % 4 + 1);
    r.height = 8 * (in[3] % 4 + 1);
    r.colourCount = std::max(2, in[4] + 1);
    in = in.subspan(5);
    const size_t paletteBytes =
        std::min(in.size(), size_t(PaletteBytes(r.colours, r.colourCount)));
    r.palette = in.first(paletteBytes);
    r.tiles = in.subspan(paletteBytes);
    r.tileCount = std::min<int64_t>(
        kMaxTiles, int64_t(r.tiles.size() / EncodedTileBytes(r.pixels, r.width, r.height)));
    return r;
}

// The colours `bytes` bytes of a palette hold whole (Game Boy shades four a byte).
inline int WholeColours(ColourEncoding colours, size_t bytes) {
    return colours == ColourEncoding::GameBoy ? int(bytes) * 4
                                              : int(bytes) / BytesPerColour(colours);
}

inline std::vector<uint8_t> BuildEncodedTilesInput(PixelEncoding pixels, ColourEncoding colours,
                                                   int32_t width, int32_t height,
                                                   std::span<const uint8_t> palette,
                                                   std::span<const uint8_t> tiles) {
    const int count = WholeColours(colours, palette.size());
    std::vector<uint8_t> out = {uint8_t(pixels), uint8_t(colours), uint8_t(width / 8 - 1),
                                uint8_t(height / 8 - 1), uint8_t(count - 1)};
    out.insert(out.end(), palette.begin(), palette.end());
    out.insert(out.end(), tiles.begin(), tiles.end());
    return out;
}

} // namespace kesh::fuzz
