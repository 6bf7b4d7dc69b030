#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/Status.h"

namespace kesh {

// How a tile's pixels are stored in a file. `Byte8` is one byte a pixel,
// rows from the top, the tile file's own form; every other encoding stores
// the tile as 8 x 8 blocks, left to right, then top to bottom, each block in
// the form the console's video chip reads (see PixelEncoding.cpp for where
// each bit order is documented).
enum class PixelEncoding : uint8_t {
    Byte8,       // "8bpp": one byte a pixel
    Planar1,     // "1bpp": 8 pixels a byte, bit 7 leftmost
    Planar2Rows, // "2bpp-gb": each row plane 0 then plane 1 (Game Boy, SNES 2bpp)
    Planar2Nes,  // "2bpp-nes": plane 0 of all 8 rows, then plane 1
    Planar4Snes, // "4bpp-snes": planes 0-1 by rows, then planes 2-3 by rows (SNES, PC Engine)
    Planar4Sms,  // "4bpp-sms": each row 4 bytes, planes 0-3 (Master System, Game Gear)
    Packed4Low,  // "4bpp-gba": two pixels a byte, the left one in the low nibble
    Packed4High, // "4bpp-md": two pixels a byte, the left one in the high nibble
    Planar8Snes, // "8bpp-snes": plane pairs 0-1, 2-3, 4-5, 6-7, each by rows
};

inline constexpr int kPixelEncodingCount = 9;

// The short name kesh-cli uses ("2bpp-nes"), and the encoding of a name.
std::string_view PixelEncodingName(PixelEncoding encoding);
std::optional<PixelEncoding> PixelEncodingFromName(std::string_view name);

int BitsPerPixel(PixelEncoding encoding);

// The largest pixel value the encoding can hold (1, 3, 15 or 255).
uint8_t LargestPixel(PixelEncoding encoding);

// Whether tiles of `width` x `height` can be stored so: every encoding but
// Byte8 needs both sides multiples of 8. Fails with a Korean message naming
// the encoding.
Status CheckTileSize(PixelEncoding encoding, int32_t width, int32_t height);

// Bytes of one encoded tile of `width` x `height` (a size CheckTileSize accepts).
size_t EncodedTileBytes(PixelEncoding encoding, int32_t width, int32_t height);

// The index of the first of `count` pixels too large for the encoding, or -1.
int64_t FirstPixelTooLarge(PixelEncoding encoding, const uint8_t* pixels, size_t count);

// Encodes one tile of `width` x `height` pixels (rows from the top) into
// EncodedTileBytes bytes at `out`. The caller has checked the size and that
// no pixel is too large: a pixel too large is never masked into a smaller
// value silently, that is the caller's refusal to make.
void EncodeTile(PixelEncoding encoding, int32_t width, int32_t height, const uint8_t* pixels,
                uint8_t* out);

// Decodes EncodedTileBytes bytes at `in` into `width` x `height` pixels.
// Every byte string is a valid tile, so decoding cannot fail.
void DecodeTile(PixelEncoding encoding, int32_t width, int32_t height, const uint8_t* in,
                uint8_t* pixels);

} // namespace kesh
