#include <gtest/gtest.h>

#include "edit/AutoScroll.h"
#include "edit/MapEditor.h"
#include "edit/Zoom.h"

using namespace kesh;

namespace {

// The zoom steps the geometry is checked at: 1/8, 1/2, 1, 3 and 8 times.
const int kSteps[] = {0, 2, kZoomActual, 5, 8};

struct ZoomedEditing : ::testing::TestWithParam<int> {
    Document doc;
    MapModel& map = doc.map();
    MapEditor editor{doc};
    MapViewState& state = editor.state();
    // Large enough to show four rows of the biggest cells, and larger than
    // the whole map at the smallest zoom.
    Viewport view{{0, 0}, 1280, 720};
    TileContext cell = ZoomedTile({16, 16, 7}, GetParam());

    void SetUp() override {
        ASSERT_TRUE(map.AllocateCells(1000, 800).ok());
        (void)editor.state(); // the view state on the new grid
    }
    int32_t Index(int32_t col, int32_t row) const { return row * map.width() + col; }
    // A client point inside cell (col, row), not on its corner.
    Point Inside(int32_t col, int32_t row) const {
        return {col * cell.width + cell.width / 2 - view.scroll.x,
                row * cell.height + cell.height / 2 - view.scroll.y};
    }
};

} // namespace

TEST(Zoom, StepsAndSizes) {
    EXPECT_EQ(ZoomAt(kZoomActual).num, 1);
    EXPECT_EQ(ZoomAt(kZoomActual).den, 1);
    EXPECT_EQ(ZoomIn(kZoomSteps - 1), kZoomSteps - 1);
    EXPECT_EQ(ZoomOut(0), 0);
    EXPECT_EQ(ClampZoomStep(99), kZoomSteps - 1);
    EXPECT_EQ(ClampZoomStep(-5), 0);
    // Every cell keeps at least a pixel; odd sizes round to the nearest one.
    EXPECT_EQ(ZoomedSize(8, 0), 1);
    EXPECT_EQ(ZoomedSize(16, 0), 2);
    EXPECT_EQ(ZoomedSize(3, 0), 1);
    EXPECT_EQ(ZoomedSize(12, 0), 2);
    EXPECT_EQ(ZoomedSize(16, kZoomActual), 16);
    EXPECT_EQ(ZoomedSize(16, 6), 64);
    EXPECT_EQ(ZoomedSize(5, 8), 40);
    EXPECT_EQ(ZoomedSize(0, 8), 0);
    // No tile set stays no tile set at any zoom.
    EXPECT_FALSE(ZoomedTile({}, 8).valid());
}

TEST(Zoom, WheelGathersWholeNotches) {
    int pending = 0;
    EXPECT_EQ(WheelNotches(pending, 120), 1);
    EXPECT_EQ(WheelNotches(pending, -240), -2);
    // A touch pad's small deltas add up to one notch.
    EXPECT_EQ(WheelNotches(pending, 50), 0);
    EXPECT_EQ(WheelNotches(pending, 50), 0);
    EXPECT_EQ(WheelNotches(pending, 50), 1);
    EXPECT_EQ(pending, 30);
    // Turning back starts afresh.
    EXPECT_EQ(WheelNotches(pending, -100), 0);
    EXPECT_EQ(pending, -100);
    EXPECT_EQ(WheelNotches(pending, 0), 0);
}

TEST(Zoom, CtrlWheelKeepsTheCellUnderThePointer) {
    MapModel map;
    ASSERT_TRUE(map.AllocateCells(512, 512).ok());
    const Point pointer{333, 211};
    for (int from : kSteps) {
        for (int to : kSteps) {
            const int32_t oldSize = ZoomedSize(16, from);
            const int32_t newSize = ZoomedSize(16, to);
            // Far from the edges, so that the scroll range does not get in the way.
            const Viewport view{{256 * oldSize - 300, 256 * oldSize - 200}, 800, 600};
            const Point scroll =
                AnchoredScroll(pointer, view, map, oldSize, oldSize, newSize, newSize);
            const auto before = CellUnderPointer(map, pointer, view.scroll, oldSize, oldSize);
            const auto after = CellUnderPointer(map, pointer, scroll, newSize, newSize);
            EXPECT_EQ(before, after) << "from step " << from << " to " << to;
        }
    }
    // Near the top-left corner the scroll range wins: nothing goes below 0.
    const Viewport corner{{0, 0}, 800, 600};
    EXPECT_EQ(AnchoredScroll({5, 5}, corner, map, 16, 16, 2, 2), (Point{0, 0}));
    // Zooming in at the corner keeps cell (0, 0) there.
    EXPECT_EQ(AnchoredScroll({0, 0}, corner, map, 16, 16, 64, 64), (Point{0, 0}));
}

TEST(Zoom, SelectionFollowsTheCellSize) {
    // Columns 2-5, rows 3-4 at 16 x 16, then at 4 x 4 and at 48 x 32.
    const Rect sel{32, 48, 95, 79};
    EXPECT_EQ(RescaleSelection(sel, 16, 16, 4, 4), (Rect{8, 12, 23, 19}));
    EXPECT_EQ(RescaleSelection(sel, 16, 16, 48, 32), (Rect{96, 96, 287, 159}));
    EXPECT_EQ(RescaleSelection(RescaleSelection(sel, 16, 16, 2, 2), 2, 2, 16, 16), sel);
    // The selection before the first drag stays where it is, outside the map.
    EXPECT_EQ(RescaleSelection({-2, -2, -1, -1}, 16, 16, 64, 64), (Rect{-2, -2, -1, -1}));
    EXPECT_EQ(SelectionSize(sel, 16, 16), (Point{4, 2}));
}

