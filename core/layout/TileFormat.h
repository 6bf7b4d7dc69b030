#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Status.h"
#include "layout/TileEncodings.h"

namespace kesh {

// Item codes of a tile file layout; the code is the item's line in the
// layout dialog's list. Codes outside the table are skipped by readers and writers.
namespace TileItem {
enum : uint8_t {
    SizeByte = 0,
    SizeWord = 1,
    SizeDword = 2,
    CountByte = 3,
    CountWord = 4,
    CountDword = 5,
    TileData = 6,
    AttrData = 7,
    TileAttrData = 8,
    Palette768 = 9,
    Palette1024 = 10,
    // The pixels in a console encoding (TileItemParams::pixels), no attributes.
    Pixels = 12,
    // P palettes of K colours in a console colour encoding, from colour 0.
    Palette = 13,
};
} // namespace TileItem
// The items the tile layout dialog lists by name alone, codes 0 to 10. The
// items with parameters come after a gap: code 11 stays unassigned, as
// layouts may already hold it as an unknown code for the readers to skip.
inline constexpr int kTileItemCount = 11;

// The parameters of the Pixels and Palette items; a layout holds one of
// each, shared by every such item in its list.
struct TileItemParams {
    PixelEncoding pixels = PixelEncoding::Byte8;
    ColourEncoding colours = ColourEncoding::Rgb888;
    uint16_t coloursPerPalette = 16; // K, 2-256
    uint16_t paletteCount = 1;       // P, with P x K at most 256

    bool operator==(const TileItemParams&) const = default;
};

// Whether the palette sizes fit the set's 256-colour table.
bool ValidTileItemParams(const TileItemParams& params);

// Attribute width selector: 0 = 1 byte, 1 = 2 bytes, 2 = 4 bytes per attribute.
using AttrWidth = int32_t;

// Layouts hold at most this many items (the count is stored in a signed byte).
inline constexpr int kMaxLayoutItems = 127;
// Header strings are stored with a one-byte length.
inline constexpr int kMaxHeaderBytes = 255;

// The byte layout of a tile file (.til), also the live tile size of a tile set.
struct TileFormat {
    std::string header;  // code page 949 bytes, written raw at offset 0
    int32_t width = 32;  // "X Size"
    int32_t height = 32; // "Y Size"
    AttrWidth attrWidth = 0;
    std::vector<uint8_t> items; // TileItem codes in file order
    TileItemParams params = {}; // of the Pixels and Palette items
    // The tile limit ("타일 한도") set for this layout; 0: none, the map's
    // cell item sets it (TileBudget.h).
    uint32_t tileLimit = 0;

    // Whether an item with parameters is in the list.
    bool HasParamItems() const;

    // The tile set view's layout at start-up: 32 x 32, the five default items.
    static TileFormat Default();
    // The layout offered by File New and for a tile file without descriptor: 16 x 16.
    static TileFormat NewFileDefault();

    bool operator==(const TileFormat&) const = default;
};

// The list text of a tile item as the layout dialog shows it (UTF-8), or
// nullptr for a code outside the table.
const char* TileItemText(int code);
// The item's name as used in code and by the command-line tool ("SizeByte"...).
const char* TileItemName(int code);
// Bytes per attribute for a selector: 1, 2 or 4 (anything else counts as 1 byte).
int AttrBytesFor(AttrWidth attrWidth);
// Bytes of one value written with width code 0, 1 or 2 (byte, word, dword
// items; AttrWidth): 1, 2 or 4; any other code writes nothing, 0.
int BytesForWidthCode(int code);
// Bytes a tile item writes for `count` tiles of width x height with this
// AttrWidth; 0 for a code outside the table.
uint64_t TileItemBytes(int code, int64_t width, int64_t height, int64_t count, AttrWidth attrWidth);
// The same for an item of `format`, the items with parameters included; a
// Pixels item for a tile size its encoding cannot store counts 0.
uint64_t TileItemBytes(const TileFormat& format, int code, int64_t count);

// An item as kesh-cli writes it: the name, with the parameters in brackets
// for the items that have them ("Pixels[2bpp-nes]", "Palette[bgr555,16x8]").
std::string TileItemLabel(const TileFormat& format, int code);
// Reads one such text, a name or a name with parameters, and appends its
// code to `format.items` (parameters into `format.params`). Fails with a
// Korean message, leaving `format` unchanged, for an unknown name, bad
// parameters or parameters other than those the layout already holds.
Status ParseTileItem(std::string_view text, TileFormat& format);

} // namespace kesh
