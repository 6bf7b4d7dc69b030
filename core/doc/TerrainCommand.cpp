#include "doc/TerrainCommand.h"

#include <algorithm>

#include "doc/Document.h"
#include "doc/DocumentListener.h"

namespace kesh {

bool TerrainCommand::SetValue(TerrainLayer& layer, size_t index, uint8_t terrain) {
    const uint8_t before = layer.values()[index];
    if (before == terrain)
        return false;
    m_values.push_back({uint32_t(index), before, terrain});
    layer.SetValue(index, terrain);
    return true;
}

void TerrainCommand::Rechoose(const TerrainLayer& layer, MapModel& map, const Rect& cells) {
    layer.Choose(cells, [&](size_t index, Cell after, bool exact) {
        if (!exact)
            m_inexact.push_back(uint32_t(index));
        const Cell before = map.cell(index);
        if (before == after)
            return;
        m_cells.push_back({uint32_t(index), before, after});
        map.SetCell(index, after);
    });
}

void TerrainCommand::Finish(const TerrainLayer& layer, const MapModel& map) {
    std::sort(m_inexact.begin(), m_inexact.end());
    m_inexact.erase(std::unique(m_inexact.begin(), m_inexact.end()), m_inexact.end());
    const auto w = uint32_t(map.width());
    m_unmatched = uint64_t(std::count_if(m_inexact.begin(), m_inexact.end(), [&](uint32_t index) {
        return !layer.ChooseAt(int32_t(index % w), int32_t(index / w)).exact;
    }));
    m_inexact = {};
}

void TerrainCommand::Undo(Document& doc) {
    MapModel& map = doc.map();
    TerrainLayer& layer = doc.terrain();
    for (auto c = m_cells.rbegin(); c != m_cells.rend(); ++c)
        map.SetCell(c->index, c->before);
    for (auto v = m_values.rbegin(); v != m_values.rend(); ++v)
        if (v->index < layer.values().size())
            layer.SetValue(v->index, v->before);
}

void TerrainCommand::Redo(Document& doc) {
    MapModel& map = doc.map();
    TerrainLayer& layer = doc.terrain();
    for (const ValueChange& v : m_values)
        if (v.index < layer.values().size())
            layer.SetValue(v.index, v.after);
    for (const CellChange& c : m_cells)
        map.SetCell(c.index, c.after);
}

size_t TerrainCommand::Bytes() const {
    return sizeof(*this) + m_values.capacity() * sizeof(ValueChange) +
           m_cells.capacity() * sizeof(CellChange) + m_inexact.capacity() * sizeof(uint32_t);
}

uint32_t TerrainCommand::Changes() const {
    return change::kCells;
}

} // namespace kesh
