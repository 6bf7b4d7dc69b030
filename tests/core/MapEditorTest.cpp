#include <gtest/gtest.h>

#include <algorithm>

#include "edit/MapEditor.h"

using namespace kesh;

namespace {

constexpr int32_t kTile = 16;

struct MapEditorTest : ::testing::Test {
    Document doc;
    MapModel& map = doc.map();
    MapEditor editor{doc};
    MapViewState& state = editor.state();
    Viewport view{{0, 0}, 640, 480};
    TileContext tile{kTile, kTile, 7};

    void SetUp() override {
        ASSERT_TRUE(map.AllocateCells(20, 10).ok());
        // The document's tiles have the size the editor is given.
        doc.tiles().format().width = kTile;
        doc.tiles().format().height = kTile;
        doc.tiles().InitTileSet();
        (void)editor.state(); // the view state on the new grid
    }

    // Client point in the middle of cell (col, row) with the view unscrolled.
    static Point At(int32_t col, int32_t row) { return {col * kTile + 5, row * kTile + 9}; }
    int32_t Index(int32_t col, int32_t row) const { return row * map.width() + col; }
    uint16_t& Cell(int32_t col, int32_t row) { return map.cells()[size_t(Index(col, row))]; }

    // Numbers every cell by its index so copies can be traced.
    void Number() {
        for (size_t i = 0; i < map.cells().size(); ++i)
            map.cells()[i] = static_cast<uint16_t>(i);
    }
    void Select(int32_t c0, int32_t r0, int32_t c1, int32_t r1) {
        state.m_rcSelect = {c0 * kTile, r0 * kTile, (c1 + 1) * kTile - 1, (r1 + 1) * kTile - 1};
    }
    // What a paste must give: the source copied out first, then written back.
    std::vector<uint16_t> SnapshotPaste(Rect src, int32_t cx, int32_t cy) const {
        std::vector<uint16_t> out = map.cells();
        for (int32_t r = src.top; r <= src.bottom; ++r)
            for (int32_t c = src.left; c <= src.right; ++c) {
                const int32_t tc = cx + c - src.left, tr = cy + r - src.top;
                if (tc >= 0 && tc < map.width() && tr >= 0 && tr < map.height())
                    out[size_t(tr * map.width() + tc)] = map.cells()[size_t(Index(c, r))];
            }
        return out;
    }
};

} // namespace

TEST_F(MapEditorTest, PlainClickSelectsTheCellWithoutPainting) {
    const MapUpdate u = editor.LButtonDown(At(3, 2), {}, view, tile);
    EXPECT_EQ(editor.dragMode(), DragSelect);
    EXPECT_EQ(state.m_nCurCell, Index(3, 2));
    EXPECT_EQ(state.m_rcSelect, (Rect{48, 32, 63, 47}));
    EXPECT_EQ(editor.anchor(), (Point{48, 32}));
    EXPECT_EQ(Cell(3, 2), kEmptyCell);
    EXPECT_FALSE(doc.IsModified());
    // The old selection, the new cell and both frames are repainted.
    EXPECT_NE(std::find(u.dirty.begin(), u.dirty.end(), (Rect{-2, -2, -1, -1})), u.dirty.end());
    EXPECT_NE(std::find(u.dirty.begin(), u.dirty.end(), (Rect{46, 30, 65, 49})), u.dirty.end());
    EXPECT_TRUE(editor.LButtonUp());
    EXPECT_EQ(editor.dragMode(), DragNone);
    EXPECT_EQ(state.m_rcSelect, (Rect{48, 32, 63, 47})); // the selection stays
}

TEST_F(MapEditorTest, SelectionDragRunsBackwardsOverWholeCells) {
    editor.LButtonDown(At(5, 5), {}, view, tile);
    editor.MouseMove(At(2, 3), {}, true, view, tile);
    EXPECT_EQ(state.m_rcSelect, (Rect{2 * kTile, 3 * kTile, 6 * kTile - 1, 6 * kTile - 1}));
    EXPECT_EQ(SelectionCells(state, kTile, kTile), (Rect{2, 3, 5, 5}));
    EXPECT_EQ(state.m_nCurCell, Index(5, 5)); // the current cell stays at the anchor
    // Beyond the window the pointer counts as on its edge.
    editor.MouseMove({-300, 10000}, {}, true, view, tile);
    EXPECT_EQ(SelectionCells(state, kTile, kTile), (Rect{0, 5, 5, 9}));
}

