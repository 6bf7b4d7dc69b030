#include <gtest/gtest.h>

#include "edit/AutoScroll.h"
#include "edit/MapEditor.h"
#include "edit/MapNavigation.h"

using namespace kesh;

namespace {

constexpr int32_t kTile = 16;

// A 20 x 50 map in a 160 x 100 client area: ten columns and six whole rows show.
struct MapNavigationTest : ::testing::Test {
    Document doc;
    MapModel& map = doc.map();
    MapEditor editor{doc};
    MapViewState& state = editor.state();
    Viewport view{{0, 0}, 160, 100};
    TileContext tile{kTile, kTile, 7};

    void SetUp() override {
        ASSERT_TRUE(map.AllocateCells(20, 50).ok());
        // The document's tiles have the size the editor is given.
        doc.tiles().format().width = kTile;
        doc.tiles().format().height = kTile;
        doc.tiles().InitTileSet();
        (void)editor.state(); // the view state on the new grid
    }
    int32_t Index(int32_t col, int32_t row) const { return row * map.width() + col; }
    MapUpdate Press(MapKey key, InputState keys = {}) {
        return editor.KeyDown(key, {}, keys, view, tile);
    }
};

} // namespace

TEST_F(MapNavigationTest, ArrowsAtTheEdgesDoNothingAtAll) {
    const std::pair<MapKey, int32_t> cases[] = {{MapKey::Left, Index(0, 3)},
                                                {MapKey::Right, Index(19, 3)},
                                                {MapKey::Up, Index(4, 0)},
                                                {MapKey::Down, Index(4, 49)}};
    for (auto [key, cell] : cases) {
        state.m_nCurCell = cell;
        EXPECT_TRUE(Press(key, {.enter = true}).empty());
        EXPECT_EQ(state.m_nCurCell, cell);
    }
    EXPECT_FALSE(doc.IsModified());

    state.m_nCurCell = Index(19, 3);
    const MapUpdate u = Press(MapKey::Left);
    EXPECT_EQ(state.m_nCurCell, Index(18, 3));
    EXPECT_EQ(u.dirty.size(), 2u); // the old and the new frame
}

TEST_F(MapNavigationTest, PageKeysStopInTheFirstAndLastRowOfTheSameColumn) {
    state.m_nCurCell = Index(4, 10);
    Press(MapKey::PageDown);
    EXPECT_EQ(state.m_nCurCell, Index(4, 16)); // six rows per page
    state.m_nCurCell = Index(4, 47);
    Press(MapKey::PageDown);
    EXPECT_EQ(state.m_nCurCell, Index(4, 49));
    state.m_nCurCell = Index(4, 3);
    Press(MapKey::PageUp);
    EXPECT_EQ(state.m_nCurCell, Index(4, 0));
    state.m_nCurCell = Index(7, 3);
    Press(MapKey::Home);
    EXPECT_EQ(state.m_nCurCell, Index(0, 3));
    Press(MapKey::End);
    EXPECT_EQ(state.m_nCurCell, Index(19, 3));
}

TEST_F(MapNavigationTest, PageStepsMoveTheMapUnderTheCurrentCellAndNeverPaint) {
    view.scroll = {0, 100};
    state.m_nCurCell = Index(4, 10);
    MapUpdate u = Press(MapKey::PageDown, {.enter = true});
    EXPECT_EQ(u.scrollTo, std::optional(Point{0, 100 + 6 * kTile}));
    EXPECT_EQ(map.cellAt(4, 16), kEmptyCell);

    view.scroll = {0, 50 * kTile - 100}; // last page: clamped to the scroll range
    state.m_nCurCell = Index(4, 47);
    EXPECT_FALSE(Press(MapKey::PageDown).scrollTo.has_value());

    view.scroll = {0, 0};
    state.m_nCurCell = Index(3, 0);
    u = Press(MapKey::End); // across: just enough to show the last column
    EXPECT_EQ(u.scrollTo, std::optional(Point{20 * kTile - 160, 0}));
}

