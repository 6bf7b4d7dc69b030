#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "doc/Command.h"
#include "doc/TileRemap.h"
#include "map/MapModel.h"
#include "map/TileUsage.h"

namespace kesh {

// A clean-up of the tile set: the tiles renumbered, merged or dropped as a
// TileRemap says, and every cell (or every cell of one rectangle) renumbered
// with them. Holds the tiles as they were and, for the cells whose tile
// cannot be told back from its new number (merged or flipped), their old
// values; every other cell is renumbered back by rule.
class TileRemapCommand : public Command {
public:
    // For `doc`'s tiles as they are now; nothing is changed yet. `area`
    // (cells, inclusive, inside the grid) limits the cells renumbered; the
    // tiles then stay as they are.
    // `usage`, when given, counts the whole map's cells now and must last
    // until the first Redo: a plan whose merged tiles show in no cell is
    // then run without looking for their cells (removing unused tiles).
    TileRemapCommand(Document& doc, const char* name, TileRemap remap,
                     std::optional<Rect> area = std::nullopt, const TileUsage* usage = nullptr);

    void Undo(Document& doc) override;
    void Redo(Document& doc) override;
    const char* Name() const override { return m_name; }
    size_t Bytes() const override;
    uint32_t Changes() const override;

    // Cells the first Redo changed: a new number, or the cells of a tile
    // merged into another.
    uint64_t cellsChanged() const { return m_changed; }

private:
    // Rewrites the cells through `table` (a new value for every old one),
    // toggling flips by `flips` where it is not empty; counts the changes
    // and records the cells of tiles that cannot be told back, when asked.
    void rewrite(MapModel& map, const std::vector<uint16_t>& table,
                 const std::vector<uint16_t>& flips, bool record);
    void putTiles(Document& doc, bool old);

    const char* m_name;
    TileRemap m_remap;
    std::optional<Rect> m_area;
    int32_t m_oldCount;
    bool m_tilesMove;
    std::vector<uint8_t> m_pixels; // the old tiles, one after another
    std::vector<uint32_t> m_attributes;
    int32_t m_currentBefore;
    // Cells recorded for undo: where, and what they held.
    std::vector<int32_t> m_where;
    std::vector<Cell> m_before;
    const TileUsage* m_usage;
    bool m_applied = false;
    uint64_t m_changed = 0;
};

} // namespace kesh
