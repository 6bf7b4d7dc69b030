#pragma once

#include <cstdint>
#include <vector>

#include "doc/Command.h"
#include "map/MapModel.h"

namespace kesh {

// A paint stroke: each cell it changed, with the values before and after,
// in the order painted. Runs of neighbouring cells in a row share one entry.
class StrokeCommand : public Command {
public:
    // Adds a painted cell. Cells come in the order they were painted.
    void Add(int32_t index, uint16_t before, uint16_t after);
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
    // Takes the values of `cells` (inclusive, inside the grid; empty when
    // left > right or top > bottom) as they are now, before the change.
    RegionCommand(const MapModel& map, const Rect& cells, const char* name);
    // Takes the values after the change.
    void Finish(const MapModel& map);

    void Undo(Document& doc) override;
    void Redo(Document& doc) override;
    const char* Name() const override { return m_name; }
    void SetName(const char* name) { m_name = name; }
    size_t Bytes() const override;
    uint32_t Changes() const override;

private:
    // Copies `values` (rows of the rectangle, or one value for all) into the map.
    void write(MapModel& map, const std::vector<uint16_t>& values) const;
    bool empty() const { return m_cells.left > m_cells.right || m_cells.top > m_cells.bottom; }

    Rect m_cells;
    const char* m_name;
    std::vector<uint16_t> m_before;
    std::vector<uint16_t> m_after; // one value when every cell got the same
};

} // namespace kesh
