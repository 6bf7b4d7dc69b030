#include "doc/TerrainSetCommand.h"

#include "doc/Document.h"

namespace kesh {

void TerrainSetCommand::Take(Document& doc, const TerrainSet& set) {
    if (set.empty()) {
        doc.terrain().Detach();
        return;
    }
    // Both sets were checked when the step was made; only memory can fail,
    // and the map is then left without a set rather than with a wrong one.
    if (!doc.terrain().Attach(set, doc.map()))
        doc.terrain().Detach();
}

void TerrainSetCommand::Undo(Document& doc) {
    if (m_tiles)
        m_tiles->Undo(doc);
    Take(doc, m_before);
}

void TerrainSetCommand::Redo(Document& doc) {
    if (m_tiles)
        m_tiles->Redo(doc);
    Take(doc, m_after);
}

size_t TerrainSetCommand::Bytes() const {
    const auto setBytes = [](const TerrainSet& set) {
        size_t bytes = set.tiles.size() * sizeof(TerrainTile);
        for (const std::string& name : set.terrains)
            bytes += name.size();
        return bytes;
    };
    return sizeof(*this) + (m_tiles ? m_tiles->Bytes() : 0) + setBytes(m_before) +
           setBytes(m_after);
}

uint32_t TerrainSetCommand::Changes() const {
    return change::kTerrain | (m_tiles ? m_tiles->Changes() : 0);
}

} // namespace kesh
