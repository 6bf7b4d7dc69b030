#include "layout/NesAttributeTable.h"

#include <algorithm>
#include <cstring>

#include "layout/CellFields.h"

namespace kesh {

namespace {

int64_t Screens(int64_t cells, int per) { return (std::max<int64_t>(cells, 0) + per - 1) / per; }

int PaletteAt(const uint16_t* attrs, size_t index) {
    return attrs ? cellbit::PaletteOf(attrs[index]) & ((1 << nes::kPaletteBits) - 1) : 0;
}

// Where the two bits of cell (col, row) are: the byte from the start of the
// table and the shift in it.
struct Place {
    size_t byte;
    int shift;
};

Place PlaceOf(int32_t width, int32_t col, int32_t row) {
    const int64_t across = Screens(width, nes::kScreenColumns);
    const int64_t screen = int64_t(row / nes::kScreenRows) * across + col / nes::kScreenColumns;
    const int c = col % nes::kScreenColumns, r = row % nes::kScreenRows;
    const size_t byte = size_t(screen) * nes::kTableBytes + size_t((r / 4) * 8 + c / 4);
    // Quadrants: top left, top right, bottom left, bottom right.
    const int quadrant = ((r % 4) / 2) * 2 + (c % 4) / 2;
    return {byte, quadrant * nes::kPaletteBits};
}

} // namespace

uint64_t NesAttributeBytes(int64_t width, int64_t height) {
    return uint64_t(Screens(width, nes::kScreenColumns)) *
           uint64_t(Screens(height, nes::kScreenRows)) * nes::kTableBytes;
}

void EncodeNesAttributes(int32_t width, int32_t height, const uint16_t* attrs, uint8_t* out) {
    std::memset(out, 0, size_t(NesAttributeBytes(width, height)));
    // Each block's top-left cell, which is always inside the map (a screen
    // has an even number of rows, so blocks never straddle two).
    for (int32_t row = 0; row < height; row += 2) {
        for (int32_t col = 0; col < width; col += 2) {
            const Place p = PlaceOf(width, col, row);
            const int palette = PaletteAt(attrs, size_t(row) * size_t(width) + size_t(col));
            out[p.byte] = uint8_t(out[p.byte] | palette << p.shift);
        }
    }
}

void DecodeNesAttributes(const uint8_t* in, int32_t width, int32_t height, uint16_t* attrs) {
    for (int32_t row = 0; row < height; ++row)
        for (int32_t col = 0; col < width; ++col) {
            const Place p = PlaceOf(width, col, row);
            const int palette = (in[p.byte] >> p.shift) & ((1 << nes::kPaletteBits) - 1);
            uint16_t& attr = attrs[size_t(row) * size_t(width) + size_t(col)];
            attr = cellbit::WithPalette(attr, palette);
        }
}

std::optional<CellPos> FirstMixedNesBlock(int32_t width, int32_t height, const uint16_t* attrs) {
    if (!attrs)
        return std::nullopt;
    for (int32_t row = 0; row < height; row += 2)
        for (int32_t col = 0; col < width; col += 2) {
            const int first = PaletteAt(attrs, size_t(row) * size_t(width) + size_t(col));
            for (int32_t r = row; r < std::min(row + 2, height); ++r)
                for (int32_t c = col; c < std::min(col + 2, width); ++c)
                    if (PaletteAt(attrs, size_t(r) * size_t(width) + size_t(c)) != first)
                        return CellPos{col, row};
        }
    return std::nullopt;
}

} // namespace kesh
