#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/Status.h"

// The consoles' pixel and colour encodings as layouts name and size them;
// the codecs themselves are in raster/PixelEncoding.h and raster/ColourEncoding.h.
namespace kesh {

// How a tile's pixels are stored in a file. `Byte8` is one byte a pixel,
// rows from the top, the tile file's own form; every other encoding stores
// the tile as 8 x 8 blocks, left to right, then top to bottom, each block in
// the form the console's video chip reads (raster/PixelEncoding.cpp codes
// them and says where each bit order is documented).
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

// How a palette item stores each colour (raster/ColourEncoding.cpp codes them and
// says where each bit layout is documented).
enum class ColourEncoding : uint8_t {
    Rgb888,       // "rgb888": red, green, blue bytes
    Bgr555,       // "bgr555": 0BBBBBGGGGGRRRRR, 16-bit little-endian (SNES, GBA, GBC)
    MegaDrive,    // "md": 0000BBB0GGG0RRR0, 16-bit big-endian
    PcEngine,     // "pce": 0000000GGGRRRBBB, 16-bit little-endian
    MasterSystem, // "sms": 00BBGGRR, one byte
    GameGear,     // "gg": 0000BBBBGGGGRRRR, 16-bit little-endian
    Nes,          // "nes": one byte, an index into the NES master palette
    // "gb": the Game Boy's grey shades, 0 white to 3 black; a palette of
    // four colours is one BGP byte, colour 0 in bits 1-0 ... colour 3 in 7-6.
    GameBoy,
};

inline constexpr int kColourEncodingCount = 8;

std::string_view ColourEncodingName(ColourEncoding encoding);
std::optional<ColourEncoding> ColourEncodingFromName(std::string_view name);

// Bytes of one stored colour (1, 2 or 3); a Game Boy colour alone is its
// shade in a byte, though a palette packs four in one (PaletteBytes).
int BytesPerColour(ColourEncoding encoding);

// Bytes of `colours` colours stored one after another as a palette item
// stores them: a quarter byte each for the Game Boy (rounded up), else
// BytesPerColour each.
uint64_t PaletteBytes(ColourEncoding encoding, int64_t colours);

} // namespace kesh
