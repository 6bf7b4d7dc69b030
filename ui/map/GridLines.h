#pragma once

#include <QRect>
#include <QRgb>

class QPainter;

namespace kesh::ui {

// The grid drawn over the map's cells and the tile set's tiles: a line of one
// pixel along the top and the left edge of every cell, in dashes of four
// pixels that alternate dark and light, so that it shows on any palette. The
// dash pattern runs diagonally in logical pixels, so that every way of
// drawing it (whole lines of a composed image or fills through a painter)
// gives the same pixels.
QRgb GridColour(int x, int y);

// Draws the grid lines of cells of cellWidth x cellHeight (from logical
// (0, 0)) that lie in pixel line `y` from x = `left` over `width` pixels into
// `line`, an RGB32 or premultiplied ARGB32 scan line whose first pixel is x = `left`.
void GridLine(QRgb* line, int y, int left, int width, int cellWidth, int cellHeight);

// The same lines where they meet `area` (logical pixels), through `dc`.
void PaintGrid(QPainter& dc, const QRect& area, int cellWidth, int cellHeight);

} // namespace kesh::ui
