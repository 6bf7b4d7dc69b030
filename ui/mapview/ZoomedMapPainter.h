#pragma once

#include <cstdint>
#include <vector>

#include <QImage>
#include <QRect>

#include "edit/MapGeometry.h"
#include "mapview/ScaledTileCache.h"

class QPainter;

namespace kesh {
class MapModel;
}

namespace kesh::ui {

class TilePainter;

// Draws the map zoomed in or out: the cells that meet the clip are composed
// into one image from the tiles scaled to the cell size (ScaledTileCache),
// a pixel per cell from the tiles' average colours when cells are one pixel,
// and drawn with a single drawImage. The cost follows the pixels on screen,
// never the number of cells.
class ZoomedMapPainter {
public:
    // Draws `cells` where they meet `clip` (zoomed map pixels) with cells of
    // cellWidth x cellHeight, and the grid over them when `grid` is set.
    // False, with nothing drawn, where no cell meets the clip or the painter
    // does more than move.
    bool Draw(QPainter& dc, const MapModel& map, TilePainter& tiles, const QRect& clip,
              const CellRange& cells, int cellWidth, int cellHeight, bool grid);
    // The pixels Draw covers with the same arguments.
    static QRect Covered(QPainter& dc, const QRect& clip, const CellRange& cells, int cellWidth,
                         int cellHeight);

private:
    void ComposeOnePixelCells(const MapModel& map, TilePainter& tiles, const QRect& area);
    void ComposeCells(const MapModel& map, TilePainter& tiles, const QRect& area, int cellWidth,
                      int cellHeight);

    ScaledTileCache m_scaled;
    QImage m_frame;
    std::vector<const QRgb*> m_rowTiles; // per cell of a row: its image's first pixel
    std::vector<qsizetype> m_rowStrides; // in pixels
};

} // namespace kesh::ui