TEST_F(MapNavigationTest, ArrowsScrollJustEnoughToShowTheCell) {
    state.m_nCurCell = Index(0, 5); // row 5 ends at pixel 95: still inside
    MapUpdate u = Press(MapKey::Down);
    EXPECT_EQ(u.scrollTo, std::optional(Point{0, 7 * kTile - 100}));
    view.scroll = {0, 40};
    state.m_nCurCell = Index(0, 3);
    u = Press(MapKey::Up);
    EXPECT_EQ(u.scrollTo, std::optional(Point{0, 2 * kTile}));
    view.scroll = *u.scrollTo;
    u = Press(MapKey::Right); // stays in view: no scrolling
    EXPECT_FALSE(u.scrollTo.has_value());
}

TEST_F(MapNavigationTest, EnterStampsAndHeldEnterPaintsATrail) {
    state.m_nCurCell = Index(2, 2);
    Press(MapKey::Enter, {.enter = true});
    EXPECT_EQ(map.cellAt(2, 2), 7);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(Press(MapKey::Enter, {.enter = true}).empty()); // already holds the tile

    for (int i = 0; i < 3; ++i)
        Press(MapKey::Right, {.enter = true});
    EXPECT_EQ(map.cellAt(3, 2), 7);
    EXPECT_EQ(map.cellAt(4, 2), 7);
    EXPECT_EQ(map.cellAt(5, 2), 7);
    Press(MapKey::Down); // without Enter only the frame moves
    EXPECT_EQ(map.cellAt(5, 3), kEmptyCell);
    EXPECT_TRUE(Press(MapKey::Shift).empty());
}

TEST_F(MapNavigationTest, EnterWithTheButtonDownStartsPaintingUnderThePointer) {
    const MapUpdate u = editor.KeyDown(MapKey::Enter, {500, 5}, {.leftButton = true}, view, tile);
    EXPECT_FALSE(u.empty());
    EXPECT_EQ(editor.dragMode(), DragPaint);
    EXPECT_EQ(state.m_nCurCell, Index(9, 0)); // the pointer was held to the client area
    EXPECT_EQ(map.cellAt(9, 0), 7);
    EXPECT_TRUE(editor.KeyUp(MapKey::Enter));
}

TEST(AutoScroll, DirectionFromTheTenPixelBands) {
    const Viewport view{{0, 0}, 100, 100};
    EXPECT_EQ(AutoScrollDirection({5, 50}, view), (Point{-1, 0}));
    EXPECT_EQ(AutoScrollDirection({95, 150}, view), (Point{1, 1}));
    EXPECT_EQ(AutoScrollDirection({10, 90}, view), (Point{0, 0}));
    EXPECT_EQ(AutoScrollDirection({-40, -1}, view), (Point{-1, -1}));
    const Viewport narrow{{0, 0}, 15, 100};
    EXPECT_EQ(AutoScrollDirection({7, 50}, narrow), (Point{0, 0})); // both bands cancel
}

TEST(AutoScroll, OneTileAtATimeInsideTheScrollRange) {
    MapModel map; // 64 x 64
    Viewport view{{0, 0}, 100, 100};
    EXPECT_EQ(AutoScroll(-1, -1, map, view, 16, 16), (Point{0, 0}));
    EXPECT_EQ(AutoScroll(1, 1, map, view, 16, 8), (Point{16, 8}));
    view.scroll = {64 * 16 - 100 - 5, 30};
    EXPECT_EQ(AutoScroll(1, -1, map, view, 16, 16), (Point{64 * 16 - 100, 14}));
    view.clientWidth = 5000; // map narrower than the window: stays at 0
    view.scroll = {};
    EXPECT_EQ(AutoScroll(1, 0, map, view, 16, 16), (Point{0, 0}));
}