TEST(Zoom, PointerReadoutTexts) {
    MapModel map;
    ASSERT_TRUE(map.AllocateCells(10, 5).ok());
    map.cells()[size_t(2 * 10 + 3)] = 12;
    EXPECT_EQ(PointerReadout(map, 23, std::nullopt), "(3, 2) 타일 12");
    EXPECT_EQ(PointerReadout(map, 0, std::nullopt), "(0, 0) 빈 칸");
    EXPECT_EQ(PointerReadout(map, 49, Point{4, 2}), "(9, 4) 빈 칸  4 × 2");
    EXPECT_EQ(PointerReadout(map, std::nullopt, Point{1, 1}), "1 × 1");
    EXPECT_EQ(PointerReadout(map, std::nullopt, std::nullopt), "");
    // Beyond the map's right and bottom edges, and left of it, there is no cell.
    EXPECT_EQ(CellUnderPointer(map, {79, 39}, {0, 0}, 8, 8), 49);
    EXPECT_EQ(CellUnderPointer(map, {80, 0}, {0, 0}, 8, 8), std::nullopt);
    EXPECT_EQ(CellUnderPointer(map, {0, 40}, {0, 0}, 8, 8), std::nullopt);
    EXPECT_EQ(CellUnderPointer(map, {-1, 0}, {0, 0}, 8, 8), std::nullopt);
    EXPECT_EQ(CellUnderPointer(map, {3, 3}, {8, 16}, 8, 8), 21);
}

TEST_P(ZoomedEditing, ClickHitsAndSnapsToTheCell) {
    view.scroll = {3 * cell.width, 9 * cell.height};
    editor.LButtonDown(Inside(7, 9), {}, view, cell);
    EXPECT_EQ(state.m_nCurCell, Index(7, 9));
    EXPECT_EQ(editor.anchor(), (Point{7 * cell.width, 9 * cell.height}));
    // Dragging to (4, 12) selects columns 4-7 and rows 9-12, whole cells.
    editor.MouseMove(Inside(4, 12), {}, true, view, cell);
    EXPECT_EQ(SelectionSize(state.m_rcSelect, cell.width, cell.height), (Point{4, 4}));
    EXPECT_EQ(state.m_rcSelect.left, 4 * cell.width);
    EXPECT_EQ(state.m_rcSelect.bottom, 13 * cell.height - 1);
    editor.LButtonUp();
    // The fill covers exactly those cells.
    editor.FillRegion(cell);
    EXPECT_EQ(map.cellAt(4, 9), 7);
    EXPECT_EQ(map.cellAt(7, 12), 7);
    EXPECT_EQ(map.cellAt(8, 12), kEmptyCell);
    EXPECT_EQ(map.cellAt(4, 13), kEmptyCell);
}

TEST_P(ZoomedEditing, PaintDragPaintsTheCellsUnderThePointer) {
    editor.LButtonDown(Inside(2, 2), {.shift = true}, view, cell);
    editor.MouseMove(Inside(3, 2), {}, true, view, cell);
    EXPECT_EQ(map.cellAt(2, 2), 7);
    EXPECT_EQ(map.cellAt(3, 2), 7);
    EXPECT_EQ(map.cellAt(4, 2), kEmptyCell);
}

TEST_P(ZoomedEditing, AutoScrollMovesOneCellInsideTheRange) {
    view.scroll = {10 * cell.width, 10 * cell.height};
    EXPECT_EQ(AutoScrollDirection({view.clientWidth - 3, 4}, view), (Point{1, -1}));
    EXPECT_EQ(AutoScroll(1, -1, map, view, cell.width, cell.height),
              (Point{11 * cell.width, 9 * cell.height}));
    // At the far edge the scroll range stops it; at 1/8 the whole map fits.
    view.scroll = MaxScroll(map, view, cell.width, cell.height);
    EXPECT_EQ(AutoScroll(1, 1, map, view, cell.width, cell.height), view.scroll);
}

TEST_P(ZoomedEditing, PageKeysMoveByTheRowsOnScreen) {
    const int32_t rows = view.clientHeight / cell.height;
    state.m_nCurCell = Index(5, 1);
    const auto down = KeyTarget(MapKey::PageDown, map, state, view, cell.height);
    ASSERT_TRUE(down);
    EXPECT_EQ(*down, Index(5, std::min(1 + rows, map.height() - 1)));
    state.m_nCurCell = Index(5, 1);
    EXPECT_EQ(KeyTarget(MapKey::PageUp, map, state, view, cell.height), Index(5, 0));
    // The current cell keeps its place on screen while the map allows.
    const Point scroll = ScrollForPageStep(map, Index(5, 1), *down, view, cell.width, cell.height);
    const Point max = MaxScroll(map, view, cell.width, cell.height);
    EXPECT_EQ(scroll.y, std::min((*down / map.width() - 1) * cell.height, max.y));
}

INSTANTIATE_TEST_SUITE_P(Steps, ZoomedEditing, ::testing::ValuesIn(kSteps));
