#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "image/SubPalettePacker.h"

using namespace kesh;

namespace {

using Tiles = std::vector<std::vector<uint32_t>>;

struct Case {
    const char* name;
    int palettes, colours, area;
    int32_t tilesAcross;
    Tiles tiles;
    const char* refusal; // nullptr: a packing must be found
};

// Every tile's colours lie in its palette, the palettes are at most P of at
// most K colours with colour 0 first, and the tiles of one area share one.
void ExpectValid(const Case& c, const SubPalettes& r) {
    ASSERT_LE(r.palettes.size(), size_t(c.palettes));
    for (const auto& p : r.palettes) {
        EXPECT_LE(p.size(), size_t(c.colours));
        ASSERT_FALSE(p.empty());
        EXPECT_EQ(p[0], 0u);
    }
    ASSERT_EQ(r.paletteOfTile.size(), c.tiles.size());
    for (size_t t = 0; t < c.tiles.size(); ++t) {
        const auto& palette = r.palettes.at(r.paletteOfTile[t]);
        for (uint32_t colour : c.tiles[t])
            EXPECT_NE(std::find(palette.begin(), palette.end(), colour), palette.end())
                << "tile " << t << " colour " << colour;
        const size_t x = t % size_t(c.tilesAcross), y = t / size_t(c.tilesAcross);
        const size_t first =
            (y - y % size_t(c.area)) * size_t(c.tilesAcross) + x - x % size_t(c.area);
        EXPECT_EQ(r.paletteOfTile[t], r.paletteOfTile[first]) << "tile " << t;
    }
}

} // namespace

TEST(SubPalettePackerTest, PacksWhatFitsAndNamesWhatDoesNot) {
    const Case cases[] = {
        {"two groups of colours",
         2,
         4,
         1,
         5,
         {{0, 1, 2, 3}, {0, 4, 5, 6}, {1, 2}, {5}, {0}},
         nullptr},
        // Sharing nothing, they still have to go three to a palette.
        {"single colours packed as bins", 2, 4, 1, 6, {{1}, {2}, {3}, {4}, {5}, {6}}, nullptr},
        {"full palettes, small sets first",
         4,
         4,
         1,
         4,
         {{1}, {4}, {7}, {10}, {2, 3}, {5, 6}, {8, 9}, {11, 12}, {3, 1}, {6, 4}, {9, 7}, {12, 10}},
         nullptr},
        {"a chain of overlapping pairs",
         2,
         5,
         1,
         5,
         {{1, 2}, {5, 6}, {2, 3}, {6, 7}, {3, 4}},
         nullptr},
        {"only colour 0", 1, 4, 1, 2, {{0}, {0, 0}}, nullptr},
        {"a tile with too many colours",
         8,
         4,
         1,
         2,
         {{1}, {1, 2, 3, 4}},
         "그림의 (8, 0) 위치의 타일은 0번 색 말고도 색이 4개"},
        {"no packing",
         1,
         4,
         1,
         2,
         {{1, 2, 3}, {4}},
         "그림의 (8, 0) 위치의 타일의 색을 팔레트 1개 × 색 4개"},
        {"no packing, second row",
         2,
         3,
         1,
         2,
         {{1, 2}, {3, 4}, {1, 3}, {2}},
         "그림의 (0, 8) 위치의 타일의 색을"},
        // NES: 2 x 2 tiles share a palette; 4 x 2 tiles are two areas.
        {"areas of 2 x 2 tiles", 4, 4, 2, 4, {{1}, {2}, {4, 5}, {6}, {3}, {0}, {}, {4}}, nullptr},
        {"an area with too many colours",
         4,
         4,
         2,
         4,
         {{1}, {5}, {4, 5}, {6}, {2}, {3}, {}, {4}},
         "그림의 (0, 0) 위치의 16×16 영역은 0번 색 말고도 색이 4개"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SubPalettePacker packer(c.palettes, c.colours);
        packer.SetArea(c.area, c.area);
        SubPalettes r;
        const Status st = packer.Pack(c.tiles, c.tilesAcross, 8, 8, 0, r);
        if (!c.refusal) {
            ASSERT_TRUE(st.ok()) << st.message();
            ExpectValid(c, r);
        } else {
            ASSERT_FALSE(st.ok());
            EXPECT_NE(st.message().find(c.refusal), std::string::npos) << st.message();
        }
    }
}

// A picture made from 8 palettes of 15 colours each, every tile a random
// part of one of them, always packs, at 8 x 8 tiles and at 2 x 2 areas.
TEST(SubPalettePackerTest, FindsPlantedPalettes) {
    std::mt19937 random(28);
    for (int area : {1, 2}) {
        Case c{"planted", 8, 16, area, 32, {}, nullptr};
        std::vector<uint32_t> paletteOfArea(32 * 32);
        for (uint32_t& p : paletteOfArea)
            p = random() % 8;
        for (size_t t = 0; t < 32 * 32; ++t) {
            const uint32_t palette =
                paletteOfArea[(t / 32 / size_t(area)) * 32 + t % 32 / size_t(area)];
            std::vector<uint32_t> tile{0};
            for (uint32_t k = 1; k <= 15; ++k)
                if (random() % 3 == 0)
                    tile.push_back(palette * 100 + k);
            c.tiles.push_back(tile);
        }
        SubPalettePacker packer(8, 16);
        packer.SetArea(area, area);
        SubPalettes r;
        const Status st = packer.Pack(c.tiles, 32, 8, 8, 0, r);
        ASSERT_TRUE(st.ok()) << st.message();
        ExpectValid(c, r);
    }
}

TEST(SubPalettePackerTest, RefusesTilesThatAreNotWholeRows) {
    SubPalettes r;
    EXPECT_FALSE(SubPalettePacker(2, 4).Pack({{1}, {2}, {3}}, 2, 8, 8, 0, r).ok());
    EXPECT_FALSE(SubPalettePacker(2, 4).Pack({{1}}, 0, 8, 8, 0, r).ok());
}
