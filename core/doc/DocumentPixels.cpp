// The document's pixel stroke: the pencil's drag, in the tile editor or on
// the map, as one step.
#include "doc/CommandNames.h"
#include "doc/Document.h"
#include "doc/PixelStrokeCommand.h"

namespace kesh {

void Document::closePixelStroke() {
    if (!m_pixelStroke)
        return;
    std::unique_ptr<PixelStrokeCommand> stroke = std::move(m_pixelStroke);
    stroke->Finish(m_tiles);
    if (!stroke->empty()) {
        m_history.Push(std::move(stroke));
        ++m_revision;
    }
}

bool Document::PaintTilePixels(int32_t number, const std::vector<Point>& points, uint8_t value) {
    if (!m_tiles.tiles().NodeAt(number))
        return false;
    // Any other stroke under way is a step of its own.
    if (m_stroke || m_terrainStroke) {
        closeStroke();
        notify(change::kHistory);
    }
    const bool first = !m_pixelStroke || m_pixelStroke->empty();
    if (!m_pixelStroke)
        m_pixelStroke = std::make_unique<PixelStrokeCommand>(command::kEditTile);
    if (!m_pixelStroke->Paint(m_tiles, number, points, value))
        return false;
    // Unlike a cell stroke, the listeners hear every change: a tile shows in
    // many places, which only they know.
    notify(change::kTiles | (first ? change::kHistory : 0));
    return true;
}

} // namespace kesh
