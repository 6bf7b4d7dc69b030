#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "doc/Document.h"
#include "support/CellMaps.h"
#include "support/SoakRandom.h"
#include "support/TerrainSets.h"

namespace kesh {
namespace {

using terrainsets::Label;

// A document with a w x h map of empty cells and `set` taken for it; the map
// gets flip fields when `flips`.
void MakeDoc(Document& doc, int32_t w, int32_t h, TerrainSet set, bool flips = false) {
    if (flips)
        cellmaps::UseSnesCells(doc.map(), w, h);
    else
        ASSERT_TRUE(doc.map().AllocateCells(w, h));
    ASSERT_TRUE(doc.SetTerrainSet(std::move(set)));
}

uint16_t TileOf(const TerrainSet& set, TerrainLabel label) {
    for (const TerrainTile& t : set.tiles)
        if (t.label == label)
            return t.tile;
    return kEmptyCell;
}

TEST(TerrainLabelTest, MirrorImagesMovePositionsAndDistanceWeighsTheBlobMiddle) {
    struct Case {
        TerrainKind kind;
        TerrainLabel label;
        uint16_t flips;
        TerrainLabel mirrored;
    };
    const Case cases[] = {
        {TerrainKind::Corner, Label({1, 0, 0, 0}), cellbit::kHFlip, Label({0, 1, 0, 0})},
        {TerrainKind::Corner, Label({1, 0, 0, 0}), cellbit::kVFlip, Label({0, 0, 0, 1})},
        {TerrainKind::Corner, Label({1, 2, 0, 0}), cellbit::kFlips, Label({0, 0, 1, 2})},
        // N, NE, E, SE, S, SW, W, NW, middle
        {TerrainKind::Blob, Label({1, 1, 1, 0, 0, 0, 0, 0, 1}), cellbit::kHFlip,
         Label({1, 0, 0, 0, 0, 0, 1, 1, 1})},
        {TerrainKind::Blob, Label({1, 1, 1, 0, 0, 0, 0, 0, 1}), cellbit::kVFlip,
         Label({0, 0, 1, 1, 1, 0, 0, 0, 1})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FlipLabel(c.kind, c.label, c.flips), c.mirrored) << c.label << " " << c.flips;

    EXPECT_EQ(LabelDistance(TerrainKind::Corner, Label({1, 0, 1, 0}), Label({0, 0, 1, 1})), 2);
    EXPECT_EQ(LabelDistance(TerrainKind::Blob, Label({0, 0, 0, 0, 0, 0, 0, 0, 1}),
                            Label({0, 0, 0, 0, 0, 0, 0, 0, 0})),
              8);
}

TEST(TerrainLabelTest, CheckRefusesBadSets) {
    struct Case {
        std::vector<std::string> names;
        TerrainLabel label;
        bool ok;
    };
    const Case cases[] = {
        {{"물", "풀"}, Label({1, 1, 0, 0}), true},
        {{}, 0, false},
        {{"a", "b", "c", "d", "e", "f", "g", "h", "i"}, 0, false},
        {{"물", ""}, 0, false},
        {{"물", "물"}, 0, false},
        {{"물", "풀"}, Label({2, 0, 0, 0}), false},
    };
    for (const Case& c : cases) {
        TerrainSet set;
        set.terrains = c.names;
        set.tiles = {{0, c.label}};
        EXPECT_EQ(bool(set.Check()), c.ok) << c.names.size() << " " << c.label;
    }
}

// Blob cells painted 풀 on 물, and the label a cell then shows, by hand.
TEST(TerrainResolveTest, BlobCellsFollowTheirNeighbours) {
    struct Case {
        std::vector<Point> painted;
        Point probe;
        TerrainLabel label; // N, NE, E, SE, S, SW, W, NW, middle
    };
    const Case cases[] = {
        {{{1, 1}}, {1, 1}, Label({0, 0, 0, 0, 0, 0, 0, 0, 1})},
        {{{1, 1}, {2, 1}}, {1, 1}, Label({0, 0, 1, 0, 0, 0, 0, 0, 1})},
        {{{1, 1}, {2, 1}, {1, 2}}, {1, 1}, Label({0, 0, 1, 0, 1, 0, 0, 0, 1})},
        {{{1, 1}, {2, 1}, {1, 2}, {2, 2}}, {1, 1}, Label({0, 0, 1, 1, 1, 0, 0, 0, 1})},
        // A diagonal neighbour alone leaves the corner to the edges.
        {{{1, 1}, {2, 2}}, {1, 1}, Label({0, 0, 0, 0, 0, 0, 0, 0, 1})},
        // The lower terrain's cells stay whole.
        {{{1, 1}}, {2, 1}, Label({0, 0, 0, 0, 0, 0, 0, 0, 0})},
        // Outside the map continues the cell.
        {{{0, 0}}, {0, 0}, Label({1, 0, 0, 0, 0, 0, 1, 1, 1})},
    };
    for (const Case& c : cases) {
        Document doc;
        MakeDoc(doc, 4, 4, terrainsets::BlobSet48());
        for (Point p : c.painted)
            doc.PaintTerrain(p, 1);
        doc.EndStroke();
        EXPECT_EQ(doc.terrain().LabelAt(c.probe.x, c.probe.y), c.label) << c.painted.size();
        EXPECT_EQ(doc.map().cellAt(c.probe.x, c.probe.y), TileOf(doc.terrain().set(), c.label));
        EXPECT_EQ(doc.terrainUnmatched(), 0u);
    }
}

// Corner sets: the set's tiles by hand (bit 0 NW, 1 NE, 2 SE, 3 SW); a set
// lacking a label takes the nearest, the earlier tile on a tie; with flip
// fields, mirror images stand in for the tiles it lacks.
TEST(TerrainResolveTest, CornerCellsTakeTheirTileOrTheNearestOrAMirrorImage) {
    const auto only = [](std::vector<int> tiles) {
        TerrainSet set = terrainsets::CornerSet16();
        std::vector<TerrainTile> kept;
        for (int t : tiles)
            kept.push_back(set.tiles[size_t(t)]);
        set.tiles = kept;
        return set;
    };
    struct Case {
        const char* what;
        TerrainSet set;
        bool flips;
        std::vector<Point> painted;
        std::vector<Cell> cells; // the 2 x 2 map, row by row
        uint64_t unmatched;
    };
    const Case cases[] = {
        {"all 16", terrainsets::CornerSet16(), false, {{1, 1}}, {{4, 0}, {8, 0}, {2, 0}, {1, 0}}, 0},
        {"two points", terrainsets::CornerSet16(), false, {{1, 1}, {2, 1}},
         {{4, 0}, {12, 0}, {2, 0}, {3, 0}}, 0},
        {"nearest, ties to the earlier", only({0, 15, 3}), false, {{1, 1}},
         {{0, 0}, {0, 0}, {0, 0}, {0, 0}}, 4},
        // 7 (NW NE SE) is as near 15 as 3; 9 (NW SW) as near 0, 15 and 3.
        {"nearest of three corners", only({0, 15, 3}), false, {{0, 0}, {1, 0}, {1, 1}},
         {{15, 0}, {0, 0}, {0, 0}, {0, 0}}, 4},
        {"mirror images", only({0, 15, 1}), true, {{1, 1}},
         {{1, cellbit::kFlips}, {1, cellbit::kVFlip}, {1, cellbit::kHFlip}, {1, 0}}, 0},
    };
    for (const Case& c : cases) {
        Document doc;
        MakeDoc(doc, 2, 2, c.set, c.flips);
        for (Point p : c.painted)
            doc.PaintTerrain(p, 1);
        doc.EndStroke();
        for (size_t i = 0; i < 4; ++i)
            EXPECT_EQ(doc.map().cell(i), c.cells[i]) << c.what << " cell " << i;
        EXPECT_EQ(doc.terrainUnmatched(), c.unmatched) << c.what;
    }
}

// A stroke and a fill are one step each; undo gives back the cells and the
// values, redo both again.
TEST(TerrainCommandTest, StrokeAndFillAreOneStepEach) {
    for (bool fill : {false, true}) {
        Document doc;
        MakeDoc(doc, 5, 4, terrainsets::CornerSet16());
        doc.ResetHistory();
        const std::vector<uint16_t> cells0 = doc.map().cells();
        const std::vector<uint8_t> values0 = doc.terrain().values();
        if (fill) {
            doc.FillTerrain(Rect{1, 1, 3, 2}, 1);
        } else {
            for (int x = 1; x <= 3; ++x)
                EXPECT_LE(doc.PaintTerrain({x, 1}, 1).left, x);
            EXPECT_EQ(doc.UndoName(), "지형 붓");
            doc.EndStroke();
        }
        EXPECT_EQ(doc.UndoName(), fill ? "지형 채우기" : "지형 붓");
        const std::vector<uint16_t> cells1 = doc.map().cells();
        const std::vector<uint8_t> values1 = doc.terrain().values();
        EXPECT_NE(cells1, cells0);
        ASSERT_TRUE(doc.Undo());
        EXPECT_EQ(doc.map().cells(), cells0) << fill;
        EXPECT_EQ(doc.terrain().values(), values0) << fill;
        EXPECT_FALSE(doc.CanUndo());
        ASSERT_TRUE(doc.Redo());
        EXPECT_EQ(doc.map().cells(), cells1) << fill;
        EXPECT_EQ(doc.terrain().values(), values1) << fill;
    }
}

// Painting a terrain outside the set, outside the grid, or with no set
// changes nothing and makes no step.
TEST(TerrainCommandTest, RequestsOutsideTheSetOrGridDoNothing) {
    Document doc;
    ASSERT_TRUE(doc.map().AllocateCells(3, 3));
    EXPECT_GT(doc.PaintTerrain({1, 1}, 1).left, doc.PaintTerrain({1, 1}, 1).right);
    ASSERT_TRUE(doc.SetTerrainSet(terrainsets::CornerSet16()));
    doc.ResetHistory();
    for (auto [at, terrain] : {std::pair{Point{4, 0}, 1}, {Point{-1, 0}, 1}, {Point{0, 0}, 2},
                               {Point{0, 0}, -1}, {Point{0, 0}, 0}})
        EXPECT_GT(doc.PaintTerrain(at, terrain).left, doc.PaintTerrain(at, terrain).right);
    doc.EndStroke();
    doc.FillTerrain(Rect{0, 0, 3, 3}, 5);
    EXPECT_FALSE(doc.CanUndo());
}

// The values a map was painted with come back from its cells alone.
TEST(TerrainLayerTest, ValuesAreRebuiltFromTheCells) {
    for (const TerrainSet& set : {terrainsets::CornerSet16(), terrainsets::BlobSet48()}) {
        Document doc;
        MakeDoc(doc, 6, 5, set);
        test::Rng rng(7);
        for (int i = 0; i < 20; ++i)
            doc.PaintTerrain({rng.below(doc.terrain().valuesWide()),
                              rng.below(doc.terrain().valuesHigh())},
                             1);
        doc.EndStroke();
        TerrainLayer again;
        ASSERT_TRUE(again.Attach(set, doc.map()));
        EXPECT_EQ(again.values(), doc.terrain().values()) << int(set.kind);
    }
}

// Random strokes, applied in shuffled orders, give identical maps, and the
// map each time is the one chosen afresh from the final values.
TEST(TerrainPropertyTest, StrokeOrderDoesNotMatter) {
    for (TerrainSet set : {terrainsets::CornerSet16(), terrainsets::BlobSet48()}) {
        // Variants for the all-풀 label, picked at random.
        const TerrainLabel full = UniformLabel(set.kind, 1);
        set.tiles.push_back({100, full});
        set.tiles.push_back({101, full});
        const int32_t w = 17, h = 13;
        const int32_t extra = set.kind == TerrainKind::Corner ? 1 : 0;
        const int32_t vw = w + extra, vh = h + extra;
        test::Rng rng(uint64_t(set.kind) * 1000 + 30);
        // Strokes of random walks; a point another stroke gave the other
        // terrain is left out, so the final values do not depend on order.
        struct Stroke {
            int terrain;
            std::vector<Point> points;
        };
        std::vector<Stroke> strokes;
        std::vector<int> owner(size_t(vw * vh), -1);
        for (int s = 0; s < 24; ++s) {
            Stroke stroke{rng.below(2), {}};
            Point p{rng.below(vw), rng.below(vh)};
            for (int step = 0; step < 30; ++step) {
                p.x = std::clamp(p.x + rng.range(-1, 1), 0, vw - 1);
                p.y = std::clamp(p.y + rng.range(-1, 1), 0, vh - 1);
                int& o = owner[size_t(p.y * vw + p.x)];
                if (o == -1)
                    o = stroke.terrain;
                if (o == stroke.terrain)
                    stroke.points.push_back(p);
            }
            strokes.push_back(stroke);
        }
        std::vector<uint16_t> first;
        for (int round = 0; round < 6; ++round) {
            Document doc;
            MakeDoc(doc, w, h, set);
            doc.SetTerrainOptions({true, false, 99});
            // Every cell chosen once from the values, all 물.
            doc.FillTerrain(Rect{0, 0, vw - 1, vh - 1}, 0);
            std::vector<size_t> order(strokes.size());
            std::iota(order.begin(), order.end(), 0);
            for (size_t i = order.size(); i > 1; --i)
                std::swap(order[i - 1], order[size_t(rng.below(int32_t(i)))]);
            for (size_t s : order) {
                for (Point p : strokes[s].points)
                    doc.PaintTerrain(p, strokes[s].terrain);
                doc.EndStroke();
            }
            if (round == 0) {
                first = doc.map().cells();
                MapModel fresh = doc.map();
                doc.terrain().ChooseAll(fresh);
                for (size_t i = 0; i < first.size(); ++i)
                    EXPECT_EQ(fresh.cells()[i], first[i]) << "kind " << int(set.kind) << " " << i;
                EXPECT_GT(std::count(first.begin(), first.end(), 101), 0);
            }
            EXPECT_EQ(doc.map().cells(), first) << "kind " << int(set.kind) << " round " << round;
        }
    }
}

} // namespace
} // namespace kesh
