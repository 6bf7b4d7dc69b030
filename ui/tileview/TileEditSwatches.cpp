#include "tileview/TileEditSwatches.h"

#include <QMouseEvent>
#include <QPainter>

#include "tileview/CTileEditPanel.h"

namespace kesh::ui {

namespace {
constexpr int kPerLine = 16;
constexpr int kPitch = 14; // a swatch of 12 and a gap of 2
constexpr int kMargin = 4;
} // namespace

TileEditSwatches::TileEditSwatches(CTileEditPanel& panel, QWidget* parent)
    : QWidget(parent), m_panel(panel) {
    setObjectName(QStringLiteral("tileEditSwatches"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize TileEditSwatches::sizeHint() const {
    const int count = m_panel.swatches().count;
    const int lines = (count + kPerLine - 1) / kPerLine;
    return {2 * kMargin + kPerLine * kPitch, 2 * kMargin + lines * kPitch};
}

void TileEditSwatches::Relayout() {
    setFixedHeight(sizeHint().height());
    update();
}

QRect TileEditSwatches::SwatchRect(int value) const {
    return {kMargin + (value % kPerLine) * kPitch, kMargin + (value / kPerLine) * kPitch,
            kPitch - 2, kPitch - 2};
}

int TileEditSwatches::SwatchAt(QPoint pos) const {
    if (pos.x() < kMargin || pos.y() < kMargin)
        return -1;
    const int col = (pos.x() - kMargin) / kPitch;
    const int value = (pos.y() - kMargin) / kPitch * kPerLine + col;
    return col < kPerLine && value < m_panel.swatches().count ? value : -1;
}

void TileEditSwatches::paintEvent(QPaintEvent*) {
    QPainter dc(this);
    for (int v = 0; v < m_panel.swatches().count; ++v)
        dc.fillRect(SwatchRect(v), QColor::fromRgb(m_panel.ShownColour(v)));
    const QRect chosen = SwatchRect(m_panel.colour()).adjusted(-2, -2, 1, 1);
    dc.setPen(QPen(palette().color(QPalette::Highlight), 2));
    dc.drawRect(chosen);
}

void TileEditSwatches::mousePressEvent(QMouseEvent* event) {
    const int value = SwatchAt(event->position().toPoint());
    if (value >= 0)
        m_panel.SetColour(uint8_t(value));
    event->accept();
}

} // namespace kesh::ui
