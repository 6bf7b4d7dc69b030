#include "map/GridLines.h"

#include <QBrush>
#include <QImage>
#include <QPainter>

namespace kesh::ui {

namespace {

constexpr QRgb kDark = 0xFF202020u;
constexpr QRgb kLight = 0xFFE0E0E0u;

// One period of the pattern; x + y repeats it every 8 pixels both ways.
const QBrush& GridBrush() {
    static const QBrush brush = [] {
        QImage image(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                image.setPixel(x, y, GridColour(x, y));
            }
        }
        return QBrush(image);
    }();
    return brush;
}

int FirstLine(int from, int size) {
    const int rest = from % size;
    return rest == 0 ? from : from + (rest > 0 ? size - rest : -rest);
}

} // namespace

QRgb GridColour(int x, int y) {
    return ((x + y) & 4) != 0 ? kLight : kDark;
}

void GridLine(QRgb* line, int y, int left, int width, int cellWidth, int cellHeight) {
    if (cellWidth <= 0 || cellHeight <= 0 || width <= 0) {
        return;
    }
    if (y % cellHeight == 0) {
        for (int i = 0; i < width; ++i) {
            line[i] = GridColour(left + i, y);
        }
        return;
    }
    for (int x = FirstLine(left, cellWidth); x < left + width; x += cellWidth) {
        line[x - left] = GridColour(x, y);
    }
}

void PaintGrid(QPainter& dc, const QRect& area, int cellWidth, int cellHeight) {
    if (cellWidth <= 0 || cellHeight <= 0 || area.isEmpty()) {
        return;
    }
    // The brush's pattern moves with the painter's transform: it stays
    // anchored at the logical origin, as GridColour is.
    const QPointF origin = dc.brushOrigin();
    dc.setBrushOrigin(0, 0);
    const QBrush& brush = GridBrush();
    for (int x = FirstLine(area.left(), cellWidth); x <= area.right(); x += cellWidth) {
        dc.fillRect(QRect(x, area.top(), 1, area.height()), brush);
    }
    for (int y = FirstLine(area.top(), cellHeight); y <= area.bottom(); y += cellHeight) {
        dc.fillRect(QRect(area.left(), y, area.width(), 1), brush);
    }
    dc.setBrushOrigin(origin);
}

} // namespace kesh::ui
