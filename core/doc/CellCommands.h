#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "doc/Command.h"
#include "map/MapModel.h"

namespace kesh {

// `cells` cut to the grid of `map` (empty, left > right or top > bottom,
// when none of it is inside).
Rect CutToGrid(const MapModel& map, const Rect& cells);

// A paint stroke: each cell it changed, with the values before and after,
// in the order painted. Runs of neighbouring cells in a row share one entry.
// The stroke grows while it is painted: each cell is written as it comes.
class StrokeCommand : public Command {
public:
    // Writes `after` into cell `index` (inside the grid, holding another
    // value) and records it.
    void Paint(MapModel& map, int32_t index, uint16_t after);
    bool empty() const { return m_runs.empty(); }
    size_t cellCount() const { return m_before.size(); }

    void Undo(Document& doc) override;
    void Redo(Document& doc) override;
    const char* Name() const override;
    size_t Bytes() const override;
    uint32_t Changes() const override;

private:
    struct Run {
        int32_t start;  // first cell
        int32_t offset; // its values in m_before / m_after
        int32_t length;
    };
    std::vector<Run> m_runs;
    std::vector<uint16_t> m_before;
    std::vector<uint16_t> m_after;
};

// A paste or fill: a rectangle of cells with their values before, and
// after (one value for all when they are the same, as after a fill).
class RegionCommand : public Command {
public:
    // A fill of `cells` (inside the grid) with `tile`, not yet applied.
    static std::unique_ptr<RegionCommand> Fill(const MapModel& map, const Rect& cells,
                                               uint16_t tile);
    // A paste of `source` to (`col`, `row`), cut at the map's edges, not yet applied.
    static std::unique_ptr<RegionCommand> Paste(const MapModel& map, const Rect& source,
                                                int32_t col, int32_t row);
    // The same changes made without a record, for when there is no memory
    // to hold one: the paste walks away from the target so that no source
    // cell is overwritten before it is read.
    static void FillInPlace(MapModel& map, const Rect& cells, uint16_t tile);
    static void PasteInPlace(MapModel& map, const Rect& source, int32_t col, int32_t row);

    // Takes the values of `cells` (inclusive, inside the grid; empty when
    // left > right or top > bottom) as they are now, before the change.
    RegionCommand(const MapModel& map, const Rect& cells, const char* name);

    void Undo(Document& doc) override;
    void Redo(Document& doc) override;
    const char* Name() const override { return m_name; }
    size_t Bytes() const override;
    uint32_t Changes() const override;

private:
    // Copies `values` (rows of the rectangle, or one value for all) into the map.
    void write(MapModel& map, const std::vector<uint16_t>& values) const;
    bool empty() const { return m_cells.left > m_cells.right || m_cells.top > m_cells.bottom; }
    // Keeps one value for `after` when every cell gets the same.
    void setAfter(std::vector<uint16_t> after);

    Rect m_cells;
    const char* m_name;
    std::vector<uint16_t> m_before;
    std::vector<uint16_t> m_after; // one value when every cell got the same
};

} // namespace kesh
