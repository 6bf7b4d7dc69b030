#include <gtest/gtest.h>

#include <algorithm>

#include "base/Messages.h"
#include "doc/Document.h"
#include "edit/MapGeometry.h"
#include "edit/MapViewState.h"
#include "map/MapModel.h"

using namespace kesh;

namespace {

bool AllEmpty(const MapModel& map) {
    return std::all_of(map.cells().begin(), map.cells().end(),
                       [](uint16_t c) { return c == kEmptyCell; });
}

} // namespace

TEST(MapModel, StartsAsSixtyFourSquareOfEmptyCells) {
    MapModel map;
    EXPECT_EQ(map.width(), 64);
    EXPECT_EQ(map.height(), 64);
    EXPECT_EQ(map.cellCount(), 64 * 64);
    EXPECT_TRUE(AllEmpty(map));
    EXPECT_EQ(map.format(), MapFormat::Default());
    const Document doc;
    EXPECT_EQ(doc.file().name, "Untitled.map");
    EXPECT_EQ(doc.file().path, doc.file().name);
    const MapViewState state;
    EXPECT_EQ(state.m_nCurCell, 0);
    EXPECT_EQ(state.m_rcSelect, (Rect{-2, -2, -1, -1}));
    EXPECT_FALSE(state.m_rcCopySource.has_value());
    EXPECT_FALSE(doc.IsModified());
}

TEST(MapModel, BadSizesAreRefusedAndNothingChanges) {
    MapModel map;
    map.cells()[5] = 7;
    const auto before = map.cells();
    // Sides out of range are invalid; sides that fit with too many cells
    // between them are too large, and the message says so with the limit.
    const struct {
        int32_t w, h;
        std::string message;
    } bad[] = {
        {0, 10, msg::kBadMapSize},
        {10, 0, msg::kBadMapSize},
        {-1, -1, msg::kBadMapSize},
        {-64, 64, msg::kBadMapSize},
        {65536, 1, msg::kBadMapSize},
        {1, 65536, msg::kBadMapSize},
        {16385, 16384, "지도가 너무 큽니다 (최대 268,435,456칸).\n16385 x 16384칸"},
        {65535, 4097, "지도가 너무 큽니다 (최대 268,435,456칸).\n65535 x 4097칸"},
        {65535, 65535, "지도가 너무 큽니다 (최대 268,435,456칸).\n65535 x 65535칸"},
    };
    for (const auto& c : bad) {
        const Status s = map.AllocateCells(c.w, c.h);
        EXPECT_EQ(s.message(), c.message) << c.w << " x " << c.h;
        EXPECT_EQ(MapModel::CheckSize(c.w, c.h).message(), c.message);
    }
    EXPECT_EQ(map.width(), 64);
    EXPECT_EQ(map.height(), 64);
    EXPECT_EQ(map.cells(), before);

    EXPECT_TRUE(MapModel::IsValidSize(65535, 4096));  // 268,431,360 cells
    EXPECT_TRUE(MapModel::IsValidSize(16384, 16384)); // exactly the limit
    EXPECT_TRUE(MapModel::CheckSize(16384, 16384));
    EXPECT_FALSE(MapModel::IsValidSize(65535, 4097));
    EXPECT_FALSE(MapModel::IsValidSize(int64_t(1) << 32, 1));
    EXPECT_FALSE(MapModel::IsTooLarge(int64_t(1) << 32, 1));
}

TEST(MapModel, AllocateGivesFreshEmptyGridAndKeepsStateThatStillFits) {
    MapModel map;
    map.cells()[3] = 1;
    MapViewState state;
    state.m_nCurCell = 70;
    state.m_rcCopySource = Rect{1, 1, 2, 2};
    ASSERT_TRUE(map.AllocateCells(100, 30).ok());
    state.FitGrid(map, 64);
    EXPECT_EQ(map.width(), 100);
    EXPECT_EQ(map.height(), 30);
    EXPECT_EQ(map.cells().size(), 3000u);
    EXPECT_TRUE(AllEmpty(map));
    EXPECT_EQ(state.m_nCurCell, 70);
    EXPECT_EQ(state.m_rcCopySource, (Rect{1, 1, 2, 2}));
}

TEST(MapModel, SmallerGridClampsCurrentCellAndCopySource) {
    MapModel map;
    MapViewState state;
    state.m_nCurCell = 50 * 64 + 40; // column 40, row 50
    state.m_rcCopySource = Rect{10, 5, 60, 62};
    ASSERT_TRUE(map.AllocateCells(16, 20).ok());
    state.FitGrid(map, 64);
    EXPECT_EQ(state.curCol(map), 15);
    EXPECT_EQ(state.curRow(map), 19);
    EXPECT_EQ(state.m_rcCopySource, (Rect{10, 5, 15, 19}));

    // The selection is in pixels and needs the tile size to be brought in.
    state.m_rcSelect = Rect{32, 64, 32 * 40 - 1, 32 * 3 - 1 + 64};
    state.ClampSelection(map, 32, 32);
    EXPECT_EQ(state.m_rcSelect, (Rect{32, 64, 32 * 16 - 1, 32 * 5 - 1}));
    state.m_rcSelect = Rect{-2, -2, -1, -1};
    state.ClampSelection(map, 32, 32);
    EXPECT_EQ(state.m_rcSelect, (Rect{-2, -2, -1, -1}));

    // A new tile size: pixels 32..95 (cells 1..2 of 32) become cells 2..7 of 12.
    state.m_rcSelect = Rect{32, 32, 95, 95};
    state.ClampSelection(map, 12, 12);
    EXPECT_EQ(state.m_rcSelect, (Rect{24, 24, 8 * 12 - 1, 8 * 12 - 1}));
}

