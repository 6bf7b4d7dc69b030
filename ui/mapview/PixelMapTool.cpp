#include "mapview/PixelMapTool.h"

#include <map>
#include <vector>

#include "edit/TileDrawing.h"
#include "edit/TilePixelTools.h"
#include "edit/Zoom.h"
#include "mapview/CKeshView.h"

namespace kesh::ui {

PixelMapTool::PixelMapTool(CKeshView& view, Colour colour, Notice refused)
    : m_view(view), m_colour(std::move(colour)), m_refused(std::move(refused)) {}

bool PixelMapTool::ZoomAllowed(int step) {
    const ZoomFactor f = ZoomAt(step);
    return f.num >= 4 * f.den;
}

QString PixelMapTool::RefusedText() {
    return QStringLiteral("픽셀 그리기는 400% 이상 확대해야 쓸 수 있습니다.");
}

bool PixelMapTool::Press(const MapToolPoint& at) {
    if (!ZoomAllowed(m_view.zoomStep())) {
        if (m_refused)
            m_refused(RefusedText());
        return false;
    }
    m_value = m_colour ? m_colour() : 0;
    m_last = {at.pixelX, at.pixelY};
    m_active = true;
    PaintLine(m_last, m_last);
    return true;
}

void PixelMapTool::Move(const MapToolPoint& at) {
    const Point now{at.pixelX, at.pixelY};
    if (!m_active || now == m_last)
        return;
    PaintLine(m_last, now);
    m_last = now;
}

void PixelMapTool::Release() {
    if (!m_active)
        return;
    m_active = false;
    m_view.document().EndStroke();
}

void PixelMapTool::PaintLine(Point from, Point to) {
    Document& doc = m_view.document();
    const int64_t wide = int64_t(doc.map().width()) * doc.tiles().tileWidth();
    const int64_t high = int64_t(doc.map().height()) * doc.tiles().tileHeight();
    if (wide <= 0 || high <= 0 || wide > INT32_MAX || high > INT32_MAX)
        return;
    // One request per tile the line crosses.
    std::map<int32_t, std::vector<Point>> byTile;
    for (const Point& p : TilePixelTools::Line(from, to, int32_t(wide), int32_t(high)))
        if (const std::optional<TilePixel> under = TileDrawing::UnderMapPixel(doc, p))
            byTile[under->tile].push_back(under->at);
    for (const auto& [tile, points] : byTile)
        doc.PaintTilePixels(tile, points, m_value);
}

} // namespace kesh::ui
