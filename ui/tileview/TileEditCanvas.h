#pragma once

#include <optional>

#include <QWidget>

#include "map/MapModel.h"

namespace kesh::ui {

class CTileEditPanel;

// The current tile enlarged in the 타일 편집 panel: each pixel a square of a
// whole number of screen pixels, as large as the area allows, with grid
// lines between the pixels once they are big enough. The left button draws
// with the panel's tool; the right button picks the colour under it.
class TileEditCanvas : public QWidget {
public:
    explicit TileEditCanvas(CTileEditPanel& panel, QWidget* parent = nullptr);

    // Screen pixels per tile pixel, at least 1.
    int scale() const;
    // Where the tile is drawn, centred.
    QRect TileRect() const;
    // The square of tile pixel (x, y).
    QRect PixelRect(int x, int y) const;
    // The tile pixel under `pos`, none off the tile.
    std::optional<Point> PixelAt(QPoint pos) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The tile pixel under `pos`, kept inside the tile (a drag may leave it).
    Point ClampedPixel(QPoint pos) const;

    CTileEditPanel& m_panel;
};

} // namespace kesh::ui
