#pragma once

#include <QWidget>

namespace kesh::ui {

class CTileEditPanel;

// The colours of the 타일 편집 panel, 16 to a line, the one drawn with
// framed; a click chooses one.
class TileEditSwatches : public QWidget {
public:
    explicit TileEditSwatches(CTileEditPanel& panel, QWidget* parent = nullptr);

    // Where swatch `value` lies.
    QRect SwatchRect(int value) const;
    // The swatch at `pos`, or -1.
    int SwatchAt(QPoint pos) const;
    // Sets the height for the panel's colour count.
    void Relayout();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    CTileEditPanel& m_panel;
};

} // namespace kesh::ui
