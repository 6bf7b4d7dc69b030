#include "map/MapImageRows.h"

#include <algorithm>
#include <cstring>

namespace kesh {

MapImageRows::MapImageRows(const MapModel& map, const TileSet& tiles)
    : m_map(map), m_list(tiles.tiles()), m_cols(map.width()), m_rows(map.height()),
      m_tileWidth(std::max(tiles.tileWidth(), 0)), m_tileHeight(std::max(tiles.tileHeight(), 0)),
      m_sizesAgree(m_list.width() == m_tileWidth && m_list.height() == m_tileHeight),
      m_rowTiles(size_t(std::max<int64_t>(m_cols, 0)), nullptr) {}

void MapImageRows::Compose(int64_t y, uint8_t* out) {
    const int64_t cellRow = y / m_tileHeight;
    if (cellRow != m_cellRow) {
        const uint16_t* cells = m_map.cells().data() + cellRow * m_cols;
        for (int64_t c = 0; c < m_cols; ++c)
            m_rowTiles[size_t(c)] = m_sizesAgree ? m_list.PixelsAt(cells[c]) : nullptr;
        m_cellRow = cellRow;
    }
    const auto tileRow = size_t(m_tileWidth);
    const size_t offset = size_t(y % m_tileHeight) * tileRow;
    for (const uint8_t* pixels : m_rowTiles) {
        if (pixels)
            std::memcpy(out, pixels + offset, tileRow);
        else
            std::memset(out, 0, tileRow);
        out += tileRow;
    }
}

} // namespace kesh
