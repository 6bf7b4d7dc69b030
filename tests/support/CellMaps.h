#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "layout/CellFields.h"
#include "map/MapModel.h"
#include "raster/Palette.h"
#include "tileset/TileSet.h"

// Maps whose cells carry flip and palette bits, and tiles whose every pixel
// has its own index, so a flip or a palette shift shows in every pixel.
namespace cellmaps {

// Gives `map` the SNES cell layout (a 16-bit word per cell with tile,
// palette, priority and both flips; 16 colours a palette) and cols x rows
// empty cells with attribute words.
inline void UseSnesCells(kesh::MapModel& map, int32_t cols, int32_t rows) {
    bool plane = false;
    map.format().items = {kesh::MapItem::SizeByte, kesh::MapItem::TileFile,
                          kesh::MapItem::CellFields};
    map.format().cells = *kesh::CellPresetLayout("snes", plane);
    map.AllocateCells(cols, rows);
    (void)map.MatchAttrs();
}

// Index of pixel (x, y) of the patterned tile `tile` of side `side`.
inline uint8_t PatternIndex(int tile, int side, int x, int y) {
    return uint8_t(1 + tile * 5 + y * side + x);
}

// Makes the set's tiles `count` patterned tiles of side x side, with 256
// display colours that all differ.
inline void MakePatternTiles(kesh::TileSet& set, int side, int count) {
    set.format().width = side;
    set.format().height = side;
    set.InitTileSet();
    kesh::ColourTable table{};
    for (size_t i = 0; i < 256; ++i) {
        table[i * 4] = uint8_t(i);           // blue
        table[i * 4 + 1] = uint8_t(255 - i); // green
        table[i * 4 + 2] = uint8_t(i * 7);   // red
    }
    set.SetColourTable(table);
    std::vector<uint8_t> pixels(size_t(side) * size_t(side));
    for (int t = 0; t < count; ++t) {
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                pixels[size_t(y * side + x)] = PatternIndex(t, side, x, y);
        set.tiles().Append(pixels.data(), 0);
    }
    set.touch();
}

// The index a cell with tile `tile` and attribute bits `attr` shows at
// (x, y) of its own pixels, worked out by hand from the bits' meaning.
inline uint8_t ExpectedIndex(int tile, uint16_t attr, int side, int x, int y) {
    const int sx = (attr & kesh::cellbit::kHFlip) ? side - 1 - x : x;
    const int sy = (attr & kesh::cellbit::kVFlip) ? side - 1 - y : y;
    return uint8_t(PatternIndex(tile, side, sx, sy) + kesh::cellbit::PaletteOf(attr) * 16);
}

// The attribute words a drawing test puts in a row: plain, each flip,
// both flips, a palette, a palette with a flip.
inline const std::vector<uint16_t>& SampleAttrs() {
    using namespace kesh::cellbit;
    static const std::vector<uint16_t> attrs = {
        0, kHFlip, kVFlip, kFlips, WithPalette(0, 2), WithPalette(kHFlip, 7), kPriority};
    return attrs;
}

// What the field `name` of a preset's cell word holds for attribute bits
// `attr`, as the generated readers give it: 0 or 1 for a flag, the palette
// number, and the presets' one user field (gbc's bank) as user bit 0.
inline unsigned FieldValue(const std::string& name, uint16_t attr) {
    using namespace kesh::cellbit;
    if (name == "hflip")
        return attr & kHFlip ? 1 : 0;
    if (name == "vflip")
        return attr & kVFlip ? 1 : 0;
    if (name == "priority")
        return attr & kPriority ? 1 : 0;
    if (name == "palette")
        return unsigned(PaletteOf(attr));
    return attr & UserBit(0) ? 1 : 0;
}

} // namespace cellmaps
