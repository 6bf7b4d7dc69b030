// The document's terrain requests: the terrain stroke and fill, and the set.
#include <new>

#include "base/Messages.h"
#include "doc/CommandNames.h"
#include "doc/Document.h"
#include "doc/TerrainCommand.h"
#include "doc/TerrainSetCommand.h"
#include "doc/TileSetCommand.h"

namespace kesh {

Status Document::SetTerrainSet(TerrainSet set, bool marksMap) {
    closeStroke();
    if (set.empty()) {
        m_terrain.Detach();
    } else if (Status st = m_terrain.Attach(std::move(set), m_map); !st) {
        return st;
    }
    if (marksMap)
        MarkChanged();
    notify(change::kTerrain);
    return Status::Ok();
}

void Document::SetTerrainOptions(const TerrainOptions& options) {
    m_terrain.SetOptions(options);
    notify(change::kTerrain);
}

void Document::closeTerrainStroke() {
    if (!m_terrainStroke)
        return;
    std::unique_ptr<TerrainCommand> stroke = std::move(m_terrainStroke);
    stroke->Finish(m_terrain, m_map);
    m_terrainUnmatched = stroke->unmatched();
    if (!stroke->empty()) {
        m_history.Push(std::move(stroke));
        ++m_revision;
    }
}

Rect Document::PaintTerrain(Point at, int terrain) {
    const Rect none{0, 0, -1, -1};
    m_terrain.Follow(m_map);
    if (!m_terrain.active() || !m_terrain.InGrid(at) || terrain < 0 ||
        terrain >= int(m_terrain.set().terrains.size()))
        return none;
    const size_t index = size_t(at.y) * size_t(m_terrain.valuesWide()) + size_t(at.x);
    if (m_terrain.values()[index] == terrain)
        return none;
    if (m_stroke || m_pixelStroke) {
        closeStroke();
        notify(change::kHistory);
    }
    const bool first = !m_terrainStroke || m_terrainStroke->empty();
    if (!m_terrainStroke)
        m_terrainStroke = std::make_unique<TerrainCommand>(command::kTerrainStroke);
    m_terrainStroke->SetValue(m_terrain, index, uint8_t(terrain));
    const Rect cells = m_terrain.CellsOf(Rect{at.x, at.y, at.x, at.y});
    m_terrainStroke->Rechoose(m_terrain, m_map, cells);
    // As with PaintCell, the caller repaints the cells; what undo would do
    // changes with the stroke's first value only.
    if (first)
        notify(change::kHistory);
    return cells;
}

void Document::FillTerrain(const Rect& points, int terrain) {
    m_terrain.Follow(m_map);
    if (!m_terrain.active() || terrain < 0 || terrain >= int(m_terrain.set().terrains.size()))
        return;
    const Rect cut{std::max(points.left, 0), std::max(points.top, 0),
                   std::min(points.right, m_terrain.valuesWide() - 1),
                   std::min(points.bottom, m_terrain.valuesHigh() - 1)};
    closeStroke();
    auto fill = std::make_unique<TerrainCommand>(command::kTerrainFill);
    try {
        for (int32_t y = cut.top; y <= cut.bottom; ++y)
            for (int32_t x = cut.left; x <= cut.right; ++x)
                fill->SetValue(m_terrain, size_t(y) * size_t(m_terrain.valuesWide()) + size_t(x),
                               uint8_t(terrain));
        if (cut.left <= cut.right && cut.top <= cut.bottom)
            fill->Rechoose(m_terrain, m_map, m_terrain.CellsOf(cut));
        fill->Finish(m_terrain, m_map);
    } catch (const std::bad_alloc&) {
        // The values set so far stand without a record: the cells follow
        // them, and the change cannot be taken back.
        fill.reset();
        m_terrainUnmatched = m_terrain.ChooseAll(m_map);
        dropHistory(true);
        notify(change::kCells | change::kHistory);
        return;
    }
    m_terrainUnmatched = fill->unmatched();
    push(std::move(fill));
}

Status Document::MakeTerrainSet(const char* name, const TerrainMake& make) {
    closeStroke();
    const TileSetState before = TileSetState::Of(m_tiles);
    TerrainSet made;
    if (Status st = make(m_tiles, made); !st)
        return st;
    const auto putBack = [&] {
        if (TileSetCommand::Changed(before, m_tiles))
            TileSetCommand::Apply(m_tiles, before, before.count, {}, {});
    };
    if (Status st = made.Check(); !st || !TileSetCommand::Holds(before, m_tiles)) {
        putBack();
        // Only tiles added at the end (or a new size for an empty set) can be taken back.
        return st ? Status::Fail(msg::kTileSizeMismatch) : st;
    }
    if (m_tiles.current() < 0 && m_tiles.count() > 0)
        m_tiles.setCurrent(0);
    std::unique_ptr<Command> tiles;
    if (TileSetCommand::Changed(before, m_tiles))
        tiles = std::make_unique<TileSetCommand>(before, m_tiles, name, true);
    TerrainSet old = m_terrain.set();
    if (Status st = m_terrain.Attach(made, m_map); !st) {
        putBack();
        return st;
    }
    push(std::make_unique<TerrainSetCommand>(std::move(tiles), std::move(old), std::move(made),
                                             name));
    return Status::Ok();
}

} // namespace kesh
