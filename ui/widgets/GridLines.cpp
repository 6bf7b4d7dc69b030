#include "widgets/GridLines.h"

#include <algorithm>

#include <QImage>
#include <QPainter>

namespace kesh::ui {

void BakeGrid(QImage& cell) {
    if (cell.isNull()) {
        return;
    }
    auto* top = reinterpret_cast<QRgb*>(cell.scanLine(0));
    for (int x = 0; x < cell.width(); ++x) {
        top[x] = GridColour(x, 0);
    }
    for (int y = 1; y < cell.height(); ++y) {
        reinterpret_cast<QRgb*>(cell.scanLine(y))[0] = GridColour(0, y);
    }
}

void PaintGrid(QPainter& dc, const QRect& area, int cellWidth, int cellHeight) {
    if (cellWidth <= 0 || cellHeight <= 0 || area.isEmpty()) {
        return;
    }
    // A cell's top and left lines, drawn at every cell the area meets; the
    // clip keeps them inside the area.
    QImage top(cellWidth, 1, QImage::Format_RGB32);
    QImage left(1, cellHeight, QImage::Format_RGB32);
    for (int x = 0; x < cellWidth; ++x) {
        top.setPixel(x, 0, GridColour(x, 0));
    }
    for (int y = 0; y < cellHeight; ++y) {
        left.setPixel(0, y, GridColour(0, y));
    }
    dc.save();
    dc.setClipRect(area, Qt::IntersectClip);
    const int firstCol = area.left() / cellWidth;
    const int firstRow = area.top() / cellHeight;
    for (int row = firstRow; row * cellHeight <= area.bottom(); ++row) {
        for (int col = firstCol; col * cellWidth <= area.right(); ++col) {
            dc.drawImage(col * cellWidth, row * cellHeight, top);
            dc.drawImage(col * cellWidth, row * cellHeight, left);
        }
    }
    dc.restore();
}

} // namespace kesh::ui
