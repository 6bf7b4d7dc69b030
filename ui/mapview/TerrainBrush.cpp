#include "mapview/TerrainBrush.h"

#include <algorithm>
#include <cstdlib>

#include "mapview/CKeshView.h"

namespace kesh::ui {

namespace {

int FloorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

TerrainBrush::TerrainBrush(CKeshView& view, std::function<int()> terrain,
                           std::function<void(uint64_t)> done)
    : m_view(view), m_terrain(std::move(terrain)), m_done(std::move(done)) {}

std::optional<Point> TerrainBrush::ValuePoint(const TerrainLayer& layer, int x, int y,
                                              int32_t tileWidth, int32_t tileHeight) {
    if (!layer.active() || tileWidth <= 0 || tileHeight <= 0)
        return std::nullopt;
    Point p;
    if (layer.set().kind == TerrainKind::Corner) {
        // Corner c lies at pixel c * tile size: the nearest is half a tile either side.
        p = {FloorDiv(x + tileWidth / 2, tileWidth), FloorDiv(y + tileHeight / 2, tileHeight)};
    } else {
        p = {FloorDiv(x, tileWidth), FloorDiv(y, tileHeight)};
    }
    if (!layer.InGrid(p))
        return std::nullopt;
    return p;
}

std::optional<Point> TerrainBrush::pointAt(const MapToolPoint& at) const {
    Document& doc = m_view.document();
    doc.terrain().Follow(doc.map());
    return ValuePoint(doc.terrain(), at.pixelX, at.pixelY, doc.tiles().tileWidth(),
                      doc.tiles().tileHeight());
}

bool TerrainBrush::Press(const MapToolPoint& at) {
    const Document& doc = m_view.document();
    m_painting = m_terrain ? m_terrain() : -1;
    if (!doc.terrain().active() || m_painting < 0 ||
        m_painting >= int(doc.terrain().set().terrains.size()))
        return false;
    m_last.reset();
    Move(at);
    return true;
}

void TerrainBrush::Move(const MapToolPoint& at) {
    const std::optional<Point> p = pointAt(at);
    if (!p) {
        // Off the grid the stroke pauses; it goes on from where it comes back.
        m_last.reset();
        return;
    }
    if (m_last && *m_last == *p)
        return;
    if (m_last) {
        // Every point of the line between, so that a quick drag leaves no gap.
        const int dx = p->x - m_last->x, dy = p->y - m_last->y;
        const int steps = std::max(std::abs(dx), std::abs(dy));
        for (int i = 1; i < steps; ++i)
            paint({m_last->x + (dx * i + (dx >= 0 ? steps / 2 : -steps / 2)) / steps,
                   m_last->y + (dy * i + (dy >= 0 ? steps / 2 : -steps / 2)) / steps});
    }
    paint(*p);
    m_last = p;
}

void TerrainBrush::Release() {
    Document& doc = m_view.document();
    doc.EndStroke();
    m_last.reset();
    m_painting = -1;
    if (m_done)
        m_done(doc.terrainUnmatched());
}

void TerrainBrush::paint(Point p) {
    repaint(m_view.document().PaintTerrain(p, m_painting));
}

void TerrainBrush::repaint(const Rect& cells) {
    if (cells.left > cells.right || cells.top > cells.bottom)
        return;
    const int cw = m_view.cellWidth(), ch = m_view.cellHeight();
    const QPoint scroll = m_view.GetScrollPosition();
    m_view.viewport()->update(QRect(cells.left * cw - scroll.x(), cells.top * ch - scroll.y(),
                                    (cells.right - cells.left + 1) * cw,
                                    (cells.bottom - cells.top + 1) * ch));
}

} // namespace kesh::ui
