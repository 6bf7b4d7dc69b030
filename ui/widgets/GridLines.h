#pragma once

#include <QRect>
#include <QRgb>

class QImage;
class QPainter;

namespace kesh::ui {

// The grid drawn over the map's cells and the tile set's tiles: a line of one
// pixel along the top and the left edge of every cell, in dashes of four
// pixels that alternate dark and light, so that it shows on any palette.
// Every cell has the same dashes, counted from its own top-left corner, so
// the grid can be drawn into the cells' pictures once instead of at every
// repaint.

// The grid's colour at (x, y) inside a cell, where x or y is 0.
inline QRgb GridColour(int x, int y) {
    return ((x + y) & 4) != 0 ? 0xFFE0E0E0u : 0xFF202020u;
}

// Draws the grid into a cell's picture (RGB32 or premultiplied ARGB32).
void BakeGrid(QImage& cell);

// Draws the grid of cells of cellWidth x cellHeight (from logical (0, 0))
// where it meets `area` (logical pixels), through `dc`.
void PaintGrid(QPainter& dc, const QRect& area, int cellWidth, int cellHeight);

} // namespace kesh::ui
