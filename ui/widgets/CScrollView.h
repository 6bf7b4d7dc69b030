#pragma once

#include <cstdint>

#include <QAbstractScrollArea>
#include <QPoint>
#include <QSize>

class QPainter;

namespace kesh::ui {

// A view that shows part of a larger area, in logical pixels, from its
// scroll position. Every repaint fills what it covers black, lets the view
// lay itself out and set its scroll range (OnPrepareDC), then has it draw in
// logical pixels (OnDraw). The views have no frame and take the focus from
// clicks and Tab.
class CScrollView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit CScrollView(QWidget* parent = nullptr);
    ~CScrollView() override;

    // Brings the layout and the scroll range up to date; done before every drawing.
    virtual void OnPrepareDC() = 0;
    // Draws what meets `clip`; both the painter and `clip` are in logical pixels.
    virtual void OnDraw(QPainter& dc, const QRect& clip) = 0;
    // The part of `clip` that OnDraw will cover entirely with opaque pixels,
    // so the black fill before it can leave that part out; none by default.
    virtual QRect OpaqueArea(QPainter& dc, const QRect& clip);

    // The logical point at the client's top-left corner.
    QPoint GetScrollPosition() const;
    // Scrolls so that logical point `pos` is at the top-left corner, within the range.
    void ScrollToPosition(QPoint pos);

protected:
    // The area's logical size, and how far one step of a scroll bar arrow
    // goes (at least 1); a page is the client size.
    void SetScrollSizes(QSize total, QSize line);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    QSize minimumSizeHint() const override { return {0, 0}; }
};

} // namespace kesh::ui
