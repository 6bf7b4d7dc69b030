#include <gtest/gtest.h>

#include <random>

#include "doc/CommandNames.h"
#include "edit/TilePixelTools.h"
#include "map/TileUsage.h"
#include "support/WorkshopTiles.h"
#include "tileset/NearDuplicates.h"

// Editing a tile's pixels: the whole-tile changes, the drawing tools'
// geometry, and finding the tiles an edit made equal or nearly equal.

namespace kesh::test {

namespace {

std::string Digits(const std::vector<uint8_t>& pixels) {
    std::string s;
    for (const uint8_t p : pixels)
        s += char('0' + p);
    return s;
}

std::string Drawn(const std::vector<Point>& points, int32_t w, int32_t h) {
    std::vector<uint8_t> blank(size_t(w * h), 0);
    return Digits(TilePixelTools::Paint(blank.data(), w, h, points, 1));
}

} // namespace

TEST(TilePixelsTest, WholeTileChanges) {
    struct Case {
        int32_t w, h;
        const char* before;
        TileTransform how;
        const char* after; // empty: refused
    };
    const std::vector<Case> cases = {
        {3, 2, "123456", TileTransform::FlipH, "321654"},
        {3, 2, "123456", TileTransform::FlipV, "456123"},
        {3, 2, "123456", TileTransform::ShiftLeft, "231564"},
        {3, 2, "123456", TileTransform::ShiftRight, "312645"},
        {3, 2, "123456", TileTransform::ShiftUp, "456123"},
        {3, 3, "123456789", TileTransform::ShiftDown, "789123456"},
        {3, 3, "123456789", TileTransform::Rotate90, "741852963"},
        {3, 2, "123456", TileTransform::Rotate90, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before + std::string(" ") + std::to_string(int(c.how)));
        EXPECT_EQ(Digits(TransformTile(Pixels2x2(c.before).data(), c.w, c.h, c.how)), c.after);
    }
}

TEST(TilePixelsTest, ToolsTouchThePixelsOfTheirShape) {
    const std::vector<uint8_t> pattern = Pixels2x2("1100"
                                                   "1010"
                                                   "0110"
                                                   "0001");
    struct Case {
        const char* name;
        std::vector<Point> points;
        const char* drawn; // 4 x 4, touched pixels 1
    };
    const std::vector<Case> cases = {
        {"shallow line", TilePixelTools::Line({0, 0}, {3, 1}, 4, 4), "1100001100000000"},
        {"steep line, backwards", TilePixelTools::Line({1, 3}, {0, 0}, 4, 4), "1000100001000100"},
        {"line cut at the edge", TilePixelTools::Line({-2, 1}, {5, 1}, 4, 4), "0000111100000000"},
        {"outline", TilePixelTools::Rectangle({2, 3}, {0, 1}, false, 4, 4), "0000111010101110"},
        {"filled, cut", TilePixelTools::Rectangle({2, 2}, {9, 9}, true, 4, 4), "0000000000110011"},
        {"fill through edges, not corners",
         TilePixelTools::FloodFill(pattern.data(), 4, 4, {0, 0}), "1100100000000000"},
        {"fill of the background", TilePixelTools::FloodFill(pattern.data(), 4, 4, {3, 0}),
         "0011000100010000"},
        {"fill outside", TilePixelTools::FloodFill(pattern.data(), 4, 4, {4, 0}),
         "0000000000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Drawn(c.points, 4, 4), c.drawn);
    }
}

TEST(TilePixelsTest, AnEditIsOneStepAndKeepsTheDuplicateIndexRight) {
    Document doc;
    MakeWorkshop(doc, {"1200", "3333"}, {0, 1}, {0, 0});
    ASSERT_TRUE(doc.EditTilePixels(1, Pixels2x2("0021"), command::kEditTile).ok());
    EXPECT_EQ(TileDigits(doc), (std::vector<std::string>{"1200", "0021"}));
    // The panel's "타일 N과 같습니다": tile 1 is tile 0 turned both ways.
    EXPECT_EQ(TileMatcher::FindEqual(doc.tiles().tiles(), 1, doc.mapFlips()),
              (TileMatch{0, cellbit::kHFlip | cellbit::kVFlip}));
    EXPECT_EQ(TileMatcher::FindEqual(doc.tiles().tiles(), 1, 0), std::nullopt);
    // The set's own index knows the new pixels and forgot the old ones.
    TileList& list = doc.tiles().tiles();
    ASSERT_TRUE(list.AddUnique(Pixels2x2("0021").data(), 0));
    EXPECT_EQ(list.count(), 2u);
    ASSERT_TRUE(list.AddUnique(Pixels2x2("3333").data(), 0));
    EXPECT_EQ(list.count(), 3u);
    list.Delete(2);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(TileDigits(doc), (std::vector<std::string>{"1200", "3333"}));
    ASSERT_TRUE(list.AddUnique(Pixels2x2("3333").data(), 0));
    EXPECT_EQ(list.count(), 2u);
    // Turning the tile back by a whole-tile change is a step of its own.
    ASSERT_TRUE(doc.TransformTile(0, TileTransform::Rotate90).ok());
    EXPECT_EQ(doc.UndoName(), command::kRotateTile);
}

// Usage counts, equal tiles and near pairs agree with counting by hand on
// random sets with few colours, where matches are common.
TEST(TilePixelsTest, FindingsAgreeWithPlainCounting) {
    std::mt19937 rng(29);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        TileList list;
        list.Setup(3, 2);
        const int count = 40 + int(rng() % 40);
        for (int t = 0; t < count; ++t) {
            uint8_t p[6];
            for (uint8_t& v : p)
                v = uint8_t(rng() % 2);
            list.Append(p, rng() % 4 == 0);
        }
        const int32_t most = int32_t(rng() % 3);
        std::vector<NearPair> want;
        for (int a = 0; a < count; ++a)
            for (int b = a + 1; b < count; ++b) {
                int d = 0;
                for (int i = 0; i < 6; ++i)
                    d += list.PixelsAt(a)[i] != list.PixelsAt(b)[i];
                if (d <= most)
                    want.push_back({a, b, d});
            }
        std::sort(want.begin(), want.end(), [](const NearPair& x, const NearPair& y) {
            return std::tie(x.differing, x.a, x.b) < std::tie(y.differing, y.a, y.b);
        });
        EXPECT_EQ(NearDuplicates::Find(list, most).pairs, want);
        // Under a limit, the closest pairs are the ones kept, in the same order.
        const size_t limit = want.size() / 2;
        const NearDuplicates cut = NearDuplicates::Find(list, most, limit);
        EXPECT_EQ(cut.truncated, limit < want.size());
        EXPECT_EQ(cut.pairs, std::vector<NearPair>(want.begin(), want.begin() + std::ptrdiff_t(limit)));

        const TileMatcher matcher(list, cellbit::kFlips);
        int distinct = 0;
        for (int t = 0; t < count; ++t) {
            const TileMatch m = matcher.classes()[size_t(t)];
            distinct += m.tile == t;
            ASSERT_LE(m.tile, t);
            std::vector<uint8_t> image(6);
            MirrorTile(list.PixelsAt(m.tile), 3, 2, m.flip, image.data());
            EXPECT_TRUE(list.PixelsEqual(image.data(), t));
            EXPECT_EQ(list.AttributeAt(t), list.AttributeAt(m.tile));
        }
        EXPECT_EQ(matcher.distinct(), distinct);

        std::vector<uint16_t> cells(500);
        for (uint16_t& c : cells)
            c = rng() % 5 == 0 ? kEmptyCell : uint16_t(rng() % uint32_t(count + 5));
        const TileUsage usage = TileUsage::Count(cells, count);
        for (int t = 0; t < count; ++t)
            EXPECT_EQ(usage.counts[size_t(t)], uint64_t(std::count(cells.begin(), cells.end(), t)));
        EXPECT_EQ(usage.empty, uint64_t(std::count(cells.begin(), cells.end(), kEmptyCell)));
        EXPECT_EQ(usage.outside, uint64_t(std::count_if(cells.begin(), cells.end(), [&](uint16_t c) {
                                     return c != kEmptyCell && c >= count;
                                 })));
    }
}

} // namespace kesh::test
