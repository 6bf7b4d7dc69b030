#include <gtest/gtest.h>

#include <functional>

#include "app/CleanupProcedures.h"
#include "base/Messages.h"
#include "layout/CellFields.h"
#include "support/ScriptedUserServices.h"
#include "support/WorkshopTiles.h"

// What the tile menu's clean-ups tell the user: the summary of a step, that
// there was nothing to do, or the document's refusal.

namespace kesh::test {

namespace {

constexpr uint16_t E = kEmptyCell;

struct TellCase {
    const char* name;
    std::vector<std::string> tiles;
    std::vector<uint16_t> cells;
    std::vector<uint16_t> attrs; // none: a map without cell fields
    std::function<bool(CleanupProcedures&)> run;
    std::string told;
    MessageIcon icon;
    int32_t tilesAfter;
};

bool Remove(CleanupProcedures& p) {
    return p.RemoveUnused();
}
bool Merge(CleanupProcedures& p) {
    return p.MergeDuplicates();
}
bool MergeNear(CleanupProcedures& p) {
    return p.MergeAllNear(1);
}

} // namespace

TEST(CleanupProceduresTest, EachCleanUpTellsWhatItDidOrWhyNot) {
    const auto none = MessageIcon::None;
    const std::vector<TellCase> cases = {
        {"unused tiles removed",
         {"1111", "2222", "3333", "4444"},
         {0, 2, 2, 3},
         {},
         Remove,
         "사용하지 않는 타일 1개를 지웠습니다.\n타일 4개 → 3개, 셀 3개를 바꿨습니다.",
         none,
         3},
        {"unused tiles at the end: no cell renumbered",
         {"1111", "2222", "3333"},
         {0, 1},
         {},
         Remove,
         "사용하지 않는 타일 1개를 지웠습니다.\n타일 3개 → 2개, 바뀐 셀은 없습니다.",
         none,
         2},
        {"every tile used", {"1111", "2222"}, {0, 1}, {}, Remove, "지울 타일이 없습니다.", none, 2},
        {"no cell shows a tile: refused",
         {"1111", "2222"},
         {E, E},
         {},
         Remove,
         msg::kWouldEmptyTileSet,
         MessageIcon::Warning,
         2},
        {"equal tiles merged",
         {"1234", "5555", "1234"},
         {2, 2, 1},
         {},
         Merge,
         "같은 타일 1개를 합쳤습니다.\n타일 3개 → 2개, 셀 2개를 바꿨습니다.",
         none,
         2},
        {"mirror images merged while the map has flip fields",
         {"1234", "2143"},
         {1, 0},
         {0, 0},
         Merge,
         "같은 타일(뒤집은 모양 포함) 1개를 합쳤습니다.\n타일 2개 → 1개, 셀 1개를 바꿨습니다.",
         none,
         1},
        {"mirror images stay without flip fields",
         {"1234", "2143"},
         {1, 0},
         {},
         Merge,
         "합칠 타일이 없습니다.",
         none,
         2},
        {"near pairs merged",
         {"1111", "1112", "3333", "3330"},
         {1, 0, 1, 2, 3},
         {},
         MergeNear,
         "비슷한 타일 2쌍을 합쳤습니다.\n타일 4개 → 2개, 셀 5개를 바꿨습니다.",
         none,
         2},
        {"no near pair", {"1111", "2222"}, {0, 1}, {}, MergeNear, "합칠 타일이 없습니다.", none, 2},
    };
    for (const TellCase& c : cases) {
        SCOPED_TRACE(c.name);
        Document doc;
        MakeWorkshop(doc, c.tiles, c.cells, c.attrs);
        ScriptedUserServices user;
        CleanupProcedures procs(doc, user);
        const size_t steps = doc.history().size();
        const bool took = c.run(procs);
        EXPECT_EQ(user.messages(), std::vector<std::string>{c.told});
        ASSERT_EQ(user.calls().size(), 1u);
        EXPECT_EQ(user.calls()[0].icon, c.icon);
        EXPECT_EQ(doc.tiles().count(), c.tilesAfter);
        EXPECT_EQ(took, doc.tiles().count() != int32_t(c.tiles.size()));
        EXPECT_EQ(doc.history().size(), steps + (took ? 1 : 0));
    }
}

TEST(CleanupProceduresTest, LargeCountsAreGroupedInThousands) {
    CleanupSummary s{4096, 1024, 1234567, 0, 3072};
    EXPECT_EQ(CleanupProcedures::RemovedText(s),
              "사용하지 않는 타일 3,072개를 지웠습니다.\n"
              "타일 4,096개 → 1,024개, 셀 1,234,567개를 바꿨습니다.");
}

TEST(CleanupProceduresTest, APairGoesIntoItsMoreUsedTileOrItsLowerNumber) {
    struct Case {
        NearPair pair;
        std::vector<uint64_t> counts;
        PairMerge merge;
        const char* text; // after a merge that changed 12 cells
    } cases[] = {
        {{3, 7, 1}, {0, 0, 0, 5, 0, 0, 0, 1}, {7, 3}, "타일 7을 타일 3에 합쳤습니다. "},
        {{3, 7, 1}, {0, 0, 0, 1, 0, 0, 0, 5}, {3, 7}, "타일 3을 타일 7에 합쳤습니다. "},
        {{2, 4, 1}, {0, 0, 2, 0, 2}, {4, 2}, "타일 4를 타일 2에 합쳤습니다. "},
        {{9, 2, 1}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {9, 2}, "타일 9를 타일 2에 합쳤습니다. "},
        {{1, 10, 2}, {0, 0}, {10, 1}, "타일 10을 타일 1에 합쳤습니다. "},
        {{1, 12, 2}, {}, {12, 1}, "타일 12를 타일 1에 합쳤습니다. "},
        {{0, 5, 2}, {}, {5, 0}, "타일 5를 타일 0에 합쳤습니다. "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TileUsage usage;
        usage.counts = c.counts;
        const PairMerge merge = CleanupProcedures::PairDirection(c.pair, usage);
        EXPECT_EQ(merge, c.merge);
        CleanupSummary s;
        s.cellsChanged = 12;
        EXPECT_EQ(CleanupProcedures::PairText(merge, s),
                  std::string(c.text) + "셀 12개를 바꿨습니다.");
    }
}

TEST(CleanupProceduresTest, APairMergesSilentlyOrTellsWhyNot) {
    Document doc;
    MakeWorkshop(doc, {"1111", "1112", "3333"}, {1, 0, 1, 2, 1});
    ScriptedUserServices user;
    CleanupProcedures procs(doc, user);
    CleanupSummary summary;
    ASSERT_TRUE(procs.MergePair({0, 1, 1}, summary)); // 0 into 1, the more used
    EXPECT_TRUE(user.calls().empty());
    EXPECT_EQ(TileDigits(doc), (std::vector<std::string>{"1112", "3333"}));
    EXPECT_EQ(doc.history().size(), 1u);

    // A pair the set no longer has is refused with the document's message.
    EXPECT_FALSE(procs.MergePair({0, 5, 1}, summary));
    EXPECT_EQ(user.messages(), std::vector<std::string>{std::string(msg::kNoSuchTileNumber) + "5"});
    EXPECT_EQ(doc.history().size(), 1u);
}

} // namespace kesh::test
