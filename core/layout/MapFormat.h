#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "layout/CellFields.h"

namespace kesh {

// Item codes of a map file layout.
namespace MapItem {
enum : uint8_t {
    SizeByte = 0,
    SizeWord = 1,
    SizeDword = 2,
    TileFile = 3,
    CellsByte = 4,
    CellsWord = 5,
    // A word per cell made of fields (MapFormat::cells.word): the tile
    // number, and the flip, palette, priority and user bits beside it.
    CellFields = 6,
    // The attribute plane: a word per cell with the fields that are not the
    // tile number (MapFormat::cells.plane), after the tile numbers.
    CellAttributes = 7,
    // The NES attribute table (layout/NesAttributeTable.h) of the cells'
    // palettes. The item holds a 2-bit palette field of its own, stored in
    // no cell word: a layout with it keeps a palette per cell.
    NesAttributes = 8,
};
} // namespace MapItem
// Every item code; CellFields and CellAttributes need their fields as well.
inline constexpr int kMapItemCount = 9;

// The byte layout of a map file (.map), also the live map size.
struct MapFormat {
    std::string header;         // code page 949 bytes, written raw at offset 0
    int32_t width = 64;         // cells
    int32_t height = 64;        // cells
    std::vector<uint8_t> items; // MapItem codes in file order
    CellLayout cells;           // the fields of CellFields and CellAttributes items

    // 64 x 64, SizeByte, CellsByte, TileFile: start-up, File New, missing .kmf.
    static MapFormat Default();

    // Whether an item with fields is in the list: a NesAttributes item, or a
    // CellFields or CellAttributes item whose word has fields (one without
    // is skipped by readers and writers, as an unknown code is).
    bool HasFieldItems() const;
    bool HasNesAttributes() const;
    // The attribute bits the map keeps per cell: those of the fields the
    // items hold (a NesAttributes item: palette bits 0-1), 0 when no item
    // holds any.
    uint16_t AttrMask() const;
    // Palettes a cell can choose: those of the NES table (4, no more than
    // 256 / coloursPerPalette) with a NesAttributes item, else
    // cells.PaletteCount().
    int PaletteCount() const;

    bool operator==(const MapFormat&) const = default;
};

const char* MapItemText(int code);
const char* MapItemName(int code);
// Bytes a map item other than TileFile writes for a width x height map; 0
// for TileFile (its block is a whole tile file) and codes outside the table.
uint64_t MapItemBytes(int code, int64_t width, int64_t height);
// The same for an item of `format`, the items with fields included.
uint64_t MapItemBytes(const MapFormat& format, int code);

} // namespace kesh
