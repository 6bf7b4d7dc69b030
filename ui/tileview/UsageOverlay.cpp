#include "tileview/UsageOverlay.h"

#include <algorithm>

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace kesh::ui::usage {

QString Figure(uint64_t count) {
    if (count < 10000) {
        return QString::number(count);
    }
    if (count < 1000000) {
        return QString::number(count / 1000) + QLatin1Char('k');
    }
    return QString::number(count / 1000000) + QLatin1Char('M');
}

void Paint(QPainter& dc, int x, int y, int width, int height, uint64_t count) {
    dc.save();
    if (count == 0) {
        dc.fillRect(x, y, width, height, QColor(0, 0, 0, 140));
        const int side = std::max(4, std::min(width, height) / 3);
        const QPoint corner[] = {{x + width - side, y}, {x + width, y}, {x + width, y + side}};
        dc.setPen(Qt::NoPen);
        dc.setBrush(QColor::fromRgba(kUnusedCorner));
        dc.drawPolygon(corner, 3);
    }
    // Too small a tile for a legible figure keeps only the mark of the unused.
    if (height >= 12 && width >= 12) {
        QFont font = dc.font();
        font.setPixelSize(std::clamp(height / 3, 8, 12));
        dc.setFont(font);
        const QString text = Figure(count);
        const QFontMetrics metrics(font);
        const int w = std::min(metrics.horizontalAdvance(text) + 3, width);
        const int h = std::min(metrics.height(), height);
        const QRect box(x + width - w, y + height - h, w, h);
        dc.fillRect(box, QColor(0, 0, 0, 170));
        dc.setPen(count == 0 ? QColor(255, 120, 120) : QColor(Qt::white));
        dc.drawText(box, Qt::AlignCenter, text);
    }
    dc.restore();
}

} // namespace kesh::ui::usage
