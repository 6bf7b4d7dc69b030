#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace kesh {

// The NES attribute table of a map (MapItem::NesAttributes): 64 bytes per
// screen of 32 x 30 cells, the screens in reading order. Byte (row / 4) * 8 +
// col / 4 of a screen holds the palettes of a 4 x 4-cell area, two bits for
// each 2 x 2 block: bits 1-0 top left, 3-2 top right, 5-4 bottom left, 7-6
// bottom right (https://www.nesdev.org/wiki/PPU_attribute_tables). The last
// row of bytes covers rows 28-29 only; its bits 7-4 are written 0.
//
// A block takes the palette of its top-left cell (the layout table warns of
// a block whose cells differ). A map that is not a whole number of screens
// is padded to one: the cells beyond it count as palette 0, and their bits
// are ignored when read, as the bits of rows 30-31 are.
namespace nes {
inline constexpr int kScreenColumns = 32;
inline constexpr int kScreenRows = 30;
inline constexpr int kTableBytes = 64;
inline constexpr int kPaletteBits = 2;
} // namespace nes

// Bytes of the table for a width x height map (0 for an empty one).
uint64_t NesAttributeBytes(int64_t width, int64_t height);

// Writes the table of a width x height map whose attribute words (cellbit,
// one per cell, row by row; null for all 0) hold the palettes, to `out`
// (NesAttributeBytes of room).
void EncodeNesAttributes(int32_t width, int32_t height, const uint16_t* attrs, uint8_t* out);

// Reads a table back into the palette bits of `attrs` (one per cell); the
// other attribute bits stay.
void DecodeNesAttributes(const uint8_t* in, int32_t width, int32_t height, uint16_t* attrs);

// The top-left cell of the first 2 x 2 block, by rows of blocks, whose cells
// have different palettes; nullopt when there is none.
struct CellPos {
    int32_t col = 0, row = 0;
    bool operator==(const CellPos&) const = default;
};
std::optional<CellPos> FirstMixedNesBlock(int32_t width, int32_t height, const uint16_t* attrs);

} // namespace kesh
