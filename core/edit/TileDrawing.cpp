#include "edit/TileDrawing.h"

#include "doc/CommandNames.h"
#include "edit/TilePixelTools.h"
#include "layout/CellFields.h"

namespace kesh {

std::optional<uint8_t> TileDrawing::Press(int32_t tile, Point at, PixelTool tool,
                                          uint8_t value) {
    Release();
    const TileList& list = m_doc.tiles().tiles();
    const uint8_t* pixels = list.PixelsAt(tile);
    const int32_t w = list.width();
    const int32_t h = list.height();
    if (!pixels || at.x < 0 || at.y < 0 || at.x >= w || at.y >= h)
        return std::nullopt;
    switch (tool) {
    case PixelTool::Picker:
        return pixels[size_t(at.y) * size_t(w) + size_t(at.x)];
    case PixelTool::Fill:
        (void)m_doc.EditTilePixels(
            tile,
            TilePixelTools::Paint(pixels, w, h, TilePixelTools::FloodFill(pixels, w, h, at),
                                  value),
            command::kEditTile);
        return std::nullopt;
    case PixelTool::Pencil:
        m_doc.PaintTilePixels(tile, {at}, value);
        break;
    case PixelTool::Line:
    case PixelTool::Rectangle:
        break;
    }
    m_tool = tool;
    m_tile = tile;
    m_value = value;
    m_start = m_last = at;
    m_dragging = true;
    return std::nullopt;
}

void TileDrawing::Move(Point at) {
    if (!m_dragging || at == m_last)
        return;
    if (m_tool == PixelTool::Pencil) {
        const TileList& list = m_doc.tiles().tiles();
        // A quick drag skips pixels between events: the line joins them.
        m_doc.PaintTilePixels(m_tile, TilePixelTools::Line(m_last, at, list.width(), list.height()),
                              m_value);
    }
    m_last = at;
}

std::vector<Point> TileDrawing::Preview() const {
    return m_dragging ? Shape() : std::vector<Point>{};
}

std::vector<Point> TileDrawing::Shape() const {
    const TileList& list = m_doc.tiles().tiles();
    if (m_tool == PixelTool::Line)
        return TilePixelTools::Line(m_start, m_last, list.width(), list.height());
    if (m_tool == PixelTool::Rectangle)
        return TilePixelTools::Rectangle(m_start, m_last, false, list.width(), list.height());
    return {};
}

void TileDrawing::Release() {
    if (!m_dragging)
        return;
    m_dragging = false;
    if (m_tool == PixelTool::Pencil) {
        m_doc.EndStroke();
        return;
    }
    const TileList& list = m_doc.tiles().tiles();
    const uint8_t* pixels = list.PixelsAt(m_tile);
    if (!pixels)
        return;
    (void)m_doc.EditTilePixels(
        m_tile, TilePixelTools::Paint(pixels, list.width(), list.height(), Shape(), m_value),
        command::kEditTile);
}

std::optional<TilePixel> TileDrawing::UnderMapPixel(const Document& doc, Point pixel) {
    const MapModel& map = doc.map();
    const int32_t w = doc.tiles().tileWidth();
    const int32_t h = doc.tiles().tileHeight();
    if (!map.hasCells() || w <= 0 || h <= 0 || pixel.x < 0 || pixel.y < 0)
        return std::nullopt;
    const int32_t col = pixel.x / w;
    const int32_t row = pixel.y / h;
    if (col >= map.width() || row >= map.height())
        return std::nullopt;
    const Cell cell = map.cell(size_t(row) * size_t(map.width()) + size_t(col));
    if (cell.tile == kEmptyCell || cell.tile >= doc.tiles().count())
        return std::nullopt;
    Point at{pixel.x % w, pixel.y % h};
    // A flipped cell shows the tile mirrored: its pixel lies on the other side.
    if (cell.attr & cellbit::kHFlip)
        at.x = w - 1 - at.x;
    if (cell.attr & cellbit::kVFlip)
        at.y = h - 1 - at.y;
    return TilePixel{cell.tile, at};
}

} // namespace kesh
