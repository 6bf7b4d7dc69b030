#pragma once

#include <cstdint>

#include "doc/Document.h"
#include "doc/DocumentListener.h"
#include "tileset/TileSet.h"
#include "tileview/TileImageCache.h"
#include "widgets/CScrollView.h"

class QPainter;

namespace kesh::ui {

class CKeshView;

// The tile set view, the right pane of the main window. Shows the
// document's tile set and its current tile the tiles as a grid that wraps to the view's
// width and draws every tile on screen (also the map's cells and the tile
// attribute bar's preview) through DrawTile.
class CTile1View : public CScrollView, private DocumentListener {
    Q_OBJECT
public:
    explicit CTile1View(Document& doc, QWidget* parent = nullptr);
    ~CTile1View() override;

    Document& document() { return m_doc; }
    TileSet& tileSet() { return m_tileSet; }
    const TileSet& tileSet() const { return m_tileSet; }
    int32_t tileWidth() const { return m_tileSet.tileWidth(); }
    int32_t tileHeight() const { return m_tileSet.tileHeight(); }
    int GetTileCount() const { return m_tileSet.count(); }
    int32_t current() const { return m_tileSet.current(); }

    // Draws tile `number` scaled to (x, y, width, height) through the display
    // colour table; a negative width or height means the tile's own. A number
    // that names no tile draws a 2 x 2 white marker in the middle instead
    // and gives 0; a drawn tile gives 1.
    int DrawTile(QPainter& dc, int number, int x, int y, int width = -1, int height = -1);
    // The image DrawTile draws for tile `number` at its own size (the tile
    // list's), or null where it draws the marker. Valid until the next call.
    const QImage* TileImage(int number) { return m_images.Image(m_tileSet, number); }

    // Makes `number` current (a tile picked from the map). A number that is
    // already current or names no tile changes nothing.
    void SelectTile(int number);
    // Asks, then deletes the current tile and renumbers the map's cells, as
    // one step of the document's history.
    void DeleteCurrentTile();

    // Call after the tile set was changed from outside: drops cached tile
    // images and repaints.
    void TileSetChanged();

    // Lays the grid out for the present width and sets the scroll range.
    void OnPrepareDC() override;
    // Draws the grid (in logical pixels) where it meets `clip`.
    void OnDraw(QPainter& dc, const QRect& clip) override;

    // The tile at client point `pt`, or -1; a hit tile becomes current.
    int HitTest(QPoint pt);

    // The view's own zoom step (map/Zoom.h) and the size of a tile on screen
    // at it: the layout, the hit tests and the keys count in these.
    int zoomStep() const { return m_zoomStep; }
    void SetZoom(int step);
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

    // The map view (pane 0, 0 of the main splitter), or null.
    static CKeshView* MapView();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Ctrl+wheel zooms the tile set; the plain wheel scrolls.
    void wheelEvent(QWheelEvent* event) override;

signals:
    void zoomChanged(int step);

private:
    // Redraws and refreshes the attribute bar when the tiles or the current tile changed.
    void DocumentChanged(uint32_t changes) override;
    // The 2-pixel frame around tile `number` at the given scroll position, in
    // client pixels; empty while no tile fits across the view.
    QRect HighlightRect(int number, QPoint scroll) const;
    // Repaints that frame (the whole view when it has none).
    void InvalidateHighlight(int number, QPoint scroll);
    // Moves the current tile by an arrow key; false when the move is refused.
    bool MoveCurrent(int key);
    void RefreshInfoBar();

    Document& m_doc;
    TileSet& m_tileSet;
    TileImageCache m_images;
    int32_t m_scrollHeight = 0;
    int32_t m_tilesPerRow = 0;
    int m_zoomStep;
    int m_wheelPending = 0; // Ctrl+wheel turned less than a notch
    bool m_bGrid = false;
};

} // namespace kesh::ui
