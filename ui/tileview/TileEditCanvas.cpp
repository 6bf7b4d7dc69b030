#include "tileview/TileEditCanvas.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>

#include "tileview/CTileEditPanel.h"

namespace kesh::ui {

namespace {
constexpr int kMargin = 4;
constexpr int kGridFrom = 4; // pixels of at least this size get grid lines
} // namespace

TileEditCanvas::TileEditCanvas(CTileEditPanel& panel, QWidget* parent)
    : QWidget(parent), m_panel(panel) {
    setObjectName(QStringLiteral("tileEditCanvas"));
    setMinimumSize(96, 96);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // Moves come without a button too; only a drag under way uses them.
    setMouseTracking(true);
}

int TileEditCanvas::scale() const {
    const int w = m_panel.tileWidth();
    const int h = m_panel.tileHeight();
    if (w <= 0 || h <= 0)
        return 1;
    return std::max(1, std::min((width() - 2 * kMargin) / w, (height() - 2 * kMargin) / h));
}

QRect TileEditCanvas::TileRect() const {
    const int s = scale();
    const QSize size(m_panel.tileWidth() * s, m_panel.tileHeight() * s);
    return {QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size};
}

QRect TileEditCanvas::PixelRect(int x, int y) const {
    const int s = scale();
    return {TileRect().topLeft() + QPoint(x * s, y * s), QSize(s, s)};
}

std::optional<Point> TileEditCanvas::PixelAt(QPoint pos) const {
    const QRect tile = TileRect();
    if (m_panel.tileWidth() <= 0 || !tile.contains(pos))
        return std::nullopt;
    const int s = scale();
    return Point{(pos.x() - tile.left()) / s, (pos.y() - tile.top()) / s};
}

Point TileEditCanvas::ClampedPixel(QPoint pos) const {
    const QRect tile = TileRect();
    const int s = scale();
    const auto floorDiv = [s](int a) { return a >= 0 ? a / s : -((-a + s - 1) / s); };
    return {std::clamp(floorDiv(pos.x() - tile.left()), 0, std::max(0, m_panel.tileWidth() - 1)),
            std::clamp(floorDiv(pos.y() - tile.top()), 0, std::max(0, m_panel.tileHeight() - 1))};
}

void TileEditCanvas::paintEvent(QPaintEvent*) {
    QPainter dc(this);
    dc.fillRect(rect(), palette().window());
    const int w = m_panel.tileWidth();
    const int h = m_panel.tileHeight();
    const uint8_t* pixels = m_panel.tilePixels();
    if (!pixels || w <= 0 || h <= 0)
        return;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            dc.fillRect(PixelRect(x, y), QColor::fromRgb(m_panel.ShownColour(pixels[y * w + x])));
    // The line or rectangle being dragged, in the colour it will have.
    const QColor drawn = QColor::fromRgb(m_panel.ShownColour(m_panel.colour()));
    for (const Point& p : m_panel.drawing().Preview())
        dc.fillRect(PixelRect(p.x, p.y), drawn);
    const QRect tile = TileRect();
    const int s = scale();
    if (s >= kGridFrom) {
        dc.setPen(QColor(128, 128, 128, 160));
        for (int x = 1; x < w; ++x)
            dc.drawLine(tile.left() + x * s, tile.top(), tile.left() + x * s, tile.bottom());
        for (int y = 1; y < h; ++y)
            dc.drawLine(tile.left(), tile.top() + y * s, tile.right(), tile.top() + y * s);
    }
    dc.setPen(palette().color(QPalette::WindowText));
    dc.drawRect(tile.adjusted(-1, -1, 0, 0));
}

void TileEditCanvas::mousePressEvent(QMouseEvent* event) {
    const std::optional<Point> at = PixelAt(event->position().toPoint());
    if (!at) {
        event->ignore();
        return;
    }
    if (event->button() == Qt::LeftButton)
        m_panel.PressPixel(*at, m_panel.tool());
    else if (event->button() == Qt::RightButton)
        m_panel.PressPixel(*at, PixelTool::Picker);
    update();
    event->accept();
}

void TileEditCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (m_panel.drawing().dragging()) {
        m_panel.drawing().Move(ClampedPixel(event->position().toPoint()));
        update();
    }
    event->accept();
}

void TileEditCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_panel.drawing().dragging()) {
        m_panel.drawing().Move(ClampedPixel(event->position().toPoint()));
        m_panel.ReleasePixel();
        update();
    }
    event->accept();
}

} // namespace kesh::ui
