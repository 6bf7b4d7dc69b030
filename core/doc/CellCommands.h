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
    // value) and records it, with the attribute word while the map keeps them.
    void Paint(MapModel& map, int32_t index, Cell after);
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
    // Beside them while the map keeps attribute words.
    std::vector<uint16_t> m_beforeAttr;
    std::vector<uint16_t> m_afterAttr;
};

// A paste or fill: a rectangle of cells with their values before, and
// after (one value for all when they are the same, as after a fill).
class RegionCommand : public Command {
public:
    // A fill of `cells` (inside the grid) with `cell`, not yet applied.
    static std::unique_ptr<RegionCommand> Fill(const MapModel& map, const Rect& cells, Cell cell);
    // A paste of `source` to (`col`, `row`), cut at the map's edges, not yet applied.
    static std::unique_ptr<RegionCommand> Paste(const MapModel& map, const Rect& source,
                                                int32_t col, int32_t row);
    // A mirror image of `cells` (inside the grid) left to right or top to
    // bottom, each cell's flip bit toggled while the map has that field; not
    // yet applied.
    static std::unique_ptr<RegionCommand> Flip(const MapModel& map, const Rect& cells,
                                               bool horizontal);
    // The same changes made without a record, for when there is no memory
    // to hold one: the paste walks away from the target so that no source
    // cell is overwritten before it is read.
    static void FillInPlace(MapModel& map, const Rect& cells, Cell cell);
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
    // Copies `values` (rows of the rectangle, or one value for all) into
    // `grid` (the tile numbers or the attribute words).
    void write(MapModel& map, std::vector<uint16_t>& grid,
               const std::vector<uint16_t>& values) const;
    bool empty() const { return m_cells.left > m_cells.right || m_cells.top > m_cells.bottom; }
    // The rectangle's values in `grid`, row by row.
    std::vector<uint16_t> read(const MapModel& map, const std::vector<uint16_t>& grid) const;
    // Keeps one value for `after` when every cell gets the same.
    static void SetAfter(std::vector<uint16_t>& to, std::vector<uint16_t> after);

    Rect m_cells;
    const char* m_name;
    std::vector<uint16_t> m_before;
    std::vector<uint16_t> m_after; // one value when every cell got the same
    // The attribute words, the same way, while the map keeps them.
    std::vector<uint16_t> m_beforeAttr;
    std::vector<uint16_t> m_afterAttr;
};

} // namespace kesh
