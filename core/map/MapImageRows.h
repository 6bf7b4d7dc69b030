#pragma once

#include <cstdint>
#include <vector>

#include "base/Status.h"
#include "map/MapModel.h"
#include "tileset/TileSet.h"

namespace kesh {

// The pixel rows of the image of a whole map, every cell drawn with its tile
// at full size as palette indices. A cell that names no tile (an empty one,
// say), or every cell when the tile list's size differs from the set's tile
// size, is index 0. The exports compose one row at a time from here, so no
// image of the map is ever held in memory.
class MapImageRows {
public:
    // Whether the exports can draw `map` with `tiles` into an image format
    // whose size limits `fits` tells: fails with "지도의 크기가 올바르지
    // 않습니다." for a map without cells and with "지도가 너무 커서 비트맵으로
    // 저장할 수 없습니다." for an image `fits` refuses.
    static Status Check(const MapModel& map, const TileSet& tiles,
                        bool (*fits)(int64_t width, int64_t height));

    // The map must have cells; width() and height() are in pixels.
    MapImageRows(const MapModel& map, const TileSet& tiles);

    int64_t width() const { return m_cols * m_tileWidth; }
    int64_t height() const { return m_rows * m_tileHeight; }

    // Writes the width() indices of pixel row `y` (0 at the top) to `out`.
    void Compose(int64_t y, uint8_t* out);

private:
    // Points the cells of `cellRow` whose attribute bits change their look
    // at transformed copies of their tiles in m_variants.
    void ApplyAttrs(int64_t cellRow);

    const MapModel& m_map;
    const TileList& m_list;
    int64_t m_cols;
    int64_t m_rows;
    int64_t m_tileWidth;
    int64_t m_tileHeight;
    bool m_sizesAgree;
    int64_t m_cellRow = -1;                 // the cell row m_rowTiles was looked up for
    std::vector<const uint8_t*> m_rowTiles; // that row's tile pixels, m_blank for none
    std::vector<uint8_t> m_variants;        // this row's flipped or palette-shifted tiles
    std::vector<uint8_t> m_blank;           // a tile of index 0, drawn for cells without one
};

} // namespace kesh
