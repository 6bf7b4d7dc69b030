#pragma once

#include <cstdint>

#include <QPoint>
#include <QTimer>

#include "doc/Document.h"
#include "doc/DocumentListener.h"
#include "map/MapEditor.h"
#include "map/MapGeometry.h"
#include "map/MapModel.h"
#include "mapview/MapStripPainter.h"
#include "widgets/CScrollView.h"

class QPainter;

namespace kesh::ui {

class CTile1View;

// The map view, the left pane of the main window. Shows the document's map
// (cells, layout, current cell, selection) and draws it, each cell through
// the tile set view's DrawTile; its edits go to the document as steps. Construction and drawing are
// in CKeshView.cpp, mouse and keyboard editing in CKeshViewInput.cpp; the map file procedures are
// the frame's (MapProcedures on this view's map).
class CKeshView : public CScrollView, private DocumentListener {
    Q_OBJECT
public:
    explicit CKeshView(Document& doc, QWidget* parent = nullptr);
    ~CKeshView() override;

    Document& document() { return m_doc; }
    MapModel& map() { return m_map; }
    const MapModel& map() const { return m_map; }

    // The tile set view (pane 0, 1 of the main splitter), or null.
    static CTile1View* TileView();

    // Sets the map's pixel size from the tile size and the scroll range from
    // that; both are 0 without a tile set view. Done before every drawing.
    void OnPrepareDC() override;
    // Draws the visible part of the map, in map pixels, where it meets `clip`.
    void OnDraw(QPainter& dc, const QRect& clip) override;
    // Where the cells drawn in strips cover the clip.
    QRect OpaqueArea(QPainter& dc, const QRect& clip) override;

    // The cell under client point `pt`, the nearest edge cell for a point
    // outside the map; `pt` is snapped to that cell's client corner. With
    // `pPrev`, it gets the old current cell's client corner and the hit cell
    // becomes current. -1 without a tile set view or cells.
    int HitTestCell(QPoint& pt, QPoint* pPrev = nullptr);

    int32_t pixelWidth() const { return m_nPixelWidth; }
    int32_t pixelHeight() const { return m_nPixelHeight; }
    // The drag timer's id (1) and whether it runs: only during a paint or
    // selection drag, with the mouse or with Enter.
    int timerId() const { return m_nTimer; }
    bool timerRunning() const { return m_timer.isActive(); }
    // DragNone, DragPaint, DragSelect or DragPan (map/MapEditor.h).
    int dragMode() const { return m_editor.dragMode(); }

    // The region commands of the edit menu; each repaints what it changed.
    // Remembers where the selection is as the source of the next paste.
    void RememberRegion();
    // Copies the remembered region to the current cell as its top-left corner.
    void PasteRegion();
    // Sets every selected cell to the current tile.
    void FillRegion();

protected:
    // Editing (CKeshViewInput.cpp).
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Repaints what a change of the document shows here.
    void DocumentChanged(uint32_t changes) override;
    // The repeating timer's tick (CKeshViewInput.cpp).
    void OnTimer(int id);

    // What the editor needs to know of the view and the tile set now. The
    // tile size is 0 x 0 without a tile set view: every edit then does nothing.
    Viewport CurrentViewport() const;
    static TileContext CurrentTile();
    InputState CurrentKeys(Qt::KeyboardModifiers modifiers) const;
    // Where the pointer is, in client pixels, as of the last mouse event.
    QPoint PointerClient() const;
    // Notes the pointer and the left button from a mouse event.
    void TrackPointer(const QMouseEvent* event);
    // Scrolls, repaints and picks a tile as an edit asks, then grabs or
    // releases the mouse to match the drag state.
    void Apply(const MapUpdate& update);
    void SyncCapture();
    // Starts or stops the drag timer to match the drag state.
    void SyncTimer();
    // The cells OnDraw draws for `clip` with tiles of w x h.
    CellRange CellsToDraw(const QRect& clip, int32_t w, int32_t h) const;

    Document& m_doc;
    MapModel& m_map;
    MapEditor m_editor{m_map};
    MapStripPainter m_strips;
    int32_t m_nPixelHeight = 0;
    int32_t m_nPixelWidth = 0;
    QTimer m_timer;
    int m_nTimer = 1;
    // Qt reports no key or button state outside events, so the view keeps
    // what it needs: whether Enter and the left button are down, and the
    // pointer's last screen position.
    bool m_bEnterDown = false;
    bool m_bLeftDown = false;
    QPoint m_ptPointer;
};

} // namespace kesh::ui
