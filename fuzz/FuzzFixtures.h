#pragma once

// The objects the fuzz targets read into: not fresh ones, so that a reader
// that changes anything on failure is caught.

#include <string>
#include <vector>

#include "base/Messages.h"
#include "edit/MapViewState.h"
#include "map/MapModel.h"
#include "tileset/TileSet.h"

namespace kesh::fuzz {

// A 32 x 32 tile set with two tiles, the current tile 1, a header and some
// colours of its own.
inline TileSet MakeTileSet() {
    TileSet set;
    set.format().header = "OLD";
    std::vector<uint8_t> pixels(32 * 32, 7);
    set.tiles().Append(pixels.data(), 0x12345678);
    pixels[5] = 200;
    set.tiles().Append(pixels.data(), 3);
    Palette palette;
    for (size_t i = 0; i < palette.rgb.size(); ++i)
        palette.rgb[i] = uint8_t(i % 64);
    set.SetPalette(palette);
    set.setCurrent(1);
    return set;
}

// A 5 x 4 map with a few painted cells.
inline MapModel MakeMap() {
    MapModel map;
    map.format().header = "MAP";
    map.AllocateCells(5, 4);
    for (size_t i = 0; i < map.cells().size(); i += 3)
        map.cells()[i] = uint16_t(i);
    return map;
}

// A current cell, a selection and a copy source on MakeMap's grid.
inline MapViewState MakeViewState() {
    MapViewState view;
    view.m_nCurCell = 7;
    view.m_rcSelect = {0, 0, 63, 31};
    view.m_rcCopySource = Rect{1, 1, 2, 2};
    return view;
}

// The messages a tile file read may fail with.
inline bool IsTileReadMessage(const std::string& text) {
    // A Palette item's colour that no hardware shows is named by its number.
    return text == msg::kDamagedFile || text == msg::kNoTileSize || text == msg::kNoTileCount ||
           text.starts_with("팔레트의 ");
}

} // namespace kesh::fuzz
