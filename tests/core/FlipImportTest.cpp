// "뒤집힌 타일도 같은 타일로": a block equal to a stored tile's mirror image
// becomes that tile with the flip bits set.
#include <gtest/gtest.h>

#include "image/ImportImage.h"
#include "map/MapModel.h"
#include "support/TestTiles.h"

using namespace kesh;

TEST(FlipImportTest, MirrorImagesBecomeFlipsOfOneTile) {
    // 2 x 2 tiles: A = [1 2 / 3 4], then A mirrored left to right, top to
    // bottom, both, and a tile that is its own mirror image.
    Image image;
    image.m_width = 10;
    image.m_height = 2;
    image.m_pixelCount = 20;
    image.m_pixels = {1, 2, 2, 1, 3, 4, 4, 3, 5, 5,  //
                      3, 4, 4, 3, 1, 2, 2, 1, 5, 5};
    const uint16_t h = cellbit::kHFlip, v = cellbit::kVFlip;
    struct Case {
        bool flips;
        int64_t added;
        std::vector<uint16_t> cells, attrs;
        int64_t flipped;
    };
    const Case cases[] = {
        {true, 2, {0, 0, 0, 0, 1}, {0, h, v, uint16_t(h | v), 0}, 3},
        {false, 5, {0, 1, 2, 3, 4}, {}, 0},
    };
    for (const Case& c : cases) {
        TileSet set;
        kesh::test::MakeTiles(set, 2, 2, 0);
        ImportOptions options;
        options.makeMap = true;
        options.flips = c.flips;
        const ImportResult r = ImportImage(set, image, options);
        ASSERT_TRUE(r.status) << r.status.message();
        EXPECT_EQ(r.added, c.added);
        EXPECT_EQ(r.cells, c.cells);
        EXPECT_EQ(r.attrs, c.attrs);
        EXPECT_EQ(r.flippedCells, c.flipped);
    }
}