TEST_F(MapEditorTest, ShiftOrEnterPaintsAndDraggingPaintsATrail) {
    editor.LButtonDown(At(1, 1), {.shift = true}, view, tile);
    EXPECT_EQ(editor.dragMode(), DragPaint);
    EXPECT_EQ(Cell(1, 1), 7);
    EXPECT_TRUE(doc.IsModified());
    editor.MouseMove(At(2, 1), {}, true, view, tile);
    editor.MouseMove(At(4, 1), {}, false, view, tile); // button no longer reported: nothing
    EXPECT_EQ(Cell(2, 1), 7);
    EXPECT_EQ(Cell(4, 1), kEmptyCell);
    // A second press while dragging is ignored; releasing Shift ends painting.
    EXPECT_TRUE(editor.LButtonDown(At(6, 6), {}, view, tile).empty());
    EXPECT_TRUE(editor.KeyUp(MapKey::Shift));
    EXPECT_EQ(editor.dragMode(), DragNone);
    EXPECT_FALSE(editor.KeyUp(MapKey::Enter));
}

TEST_F(MapEditorTest, PaintingTheSameTileChangesNothingButStillCaptures) {
    Cell(4, 4) = 7;
    state.m_nCurCell = Index(4, 4);
    const MapUpdate u = editor.LButtonDown(At(4, 4), {.enter = true}, view, tile);
    EXPECT_TRUE(u.empty());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(editor.capturing());
    EXPECT_TRUE(editor.LButtonUp());
    EXPECT_FALSE(editor.LButtonUp());
}

TEST_F(MapEditorTest, RightDragPansWithTheHand) {
    view.clientWidth = 100;
    view.clientHeight = 100;
    view.scroll = {50, 50};
    EXPECT_TRUE(editor.RButtonDown({500, 500}));
    EXPECT_FALSE(editor.RButtonDown({0, 0}));
    EXPECT_TRUE(editor.LButtonDown(At(0, 0), {}, view, tile).empty()); // ignored while panning
    MapUpdate u = editor.MouseMove({}, {510, 497}, false, view, tile);
    ASSERT_TRUE(u.scrollTo.has_value());
    EXPECT_EQ(*u.scrollTo, (Point{40, 53}));
    EXPECT_EQ(editor.lastPointer(), (Point{510, 497}));
    view.scroll = *u.scrollTo;
    u = editor.MouseMove({}, {600, 0}, false, view, tile); // far beyond: stops at the edges
    EXPECT_EQ(*u.scrollTo, (Point{0, 10 * kTile - 100}));
    EXPECT_TRUE(editor.RButtonUp());
    EXPECT_EQ(editor.dragMode(), DragNone);
}

TEST_F(MapEditorTest, DoubleClickPicksTheCellsTile) {
    Cell(2, 2) = 3;
    MapUpdate u = editor.LButtonDblClk(At(2, 2), view, tile);
    EXPECT_EQ(state.m_nCurCell, Index(2, 2));
    EXPECT_EQ(u.pickedTile, std::optional<uint16_t>(3));
    Cell(2, 2) = 7;
    u = editor.LButtonDblClk(At(2, 2), view, tile);
    EXPECT_TRUE(u.empty()); // same cell, already the current tile
}

TEST_F(MapEditorTest, OverlappingPasteEqualsASnapshotPasteInAllDirections) {
    struct Case {
        Rect src;
        int32_t cx, cy;
    };
    const Case cases[] = {
        {{0, 0, 2, 1}, 1, 0}, // target right of the source
        {{3, 2, 5, 3}, 2, 2}, // left
        {{3, 2, 5, 3}, 4, 3}, // down and right
        {{3, 2, 5, 3}, 2, 1}, // up and left
        {{3, 2, 5, 3}, 4, 1}, // up and right
        {{3, 2, 5, 3}, 3, 2}, // onto itself
    };
    for (const Case& c : cases) {
        Number();
        doc.MarkSaved();
        Select(c.src.left, c.src.top, c.src.right, c.src.bottom);
        editor.RememberRegion(tile);
        EXPECT_EQ(state.m_rcCopySource, c.src);
        state.m_nCurCell = Index(c.cx, c.cy);
        const auto expected = SnapshotPaste(c.src, c.cx, c.cy);
        const MapUpdate u = editor.PasteRegion();
        EXPECT_EQ(map.cells(), expected) << "target " << c.cx << "," << c.cy;
        EXPECT_TRUE(u.repaintAll);
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(state.m_nCurCell, Index(c.cx, c.cy));
    }
}

