#include "map/MapImageRows.h"

#include <algorithm>
#include <cstring>

#include "base/Messages.h"
#include "map/CellPixels.h"

namespace kesh {

Status MapImageRows::Check(const MapModel& map, const TileSet& tiles,
                           bool (*fits)(int64_t width, int64_t height)) {
    const int64_t cols = map.width();
    const int64_t rows = map.height();
    if (!map.hasCells() || cols < 1 || rows < 1 || map.cells().size() != size_t(cols * rows))
        return Status::Fail(msg::kBadMapSize);
    const int64_t w = std::max(tiles.tileWidth(), 0);
    const int64_t h = std::max(tiles.tileHeight(), 0);
    if (!fits(cols * w, rows * h))
        return Status::Fail(msg::kMapTooLargeForBitmap);
    return Status::Ok();
}

MapImageRows::MapImageRows(const MapModel& map, const TileSet& tiles)
    : m_map(map), m_list(tiles.tiles()), m_cols(map.width()), m_rows(map.height()),
      m_tileWidth(std::max(tiles.tileWidth(), 0)), m_tileHeight(std::max(tiles.tileHeight(), 0)),
      m_sizesAgree(m_list.width() == m_tileWidth && m_list.height() == m_tileHeight),
      m_rowTiles(size_t(std::max<int64_t>(m_cols, 0)), nullptr) {}

namespace {

// One pixel row of every tile in `tiles`, side by side; a width known at
// compile time makes each copy a few moves instead of a call.
template <size_t Width>
void CopyRows(const std::vector<const uint8_t*>& tiles, size_t offset, uint8_t* out) {
    for (const uint8_t* pixels : tiles) {
        std::memcpy(out, pixels + offset, Width);
        out += Width;
    }
}

void CopyRows(const std::vector<const uint8_t*>& tiles, size_t offset, size_t width, uint8_t* out) {
    for (const uint8_t* pixels : tiles) {
        std::memcpy(out, pixels + offset, width);
        out += width;
    }
}

} // namespace

void MapImageRows::ApplyAttrs(int64_t cellRow) {
    // A flipped or palette-shifted cell draws from its own copy of the tile.
    const uint16_t* attrs = m_map.attrs().data() + cellRow * m_cols;
    const size_t tileSize = size_t(m_tileWidth * m_tileHeight);
    const int colours = m_map.format().cells.coloursPerPalette;
    size_t used = 0;
    for (int64_t c = 0; c < m_cols; ++c)
        used += DrawnAttr(attrs[c]) != 0 && m_rowTiles[size_t(c)] != m_blank.data() ? 1 : 0;
    if (used == 0)
        return;
    m_variants.resize(used * tileSize);
    uint8_t* out = m_variants.data();
    for (int64_t c = 0; c < m_cols; ++c) {
        const uint16_t attr = DrawnAttr(attrs[c]);
        if (attr == 0 || m_rowTiles[size_t(c)] == m_blank.data())
            continue;
        CellPixels(m_rowTiles[size_t(c)], int(m_tileWidth), int(m_tileHeight), attr, colours, out);
        m_rowTiles[size_t(c)] = out;
        out += tileSize;
    }
}

void MapImageRows::Compose(int64_t y, uint8_t* out) {
    const int64_t cellRow = y / m_tileHeight;
    if (cellRow != m_cellRow) {
        if (m_blank.empty())
            m_blank.assign(size_t(m_tileWidth * m_tileHeight), 0);
        const uint16_t* cells = m_map.cells().data() + cellRow * m_cols;
        for (int64_t c = 0; c < m_cols; ++c) {
            const uint8_t* pixels = m_sizesAgree ? m_list.PixelsAt(cells[c]) : nullptr;
            m_rowTiles[size_t(c)] = pixels ? pixels : m_blank.data();
        }
        if (m_map.hasAttrs())
            ApplyAttrs(cellRow);
        m_cellRow = cellRow;
    }
    const auto tileRow = size_t(m_tileWidth);
    const size_t offset = size_t(y % m_tileHeight) * tileRow;
    switch (tileRow) {
    case 8:
        return CopyRows<8>(m_rowTiles, offset, out);
    case 16:
        return CopyRows<16>(m_rowTiles, offset, out);
    case 32:
        return CopyRows<32>(m_rowTiles, offset, out);
    default:
        return CopyRows(m_rowTiles, offset, tileRow, out);
    }
}

} // namespace kesh