TEST(MapModel, EnsureCellsAfterReading) {
    MapModel map;
    map.format().width = -1;
    Status s = map.EnsureCells();
    EXPECT_EQ(s.message(), msg::kNoTileSize);

    map.format().width = 0;
    map.format().height = 5;
    EXPECT_EQ(map.EnsureCells().message(), msg::kBadMapSize);

    // A grid of the right size is kept with what was read into it.
    map.format().width = 64;
    map.format().height = 64;
    map.cells()[9] = 9;
    ASSERT_TRUE(map.EnsureCells().ok());
    EXPECT_EQ(map.cells()[9], 9);

    // A size read after the cells makes a fresh grid that fits it.
    map.format().width = 3;
    map.format().height = 2;
    MapViewState state;
    state.m_nCurCell = 4000;
    ASSERT_TRUE(map.EnsureCells().ok());
    EXPECT_EQ(map.cells().size(), 6u);
    EXPECT_TRUE(AllEmpty(map));
    state.FitGrid(map, map.width()); // the width the cell was made for is not known
    EXPECT_LT(state.m_nCurCell, 6);
}

TEST(MapModel, ReplaceGridChecksTheCellCount) {
    MapModel map;
    MapFormat f = MapFormat::Default();
    f.width = 3;
    f.height = 2;
    EXPECT_EQ(map.ReplaceGrid(f, std::vector<uint16_t>(5, 1)).message(), msg::kBadMapSize);
    EXPECT_EQ(map.width(), 64);
    MapViewState state;
    state.m_nCurCell = 64 * 64 - 1;
    ASSERT_TRUE(map.ReplaceGrid(f, {0, 1, 2, 3, 4, kEmptyCell}).ok());
    state.FitGrid(map, 64);
    EXPECT_EQ(map.cellAt(2, 1), kEmptyCell);
    EXPECT_EQ(state.m_nCurCell, 5); // last cell of the old grid -> last cell of the new
}

TEST(MapModel, HitTestClampsToTheNearestEdgeCellAndSnaps) {
    MapModel map;
    ASSERT_TRUE(map.AllocateCells(10, 8).ok());
    MapViewState state;
    // Far right of a 10-column map, on row 2: column 9.
    Point pt{5000, 2 * 16 + 3};
    EXPECT_EQ(state.HitTestCell(map, pt, {0, 0}, 16, 16), 2 * 10 + 9);
    EXPECT_EQ(pt, (Point{9 * 16, 2 * 16}));
    // Below the map: last row. Left of it: column 0.
    pt = {-40, 9999};
    EXPECT_EQ(state.HitTestCell(map, pt, {0, 0}, 16, 16), 7 * 10 + 0);
    EXPECT_EQ(state.m_nCurCell, 0); // without pPrev the current cell stays

    // Scrolled: client point + scroll, snapped back to client pixels.
    state.m_nCurCell = 11;
    pt = {5, 7};
    Point prev;
    EXPECT_EQ(state.HitTestCell(map, pt, {20, 40}, 16, 16, &prev), 2 * 10 + 1);
    EXPECT_EQ(pt, (Point{16 - 20, 32 - 40}));
    EXPECT_EQ(prev, (Point{16 - 20, 16 - 40})); // old current cell (1, 1)
    EXPECT_EQ(state.m_nCurCell, 21);

    // No tile set: nothing happens.
    pt = {5, 7};
    EXPECT_EQ(state.HitTestCell(map, pt, {0, 0}, 0, 16, &prev), -1);
    EXPECT_EQ(pt, (Point{5, 7}));
    EXPECT_EQ(state.m_nCurCell, 21);
}

TEST(MapGeometry, VisibleCellsCoverTheClientPlusTwoAndStopAtTheMap) {
    MapModel map;
    Viewport view{{40, 0}, 100, 50};
    EXPECT_EQ(VisibleCells(map, view, 32, 32), (CellRange{1, 0, 1 + 3 + 2, 0 + 1 + 2}));
    view.scroll = {62 * 32, 62 * 32};
    EXPECT_EQ(VisibleCells(map, view, 32, 32), (CellRange{62, 62, 64, 64}));
    EXPECT_EQ(VisibleCells(map, view, 0, 32), CellRange{});
}
