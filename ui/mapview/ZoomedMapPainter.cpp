#include "mapview/ZoomedMapPainter.h"

#include <algorithm>
#include <cstring>

#include <QPainter>

#include "map/MapModel.h"
#include "mapview/PaintTarget.h"
#include "tileview/TilePainter.h"

namespace kesh::ui {

QRect ZoomedMapPainter::Covered(QPainter& dc, const QRect& clip, const CellRange& cells,
                                int cellWidth, int cellHeight) {
    // On a screen of more than one device pixel a pixel, the frame is
    // enlarged as a whole: still one drawing, never one a cell.
    if (cellWidth <= 0 || cellHeight <= 0 || dc.transform().type() > QTransform::TxTranslate ||
        cells.firstCol >= cells.endCol || cells.firstRow >= cells.endRow) {
        return {};
    }
    return clip.intersected(QRect(cells.firstCol * cellWidth, cells.firstRow * cellHeight,
                                  (cells.endCol - cells.firstCol) * cellWidth,
                                  (cells.endRow - cells.firstRow) * cellHeight));
}

void ZoomedMapPainter::ComposeOnePixelCells(const MapModel& map, TilePainter& tiles,
                                            const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uint16_t* cells = map.cells().data() + size_t(y) * size_t(map.width());
        auto* out = reinterpret_cast<QRgb*>(m_frame.scanLine(y - area.top()));
        if (map.hasAttrs()) {
            const uint16_t* attrs = map.attrs().data() + size_t(y) * size_t(map.width());
            for (int x = area.left(); x <= area.right(); ++x) {
                *out++ = m_scaled.Colour(tiles, cells[x], attrs[x]);
            }
            continue;
        }
        for (int x = area.left(); x <= area.right(); ++x) {
            *out++ = m_scaled.Colour(tiles, cells[x]);
        }
    }
}

void ZoomedMapPainter::ComposeCells(const MapModel& map, TilePainter& tiles, const QRect& area,
                                    int w, int h) {
    const int32_t colFrom = area.left() / w;
    const int32_t colTo = area.right() / w + 1;
    const size_t n = size_t(colTo - colFrom);
    m_rowTiles.resize(n);
    m_rowStrides.resize(n);
    // The first and last cells may be cut by the clip.
    const int from = area.left() - colFrom * w;
    const int to = area.right() - (colTo - 1) * w + 1;
    for (int32_t row = area.top() / h; row <= area.bottom() / h; ++row) {
        const uint16_t* cells = map.cells().data() + size_t(row) * size_t(map.width());
        const uint16_t* attrs =
            map.hasAttrs() ? map.attrs().data() + size_t(row) * size_t(map.width()) : nullptr;
        for (int32_t col = colFrom; col < colTo; ++col) {
            const QImage& image = attrs ? m_scaled.Image(tiles, cells[col], attrs[col])
                                        : m_scaled.Image(tiles, cells[col]);
            m_rowTiles[size_t(col - colFrom)] = reinterpret_cast<const QRgb*>(image.constBits());
            m_rowStrides[size_t(col - colFrom)] = image.bytesPerLine() / qsizetype(sizeof(QRgb));
        }
        const int top = std::max(row * h, area.top());
        const int bottom = std::min(row * h + h - 1, area.bottom());
        for (int y = top; y <= bottom; ++y) {
            const int ty = y - row * h;
            auto* out = reinterpret_cast<QRgb*>(m_frame.scanLine(y - area.top()));
            if (n == 1) {
                std::memcpy(out, m_rowTiles[0] + ty * m_rowStrides[0] + from,
                            size_t(to - from) * sizeof(QRgb));
                continue;
            }
            std::memcpy(out, m_rowTiles[0] + ty * m_rowStrides[0] + from,
                        size_t(w - from) * sizeof(QRgb));
            out += w - from;
            for (size_t i = 1; i + 1 < n; ++i, out += w) {
                std::memcpy(out, m_rowTiles[i] + ty * m_rowStrides[i], size_t(w) * sizeof(QRgb));
            }
            std::memcpy(out, m_rowTiles[n - 1] + ty * m_rowStrides[n - 1],
                        size_t(to) * sizeof(QRgb));
        }
    }
}

bool ZoomedMapPainter::Draw(QPainter& dc, const MapModel& map, TilePainter& tiles,
                            const QRect& clip, const CellRange& cells, int cellWidth,
                            int cellHeight, bool grid) {
    const QRect area = Covered(dc, clip, cells, cellWidth, cellHeight);
    if (area.isEmpty()) {
        return false;
    }
    const QImage::Format format = OpaqueCopyFormat(dc);
    if (m_frame.width() < area.width() || m_frame.height() < area.height() ||
        m_frame.format() != format) {
        m_frame = QImage(std::max(area.width(), m_frame.width()),
                         std::max(area.height(), m_frame.height()), format);
    }
    m_scaled.Sync(tiles, cellWidth, cellHeight, grid, map.format().cells.coloursPerPalette);
    if (cellWidth == 1 && cellHeight == 1) {
        ComposeOnePixelCells(map, tiles, area);
    } else {
        ComposeCells(map, tiles, area, cellWidth, cellHeight);
    }
    const QPainter::CompositionMode mode = dc.compositionMode();
    dc.setCompositionMode(QPainter::CompositionMode_Source);
    dc.drawImage(area.topLeft(), m_frame, QRect(0, 0, area.width(), area.height()));
    dc.setCompositionMode(mode);
    return true;
}

} // namespace kesh::ui
