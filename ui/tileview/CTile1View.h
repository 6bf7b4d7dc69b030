#pragma once

#include <cstdint>

#include "doc/Document.h"
#include "doc/DocumentListener.h"
#include "tileset/TileSet.h"
#include "tileview/TilePainter.h"
#include "tileview/TileUsageCache.h"
#include "widgets/CScrollView.h"

class QPainter;

namespace kesh::ui {

// The tile set view, the right pane of the main window. Shows the
// document's tiles as a grid that wraps to the view's width, with a frame
// around the document's current tile; a click or an arrow key asks the
// document to make another tile current. Tiles are drawn by the shared
// TilePainter.
class CTile1View : public CScrollView, private DocumentListener {
    Q_OBJECT
public:
    CTile1View(Document& doc, TilePainter& tiles, QWidget* parent = nullptr);
    ~CTile1View() override;

    Document& document() { return m_doc; }
    const TileSet& tileSet() const { return m_tileSet; }
    TilePainter& tilePainter() { return m_tiles; }
    int32_t tileWidth() const { return m_tileSet.tileWidth(); }
    int32_t tileHeight() const { return m_tileSet.tileHeight(); }
    int GetTileCount() const { return m_tileSet.count(); }
    int32_t current() const { return m_doc.currentTile(); }

    // Draws tile `number` as the shared TilePainter does.
    int DrawTile(QPainter& dc, int number, int x, int y, int width = -1, int height = -1) {
        return m_tiles.DrawTile(dc, number, x, y, width, height);
    }

    // Asks the document to make `number` current (a tile picked from the
    // map). A number that is already current or names no tile changes nothing.
    void SelectTile(int number);

    // Lays the grid out for the present width and sets the scroll range.
    void OnPrepareDC() override;
    // Draws the grid (in logical pixels) where it meets `clip`.
    void OnDraw(QPainter& dc, const QRect& clip) override;

    // The tile at client point `pt`, or -1; a hit tile becomes current.
    int HitTest(QPoint pt);
    // The tile at client point `pt`, or -1, changing nothing.
    int TileAt(QPoint pt) const;
    // What hovering tile `number` shows: "타일 n" and, with a map, how many
    // cells use it.
    QString TileTip(int number);

    // The view's own zoom step (map/Zoom.h) and the size of a tile on screen
    // at it: the layout, the hit tests and the keys count in these.
    int zoomStep() const { return m_zoomStep; }
    // A zoom set here (Ctrl+wheel, the one kept from the last run) is the
    // user's: from then on it no longer follows the tile size.
    void SetZoom(int step);
    // The zoom a set of `tileWidth` x `tileHeight` tiles starts at: 2x for
    // tiles of 16 pixels or less, else 1x.
    static int StartZoomFor(int32_t tileWidth, int32_t tileHeight);
    // Until the user sets a zoom, takes the one the present tile size starts at.
    void FollowTileSize();
    bool zoomChosen() const { return m_zoomChosen; }
    int32_t cellWidth() const;
    int32_t cellHeight() const;
    // While one lives, the view is laid out at 1x (printing); nothing is
    // repainted or scrolled, and the zoom comes back with the scroll position.
    class ActualSizeLayout {
    public:
        explicit ActualSizeLayout(CTile1View& view);
        ~ActualSizeLayout();
        ActualSizeLayout(const ActualSizeLayout&) = delete;
        ActualSizeLayout& operator=(const ActualSizeLayout&) = delete;

    private:
        CTile1View& m_view;
        int m_step;
        QPoint m_scroll;
    };
    // Borders around every tile (GridLines.h).
    bool gridShown() const { return m_bGrid; }
    void SetGrid(bool shown);

    int32_t tilesPerRow() const { return m_tilesPerRow; }
    int32_t scrollHeight() const { return m_scrollHeight; }

    // Usage and reordering (CTile1ViewUsage.cpp). "사용 횟수 보기": each tile
    // shows how many cells show it, unused tiles dimmed (UsageOverlay.h).
    bool usageShown() const { return m_usageShown; }
    void SetUsageShown(bool shown);
    TileUsageCache& usage() { return m_usage; }
    // The status bar's words for hovering tile `number`: "타일 N: M번 사용".
    QString UsageText(int number);
    // While a tile is dragged: the number it would take if dropped now, else -1.
    int dropTarget() const { return m_dragging ? m_dropAt : -1; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    // A press on a tile that moves a few pixels drags it to another place
    // (Document::MoveTile); without a drag, moving names the tile hovered.
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // A double click on a tile makes it current and asks for 타일 편집.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Ctrl+wheel zooms the tile set; the plain wheel scrolls.
    void wheelEvent(QWheelEvent* event) override;
    // Hovering a tile names it (TileTip).
    bool viewportEvent(QEvent* event) override;

signals:
    void zoomChanged(int step);
    // The Delete key: the frame asks, then deletes the current tile.
    void deleteRequested();
    // The pointer came onto tile `number` (-1: off the tiles).
    void tileHovered(int number);
    // A request of the view failed; the frame shows `text`.
    void failed(const QString& text);
    // A double click on tile `tile`: the frame opens the 타일 편집 panel.
    void editRequested(int tile);

private:
    // Redraws when the tiles changed, and moves the frame when the current tile did.
    void DocumentChanged(uint32_t changes) override;
    // The 2-pixel frame around tile `number` at the given scroll position, in
    // client pixels; empty while no tile fits across the view.
    QRect HighlightRect(int number, QPoint scroll) const;
    // Repaints that frame (the whole view when it has none).
    void InvalidateHighlight(int number, QPoint scroll);
    void ApplyZoom(int step);
    // The place a tile dropped at client point `pt` takes: the tile there,
    // the last one past the end; -1 off the grid.
    int DropPlace(QPoint pt) const;
    // The bar that shows where a dragged tile would go, on the side of the
    // place the tiles between make room on.
    void DrawDropMark(QPainter& dc, int32_t tw, int32_t th) const;
    void EndDrag();
    // Moves the current tile by an arrow key; false when the move is refused.
    bool MoveCurrent(int key);
    // The frame around the current tile at (x, y), `tw` x `th` on screen.
    static void DrawCurrentFrame(QPainter& dc, int32_t x, int32_t y, int32_t tw, int32_t th);

    Document& m_doc;
    const TileSet& m_tileSet;
    TilePainter& m_tiles;
    int32_t m_framed = 0; // the current tile the frame was last drawn around
    int32_t m_scrollHeight = 0;
    int32_t m_tilesPerRow = 0;
    int m_zoomStep;
    int m_wheelPending = 0; // Ctrl+wheel turned less than a notch
    bool m_bGrid = false;
    bool m_zoomChosen = false;
    // The cells of each tile, for the tips, the status bar and the overlay.
    TileUsageCache m_usage{m_doc};
    bool m_usageShown = false;
    int m_hovered = -1;
    // A left press on a tile, and the drag it became once it moved far enough.
    QPoint m_pressAt;
    int m_pressTile = -1;
    bool m_dragging = false;
    int m_dropAt = -1;
};

} // namespace kesh::ui
