#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
};
} // namespace TileItem
inline constexpr int kTileItemCount = 11;

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

} // namespace kesh