TEST_F(MapEditorTest, PasteIsClippedAtTheEdgesAndReadsTheSourceAsItIsNow) {
    Number();
    Select(0, 0, 3, 2);
    editor.RememberRegion(tile);
    Cell(0, 0) = 999; // changed after remembering: the paste takes the new value
    state.m_nCurCell = Index(18, 8);
    const auto expected = SnapshotPaste({0, 0, 3, 2}, 18, 8);
    editor.PasteRegion();
    EXPECT_EQ(map.cells(), expected);
    EXPECT_EQ(Cell(18, 8), 999);
    EXPECT_EQ(Cell(19, 9), Index(1, 1));
}

TEST_F(MapEditorTest, PasteBeforeAnyRememberChangesNothing) {
    Number();
    const auto before = map.cells();
    EXPECT_TRUE(editor.PasteRegion().empty());
    EXPECT_EQ(map.cells(), before);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(MapEditorTest, FillBeforeAnySelectionFillsCellZeroOnly) {
    MapUpdate u = editor.FillRegion(tile);
    EXPECT_TRUE(u.repaintAll);
    EXPECT_EQ(Cell(0, 0), 7);
    EXPECT_EQ(std::count(map.cells().begin(), map.cells().end(), 7), 1);
    // The flag is set even when nothing differed.
    doc.MarkSaved();
    editor.FillRegion(tile);
    EXPECT_TRUE(doc.IsModified());

    Select(18, 8, 25, 12); // reaching past the map: only the part inside
    editor.FillRegion(tile);
    EXPECT_EQ(std::count(map.cells().begin(), map.cells().end(), 7), 1 + 4);
}

TEST_F(MapEditorTest, NoTileSetMeansNoEditing) {
    const TileContext none{};
    EXPECT_TRUE(editor.LButtonDown(At(1, 1), {.shift = true}, view, none).empty());
    EXPECT_EQ(editor.dragMode(), DragNone);
    EXPECT_TRUE(editor.FillRegion(none).empty());
    editor.RememberRegion(none);
    EXPECT_FALSE(state.m_rcCopySource.has_value());
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(MapEditorTest, TimerScrollsADragTowardTheEdgeAndFollowsThePointer) {
    view.clientWidth = 100;
    view.clientHeight = 100;
    editor.LButtonDown(At(1, 1), {}, view, tile);
    // Pointer beyond the right edge, mid-height.
    MapUpdate u = editor.Timer({130, 50}, true, view, tile);
    ASSERT_TRUE(u.scrollTo.has_value());
    EXPECT_EQ(*u.scrollTo, (Point{kTile, 0}));
    // The selection reaches the cell at the (clamped) right edge of the scrolled view.
    EXPECT_EQ(SelectionCells(state, kTile, kTile), (Rect{1, 1, (100 + kTile) / kTile, 3}));
    editor.LButtonUp();
    EXPECT_TRUE(editor.Timer({130, 50}, true, view, tile).empty()); // no drag, no scrolling
}

TEST_F(MapEditorTest, ADragDoesNotOutliveTheGridItBeganOn) {
    // A selection drag anchored at cell (15, 5); File New makes a 5 x 5 map
    // while the button is still held.
    editor.LButtonDown(At(15, 5), {}, view, tile);
    ASSERT_EQ(editor.dragMode(), DragSelect);
    ASSERT_TRUE(map.AllocateCells(5, 5).ok());
    state.ClampSelection(map, kTile, kTile);
    const Rect clamped = state.m_rcSelect;
    editor.MouseMove(At(0, 0), {}, true, view, tile);
    EXPECT_EQ(editor.dragMode(), DragNone);
    EXPECT_FALSE(editor.capturing());
    EXPECT_EQ(state.m_rcSelect, clamped);
    EXPECT_LT(state.m_rcSelect.right, 5 * kTile);
    // A new drag on the new grid works as usual.
    editor.LButtonDown(At(1, 1), {}, view, tile);
    EXPECT_EQ(editor.dragMode(), DragSelect);
}
