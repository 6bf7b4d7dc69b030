#pragma once

#include <cstdint>
#include <optional>

#include <QPoint>
#include <QTimer>

#include "doc/Document.h"
#include "doc/DocumentListener.h"
#include "edit/MapEditor.h"
#include "edit/MapGeometry.h"
#include "edit/MapViewState.h"
#include "edit/Zoom.h"
#include "map/MapModel.h"
#include "mapview/MapStripPainter.h"
#include "mapview/MapTool.h"
#include "mapview/ZoomedMapPainter.h"
#include "tileview/TilePainter.h"
#include "widgets/CScrollView.h"

class QPainter;

class QLabel;

namespace kesh::ui {

// The map view, the left pane of the main window. Shows the document's map
// (cells, layout) with its own current cell and selection, and draws it, each
// cell through the shared TilePainter; its edits go to the document as
// requests (MapEditor). Construction and drawing are in CKeshView.cpp, mouse
// and keyboard editing in CKeshViewInput.cpp; the map file procedures are
// the frame's.
class CKeshView : public CScrollView, private DocumentListener {
    Q_OBJECT
public:
    CKeshView(Document& doc, TilePainter& tiles, QWidget* parent = nullptr);
    ~CKeshView() override;

    Document& document() { return m_doc; }
    const MapModel& map() const { return m_map; }
    // The current cell, selection and copy source, on the document's grid.
    MapViewState& viewState() { return m_editor.state(); }
    // What draws the tiles, shared with the tile set view.
    TilePainter& tilePainter() { return m_tiles; }

    // Sets the map's pixel size from the tile size and the scroll range from
    // that. Done before every drawing.
    void OnPrepareDC() override;
    // Draws the visible part of the map, in map pixels, where it meets `clip`.
    void OnDraw(QPainter& dc, const QRect& clip) override;
    // Where the cells drawn in strips cover the clip.
    QRect OpaqueArea(QPainter& dc, const QRect& clip) override;

    // The cell under client point `pt`, the nearest edge cell for a point
    // outside the map; `pt` is snapped to that cell's client corner. With
    // `pPrev`, it gets the old current cell's client corner and the hit cell
    // becomes current. -1 without a tile size or cells.
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
    // 선택 영역 좌우/상하 뒤집기.
    void FlipRegion(bool horizontal);
    // 셀 속성 보기: a marker per set priority or user bit on each cell.
    void SetCellAttrsShown(bool shown);
    bool cellAttrsShown() const { return m_bCellAttrs; }

    // Zoom, grid, paint tool and pointer readout (CKeshViewZoom.cpp).
    // The zoom step (map/Zoom.h); kZoomActual shows one map pixel per screen pixel.
    int zoomStep() const { return m_zoomStep; }
    // Zooms to `step`, keeping the map point under client point `anchor` (the
    // middle of the view without one) in place. Refused while a paint or
    // selection drag runs, whose anchor is in pixels of the present zoom.
    void SetZoom(int step, std::optional<QPoint> anchor = std::nullopt);
    // The size of a cell on screen at the present zoom.
    int32_t cellWidth() const;
    int32_t cellHeight() const;
    // The whole map's size in pixels at 1x (printing), as OnPrepareDC makes
    // it at 1x.
    QSize ActualPixelSize() const;
    // The grid of cell borders over the map (where cells are 4 pixels or more).
    bool gridShown() const { return m_bGrid; }
    void SetGrid(bool shown);
    // While on, a plain left click or drag paints (as with Shift held) and
    // Alt with the left button selects.
    bool paintTool() const { return m_bPaintTool; }
    void SetPaintTool(bool on) { m_bPaintTool = on; }
    // A tool that takes the left button instead of the cell editing, or
    // none. The view does not own it.
    MapTool* tool() const { return m_tool; }
    void SetTool(MapTool* tool);
    // The map pixel and cell under client point `client` (MapTool.h).
    MapToolPoint ToolPoint(QPoint client, Qt::KeyboardModifiers modifiers) const;
    // The status bar's pointer pane: the cell under the pointer and its tile,
    // and the size of a selection being dragged; empty off the map.
    QString pointerReadout() const { return m_readout; }

signals:
    void zoomChanged(int step);
    void readoutChanged(const QString& text);
    // A click on the map (a double click) made the cell's tile the current one.
    void currentTilePicked(int tile);
    // SetTool took `tool` (null: the cell editing again).
    void toolChanged(MapTool* tool);

protected:
    // Editing (CKeshViewInput.cpp).
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Ctrl+wheel zooms around the pointer; the plain wheel scrolls.
    void wheelEvent(QWheelEvent* event) override;
    // The pointer leaving the view empties the readout.
    bool viewportEvent(QEvent* event) override;

private:
    // Repaints what a change of the document shows here.
    void DocumentChanged(uint32_t changes) override;
    // The repeating timer's tick (CKeshViewInput.cpp).
    void OnTimer(int id);

    // What the editor needs to know of the view and the tile set now: the
    // cell's size on screen, so the editing counts in cells at any zoom, and
    // the document's current tile.
    Viewport CurrentViewport() const;
    TileContext CurrentTile() const;
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
    // Sets the readout from the pointer's last position and the drag.
    void UpdateReadout();
    // X or Y: flips the brush (Document::SetBrushAttr); false for any other key.
    bool FlipBrush(const QKeyEvent* event);
    // The map keeps its selection in pixels of cells at 1x, as the rest of
    // the program knows it; the editor works in pixels on screen. While a
    // ScreenSelection lives, the selection is in those (CKeshViewZoom.cpp).
    class ScreenSelection {
    public:
        explicit ScreenSelection(CKeshView& view);
        ~ScreenSelection();
        ScreenSelection(const ScreenSelection&) = delete;
        ScreenSelection& operator=(const ScreenSelection&) = delete;

    private:
        CKeshView& m_view;
        bool m_converted = false;
    };
    // The selection in pixels on screen (map pixels at 1x).
    Rect SelectionOnScreen() const;

    Document& m_doc;
    const MapModel& m_map;
    TilePainter& m_tiles;
    MapEditor m_editor{m_doc};
    MapStripPainter m_strips;
    ZoomedMapPainter m_zoomed;
    int m_zoomStep = kZoomActual;
    int m_wheelPending = 0; // Ctrl+wheel turned less than a notch
    bool m_bGrid = false;
    bool m_bCellAttrs = false;
    QLabel* m_legend = nullptr; // 셀 속성 보기's colours, over the top-left corner
    void UpdateLegend();
    bool m_bPaintTool = false;
    MapTool* m_tool = nullptr;
    bool m_bToolStroke = false; // the tool took the left button's press
    QString m_readout;
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
