#include "tileview/TilePainter.h"

#include <QPainter>

namespace kesh::ui {

int TilePainter::DrawTile(QPainter& dc, int number, int x, int y, int width, int height) {
    return DrawCell(dc, number, 0, 16, x, y, width, height);
}

int TilePainter::DrawCell(QPainter& dc, int number, uint16_t attr, int coloursPerPalette, int x,
                          int y, int width, int height) {
    if (width < 0) {
        width = tileWidth();
    }
    if (height < 0) {
        height = tileHeight();
    }
    const QImage* image = m_images.CellImage(m_tiles, number, attr, coloursPerPalette);
    if (!image || image->isNull()) {
        dc.fillRect(x + width / 2 - 1, y + height / 2 - 1, 2, 2, Qt::white);
        return 0;
    }
    if (width == image->width() && height == image->height()) {
        dc.drawImage(x, y, *image);
    } else {
        dc.drawImage(QRect(x, y, width, height), *image);
    }
    return 1;
}

} // namespace kesh::ui
