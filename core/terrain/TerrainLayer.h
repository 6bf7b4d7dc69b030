#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/Status.h"
#include "map/MapModel.h"
#include "terrain/TerrainResolver.h"
#include "terrain/TerrainSet.h"

namespace kesh {

// The terrain a map was painted with: the set, and a grid of terrain values
// from which every cell's tile follows. The document keeps one beside the
// map; it is rebuilt from the map's tiles when a set is taken and whenever
// the map's grid or cell fields change under it (a new, opened or imported
// map), so that nothing but the map and the set need be saved.
//   Corner sets: the values sit on the cell corners, (width+1) x (height+1);
//     a cell's label is the terrain at its four corners.
//   Blob sets: one value per cell. A cell of terrain c shows at an edge
//     min(c, the neighbour's terrain), so the higher terrain draws the
//     border inside its own cells and a terrain's cells next to higher ones
//     stay whole; at a corner, min(c, the diagonal neighbour's terrain)
//     while both edges beside it show c, otherwise the lower of those two
//     edges (the common 47-tile reduction). Outside the map counts as c.
// Painting sets values; the cells whose label may have changed are chosen
// again (CellsOf), and a cell's tile depends on the values alone, never on
// the order they were set in.
class TerrainLayer {
public:
    bool active() const { return !m_set.empty(); }
    const TerrainSet& set() const { return m_set; }
    const TerrainOptions& options() const { return m_options; }
    void SetOptions(const TerrainOptions& options) { m_options = options; }

    // Takes `set` for `map`, the values read from the map's cells (Rebuild).
    // Fails (nothing changed) when the set does not Check, or memory runs out.
    Status Attach(TerrainSet set, const MapModel& map);
    // Takes `set` for `map` with `values` given (valuesWide() x valuesHigh()
    // of the set's kind, each a terrain of the set), without reading the
    // cells. Fails with "지도의 크기가 올바르지 않습니다." for another count.
    Status Attach(TerrainSet set, const MapModel& map, std::vector<uint8_t> values);
    void Detach();
    // Rebuilds when the map's grid or flip fields are no longer those the
    // values were made for.
    void Follow(const MapModel& map);
    // Values from the cells: each cell whose tile (and flips) the set knows
    // gives its label's terrains to its corners (corner sets, later cells
    // winning) or its middle terrain to its value (blob sets); the rest are 0.
    void Rebuild(const MapModel& map);

    // The value grid: points across and down, and one value per point.
    int32_t valuesWide() const { return m_wide; }
    int32_t valuesHigh() const { return m_high; }
    const std::vector<uint8_t>& values() const { return m_values; }
    uint8_t value(int32_t x, int32_t y) const { return m_values[size_t(y) * size_t(m_wide) + size_t(x)]; }
    void SetValue(size_t index, uint8_t terrain) { m_values[index] = terrain; }
    bool InGrid(Point p) const { return p.x >= 0 && p.y >= 0 && p.x < m_wide && p.y < m_high; }
    // The cells whose label reads the values of `points` (inclusive), cut to
    // the map; empty (left > right) when none does.
    Rect CellsOf(const Rect& points) const;

    TerrainLabel LabelAt(int32_t col, int32_t row) const;
    TerrainChoice ChooseAt(int32_t col, int32_t row) const {
        return m_resolver.Choose(LabelAt(col, row), col, row, m_options);
    }
    Cell CellOf(const TerrainChoice& choice) const { return {choice.tile, choice.flips}; }
    const TerrainResolver& resolver() const { return m_resolver; }

    // Chooses every cell of `cells` (inclusive, inside the map) again and
    // calls visit(index, cell, exact) for each.
    template <class Visit> void Choose(const Rect& cells, Visit&& visit) const {
        for (int32_t row = cells.top; row <= cells.bottom; ++row)
            for (int32_t col = cells.left; col <= cells.right; ++col) {
                const TerrainChoice choice = ChooseAt(col, row);
                visit(size_t(row) * size_t(m_cellsWide) + size_t(col), CellOf(choice),
                      choice.exact);
            }
    }
    // Gives every cell of the map its tile from the values; returns how many
    // took the nearest label.
    uint64_t ChooseAll(MapModel& map) const;

private:
    // The resolver and sizes for `map`, the values left to the caller.
    void fit(const MapModel& map);

    TerrainSet m_set;
    TerrainResolver m_resolver;
    TerrainOptions m_options;
    std::vector<uint8_t> m_values;
    int32_t m_wide = 0, m_high = 0;
    int32_t m_cellsWide = 0, m_cellsHigh = 0;
    uint64_t m_generation = 0;
    uint16_t m_flipMask = 0;
};

} // namespace kesh
