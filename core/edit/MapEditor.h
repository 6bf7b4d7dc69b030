#pragma once

#include <cstdint>

#include "doc/Document.h"
#include "edit/MapGeometry.h"
#include "edit/MapNavigation.h"
#include "edit/MapViewState.h"
#include "map/MapModel.h"

namespace kesh {

// What a mouse drag on the map is doing.
enum DragMode : int32_t { DragNone = 0, DragPaint = 1, DragSelect = 2, DragPan = 3 };

// Keys and buttons held down at the time of an event.
struct InputState {
    bool shift = false;
    bool enter = false;
    bool leftButton = false;
};

// The editing of one map view: it turns the view's mouse, key and timer events
// and the region commands into requests to the document, and tells the view
// what to repaint and where to scroll. It writes no cell itself. Points named `client` are in the
// view's client pixels, `screen` in screen pixels. Every event does nothing without cells or
// without a tile size (TileContext::valid).
//
// The plain left button selects whole cells from the clicked one; with Shift
// or Enter held it paints. The right button pans. While a paint or selection
// drag is under way (capturing()), the view sends Timer() every 10 ms.
class MapEditor {
public:
    // Edits the map of `doc`; the current cell, selection and copy source
    // are the editor's own (state()).
    explicit MapEditor(Document& doc) : m_doc(doc), m_map(doc.map()) {}

    Document& document() { return m_doc; }
    const MapModel& map() const { return m_map; }
    // The view state, brought onto the document's grid and tile size first
    // when either was replaced since it was last looked at.
    MapViewState& state() {
        follow();
        return m_state;
    }
    // The view state as it was last brought onto the grid.
    const MapViewState& state() const { return m_state; }
    int32_t dragMode() const { return m_nDragMode; }
    // True while a drag runs: the view keeps the mouse grabbed.
    bool capturing() const { return m_nDragMode != DragNone; }
    Point anchor() const { return m_ptAnchor; }    // map pixels
    Point lastPointer() const { return m_ptLast; } // screen pixels

    // Left button pressed, in DragNone only. Selects the cell (DragSelect), or
    // with Shift or Enter held paints it (DragPaint). The cell becomes current.
    MapUpdate LButtonDown(Point client, const InputState& keys, const Viewport& view,
                          const TileContext& tile);
    // Pointer moved: pans (DragPan, by `screen`), stretches the selection from the
    // anchor cell to the cell under the pointer (DragSelect) or paints the cell
    // under it while `leftButton` is held (DragPaint).
    MapUpdate MouseMove(Point client, Point screen, bool leftButton, const Viewport& view,
                        const TileContext& tile);
    // Left button released; true when a paint or selection drag ended.
    bool LButtonUp();
    // Right button pressed/released: starts (from DragNone) or ends panning.
    // True when the state changed.
    bool RButtonDown(Point screen);
    bool RButtonUp();
    // Double click, in DragNone only: the cell becomes current, and its tile is
    // offered as pickedTile unless it is the current tile already.
    MapUpdate LButtonDblClk(Point client, const Viewport& view, const TileContext& tile);

    // A key pressed. `pointer` (client pixels) is where the mouse is now; Enter
    // with the left button held starts painting there. Shift does nothing here.
    MapUpdate KeyDown(MapKey key, Point pointer, const InputState& keys, const Viewport& view,
                      const TileContext& tile);
    // A key released: Enter or Shift ends a paint drag (true when it did).
    bool KeyUp(MapKey key);
    // The repeating timer: during a paint or selection drag with the pointer
    // near or beyond an edge, scrolls one tile that way and follows the pointer.
    MapUpdate Timer(Point pointer, bool leftButton, const Viewport& view, const TileContext& tile);

    // Remembers where the selection is (cells) as the copy source.
    void RememberRegion(const TileContext& tile);
    // Copies the copy source, as it is now, to the current cell as its top-left,
    // cut at the map's edges; overlapping source and target behave as if the
    // source had been copied out first. Nothing before the first RememberRegion.
    MapUpdate PasteRegion();
    // Sets every selected cell to the current tile; always marks the map changed.
    MapUpdate FillRegion(const TileContext& tile);
    // Mirrors the selected cells left to right or top to bottom
    // (Document::FlipCells), one step.
    MapUpdate FlipRegion(const TileContext& tile, bool horizontal);

private:
    // Ends a drag that was begun on a grid since replaced (File New or Open
    // while a button was held): its anchor and cells belong to the old map.
    // Brings the view state onto the grid first.
    void endStaleDrag();
    void follow() { m_state.Follow(m_map, m_doc.tiles().tileWidth(), m_doc.tiles().tileHeight()); }
    bool usable(const TileContext& tile) const { return tile.valid() && m_map.hasCells(); }
    // The frames of the cell that was current and of the one that is now.
    void addFrames(MapUpdate& update, int32_t oldCell, int32_t newCell,
                   const TileContext& tile) const;
    MapUpdate stretchSelection(Point client, const Viewport& view, const TileContext& tile);
    MapUpdate paintUnderPointer(Point client, const Viewport& view, const TileContext& tile);
    bool paint(int32_t index, uint16_t tile) { return m_doc.PaintCell(index, tile); }
    void endStroke() { m_doc.EndStroke(); }

    Document& m_doc;
    const MapModel& m_map;
    MapViewState m_state;
    int32_t m_nDragMode = DragNone;
    Point m_ptAnchor;
    Point m_ptLast;
    uint64_t m_dragGeneration = 0;
};

} // namespace kesh
