#pragma once

#include <cstdint>
#include <vector>

#include "doc/Command.h"
#include "map/MapModel.h"
#include "terrain/TerrainLayer.h"

namespace kesh {

// A terrain stroke or fill: the terrain values it set and the cells it chose
// again, each with its value before and after, in the order written.
class TerrainCommand : public Command {
public:
    explicit TerrainCommand(const char* name) : m_name(name) {}

    // Sets value `index` of the layer to `terrain` and records it; false
    // when it held that terrain already.
    bool SetValue(TerrainLayer& layer, size_t index, uint8_t terrain);
    // Chooses the cells of `cells` (inclusive, inside the map) again from
    // the values, writing and recording those that change.
    void Rechoose(const TerrainLayer& layer, MapModel& map, const Rect& cells);
    // Counts the cells this step chose again that are still on a nearest
    // label; called once the step is complete.
    void Finish(const TerrainLayer& layer, const MapModel& map);
    bool empty() const { return m_values.empty(); }
    // The cells Finish found on a nearest label.
    uint64_t unmatched() const { return m_unmatched; }

    void Undo(Document& doc) override;
    void Redo(Document& doc) override;
    const char* Name() const override { return m_name; }
    size_t Bytes() const override;
    uint32_t Changes() const override;

private:
    struct ValueChange {
        uint32_t index;
        uint8_t before, after;
    };
    struct CellChange {
        uint32_t index;
        Cell before, after;
    };
    const char* m_name;
    std::vector<ValueChange> m_values;
    std::vector<CellChange> m_cells;
    std::vector<uint32_t> m_inexact; // cells chosen from a nearest label
    uint64_t m_unmatched = 0;
};

} // namespace kesh
