#include "widgets/EdgePainting.h"

#include <QBrush>
#include <QColor>
#include <QPainter>

namespace kesh::ui {

namespace {

// One ring of a raised frame: `light` along the top and left, `dark` along
// the bottom and right (the dark sides own the top-right and bottom-left corners).
void DrawRing(QPainter& painter, int left, int top, int right, int bottom, const QColor& light,
              const QColor& dark) {
    const int width = right - left;
    const int height = bottom - top;
    if (width <= 0 || height <= 0) {
        return;
    }
    painter.fillRect(left, top, width - 1, 1, light);
    painter.fillRect(left, top, 1, height - 1, light);
    painter.fillRect(left, bottom - 1, width, 1, dark);
    painter.fillRect(right - 1, top, 1, height, dark);
}

} // namespace

void DrawRaisedEdge(QPainter& painter, int left, int top, int right, int bottom) {
    static const QColor kOuterLight(227, 227, 227);
    static const QColor kOuterDark(105, 105, 105);
    static const QColor kInnerLight(255, 255, 255);
    static const QColor kInnerDark(160, 160, 160);
    DrawRing(painter, left, top, right, bottom, kOuterLight, kOuterDark);
    DrawRing(painter, left + 1, top + 1, right - 1, bottom - 1, kInnerLight, kInnerDark);
}

void DrawFocusRect(QPainter& painter, int left, int top, int right, int bottom) {
    const int width = right - left;
    const int height = bottom - top;
    if (width <= 0 || height <= 0) {
        return;
    }
    painter.save();
    // A checkerboard of white pixels XORed onto the picture: every other pixel inverted.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setBrushOrigin(0, 0);
    const QBrush dots(Qt::white, Qt::Dense4Pattern);
    painter.fillRect(left, top, width, 1, dots);
    if (height > 1) {
        painter.fillRect(left, bottom - 1, width, 1, dots);
    }
    if (height > 2) {
        painter.fillRect(left, top + 1, 1, height - 2, dots);
        if (width > 1) {
            painter.fillRect(right - 1, top + 1, 1, height - 2, dots);
        }
    }
    painter.restore();
}

} // namespace kesh::ui
