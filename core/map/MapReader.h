#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "base/Status.h"
#include "io/ByteReader.h"
#include "layout/MapFormat.h"
#include "map/MapFile.h"
#include "tileset/TileSet.h"

namespace kesh {

// Reads the items of a .map into fresh objects; nothing outside is touched,
// so the caller swaps the results in only when the whole file was read.
class MapReader {
public:
    // `current` is the tile set the user has now: an embedded tile file
    // keeps the colours it does not set, and the current tile number.
    MapReader(std::span<const uint8_t> bytes, const MapReadLayout& layout, const TileSet& current);

    // Called with each stretch of the bytes (offset, length) the reader has
    // copied and will not read again, so a mapped file can let it go.
    void SetRelease(std::function<void(size_t, size_t)> release) { m_release = std::move(release); }

    // Reads the header and every item, then makes sure there is a grid.
    Status Run();

    // After a successful Run: the map's layout with the header and size read.
    MapFormat TakeFormat();
    std::vector<uint16_t>& Cells() { return m_cells; }
    // The attribute words read by items with fields; empty without them.
    std::vector<uint16_t>& Attrs() { return m_attrs; }
    // The tile set of the last TileFile item, if the layout has one.
    std::optional<TileSet>& Tiles() { return m_tiles; }

private:
    Status ReadItem(uint8_t item);
    Status ReadSize(int bytes);
    Status ReadTiles();
    Status ReadCells(int bytesPerCell);
    // A CellFields or CellAttributes item: a word per cell, unpacked by its fields.
    Status ReadFieldWords(const CellWord& word, int firstUser);
    // A NesAttributes item: the table, into the palette bits of the cells.
    Status ReadNesTable();
    // The grid for the size read so far: no size yet fails with
    // msg::kNoTileSize, a size no map can hold as MapModel::CheckSize does.
    Status EnsureCells();
    // The checks of EnsureCells without making the grid.
    Status CheckGridSize() const;

    ByteReader m_in;
    const MapReadLayout& m_layout;
    const TileSet& m_current;
    std::optional<int64_t> m_width;
    std::optional<int64_t> m_height;
    bool m_gridMade = false;
    MapFormat m_format;
    std::vector<uint16_t> m_cells;
    std::vector<uint16_t> m_attrs;
    std::optional<TileSet> m_tiles;
    std::function<void(size_t, size_t)> m_release;
};

} // namespace kesh
