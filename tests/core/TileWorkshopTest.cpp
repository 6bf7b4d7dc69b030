#include <gtest/gtest.h>

#include <functional>

#include "base/Messages.h"
#include "layout/CellFields.h"
#include "support/WorkshopTiles.h"

// The clean-ups of the tile set through the document: what each leaves,
// what its summary says, and that undo gives back every tile and cell.

namespace kesh::test {

namespace {

constexpr uint16_t E = kEmptyCell;
constexpr uint16_t H = cellbit::kHFlip;
constexpr uint16_t V = cellbit::kVFlip;

struct CleanupCase {
    const char* name;
    std::vector<std::string> tiles;
    std::vector<uint16_t> cells;
    std::vector<uint16_t> attrs; // none: a map without cell fields
    std::function<Status(Document&, CleanupSummary&)> run;
    std::vector<std::string> tilesAfter;
    std::vector<uint16_t> cellsAfter;
    std::vector<uint16_t> attrsAfter;
    uint64_t cellsChanged;
    bool step = true; // false: refused or nothing to do
};

} // namespace

TEST(TileWorkshopTest, CleanUpsRenumberTheMapAndUndoGivesEverythingBack) {
    const std::vector<CleanupCase> cases = {
        {"unused tiles go; numbers past the set move down with the rest",
         {"1111", "2222", "3333", "4444"}, {0, 2, E, 2, 7}, {},
         [](Document& d, CleanupSummary& s) { return d.RemoveUnusedTiles(s); },
         {"1111", "3333"}, {0, 1, E, 1, 5}, {}, 3},
        {"no tile would be left: refused", {"1111", "2222"}, {E, 5}, {},
         [](Document& d, CleanupSummary& s) { return d.RemoveUnusedTiles(s); },
         {"1111", "2222"}, {E, 5}, {}, 0, false},
        {"exact copies merge into the first", {"1111", "2222", "1111", "3333"}, {2, 3, 1, 0}, {},
         [](Document& d, CleanupSummary& s) { return d.MergeDuplicateTiles(true, s); },
         {"1111", "2222", "3333"}, {0, 2, 1, 0}, {}, 2},
        {"mirror images merge with flips toggled", {"1200", "2100", "0012", "0021"},
         {1, 1, 2, 3, 0}, {0, H, V | 8, 0, H},
         [](Document& d, CleanupSummary& s) { return d.MergeDuplicateTiles(true, s); },
         {"1200"}, {0, 0, 0, 0, 0}, {H, 0, 8, H | V, H}, 4},
        {"without flip fields mirror images stay", {"1200", "2100"}, {0, 1}, {},
         [](Document& d, CleanupSummary& s) { return d.MergeDuplicateTiles(true, s); },
         {"1200", "2100"}, {0, 1}, {}, 0, false},
        {"a near pair: the less used tile goes", {"1111", "1112", "3333"}, {1, 0, 1, 2, 1}, {},
         [](Document& d, CleanupSummary& s) { return d.MergeNearTiles(1, s); },
         {"1112", "3333"}, {0, 0, 0, 1, 0}, {}, 5},
        {"a pair merged by hand, mirrored", {"1200", "3333", "2100"}, {2, 1, 2}, {0, 0, H},
         [](Document& d, CleanupSummary& s) { return d.MergeTiles(2, 0, H, s); },
         {"1200", "3333"}, {0, 1, 0}, {H, 0, 0}, 2},
        {"a tile moved up renumbers the map", {"1111", "2222", "3333"}, {0, 1, 2, E}, {},
         [](Document& d, CleanupSummary&) { return d.MoveTile(0, 2); },
         {"2222", "3333", "1111"}, {2, 0, 1, E}, {}, 0},
        {"a tile moved down", {"1111", "2222", "3333"}, {0, 1, 2}, {},
         [](Document& d, CleanupSummary&) { return d.MoveTile(2, 0); },
         {"3333", "1111", "2222"}, {1, 2, 0}, {}, 0},
        {"replace in a selection only", {"1111", "2222", "3333"}, {0, 0, 1, 0, 0}, {},
         [](Document& d, CleanupSummary& s) {
             d.SetCurrentTile(2);
             return d.ReplaceTile(0, Rect{1, 0, 3, 0}, s);
         },
         {"1111", "2222", "3333"}, {0, 2, 1, 2, 0}, {}, 2},
        {"replace keeps the cells' flips", {"1111", "2222"}, {0, 1, 0}, {H, 0, V},
         [](Document& d, CleanupSummary& s) {
             d.SetCurrentTile(1);
             return d.ReplaceTile(0, std::nullopt, s);
         },
         {"1111", "2222"}, {1, 1, 1}, {H, 0, V}, 2},
        {"no such tile", {"1111"}, {0}, {},
         [](Document& d, CleanupSummary& s) { return d.MergeTiles(0, 3, 0, s); },
         {"1111"}, {0}, {}, 0, false},
    };
    for (const CleanupCase& c : cases) {
        SCOPED_TRACE(c.name);
        Document doc;
        MakeWorkshop(doc, c.tiles, c.cells, c.attrs);
        CleanupSummary summary;
        const Status st = c.run(doc, summary);
        EXPECT_EQ(doc.CanUndo(), c.step);
        EXPECT_EQ(TileDigits(doc), c.tilesAfter);
        EXPECT_EQ(doc.map().cells(), c.cellsAfter);
        EXPECT_EQ(doc.map().attrs(), c.attrsAfter.empty() ? c.attrs : c.attrsAfter);
        if (!c.step)
            continue;
        ASSERT_TRUE(st.ok()) << st.message();
        if (summary.tilesBefore != 0) { // the clean-ups sum up
            EXPECT_EQ(summary.tilesAfter, int32_t(c.tilesAfter.size()));
            EXPECT_EQ(summary.cellsChanged, c.cellsChanged);
        }
        for (int round = 0; round < 2; ++round) {
            ASSERT_TRUE(doc.Undo());
            EXPECT_EQ(TileDigits(doc), c.tiles);
            EXPECT_EQ(doc.map().cells(), c.cells);
            EXPECT_EQ(doc.map().attrs(), c.attrs);
            ASSERT_TRUE(doc.Redo());
            EXPECT_EQ(TileDigits(doc), c.tilesAfter);
            EXPECT_EQ(doc.map().cells(), c.cellsAfter);
        }
    }
}

TEST(TileWorkshopTest, RefusalsSayWhy) {
    Document doc;
    MakeWorkshop(doc, {"1111", "2222"}, {E, E});
    CleanupSummary summary;
    EXPECT_EQ(doc.RemoveUnusedTiles(summary).message(), msg::kWouldEmptyTileSet);
    EXPECT_EQ(doc.MoveTile(0, 2).message(), std::string(msg::kNoSuchTileNumber) + "2");
    EXPECT_EQ(doc.EditTilePixels(0, {1, 2, 3}, "x").message(), msg::kBadTilePixels);
    EXPECT_FALSE(doc.CanUndo());
}

} // namespace kesh::test
