#include <gtest/gtest.h>

#include "TileSetSamples.h"
#include "base/Messages.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "tileset/TileSheetExport.h"

using namespace kesh;
using namespace kesh::test;

namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

// The palette index at sheet pixel (x, y), y counted from the top.
uint8_t SheetPixel(const std::vector<uint8_t>& bmp, uint32_t x, uint32_t y) {
    const uint32_t width = U32(bmp, 18), height = U32(bmp, 22);
    const uint32_t stride = (width + 3) / 4 * 4;
    return bmp[1078 + size_t(height - 1 - y) * stride + x];
}

} // namespace

TEST(TileSheet, TwentyThreeTilesMakeThreeSheetRows) {
    TileSet set = MakeTileSet(32, 32);
    for (int i = 0; i < 23; ++i)
        AddTile(set, i + 1, 0); // tile i's pixel (x, y) = i + 1 + 32y + x
    const auto info = set.bitmapInfo();
    const auto bmp = BuildTileSheet(set);

    ASSERT_EQ(bmp.size(), 31798u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(U32(bmp, 2), 31798u);
    EXPECT_EQ(U32(bmp, 10), 1078u);
    EXPECT_EQ(U32(bmp, 14), 40u);
    EXPECT_EQ(U32(bmp, 18), 320u);
    EXPECT_EQ(U32(bmp, 22), 96u);
    EXPECT_EQ(bmp[26] | bmp[27] << 8, 1);
    EXPECT_EQ(bmp[28] | bmp[29] << 8, 8);
    EXPECT_EQ(U32(bmp, 30), 0u);
    EXPECT_EQ(U32(bmp, 34), 320u * 96);
    EXPECT_TRUE(std::equal(bmp.begin() + 54, bmp.begin() + 1078, set.colourTable()));
    EXPECT_EQ(set.bitmapInfo(), info) << "the set's own description is untouched";

    EXPECT_EQ(SheetPixel(bmp, 0, 0), 1);
    EXPECT_EQ(SheetPixel(bmp, 31, 31), uint8_t(1 + 31 * 32 + 31));
    EXPECT_EQ(SheetPixel(bmp, 32 * 2 + 5, 64 + 3), uint8_t(22 + 1 + 3 * 32 + 5)) << "tile 22";
    EXPECT_EQ(SheetPixel(bmp, 32 * 3 + 5, 64 + 3), 0) << "no tile 23";
    EXPECT_EQ(SheetPixel(bmp, 319, 95), 0);
}

TEST(TileSheet, RowsArePaddedToFourBytes) {
    TileSet set = MakeTileSet(9, 9);
    for (int i = 0; i < 10; ++i)
        AddTile(set, 255, 0); // first pixel 255, then 0, 1, ...
    const auto bmp = BuildTileSheet(set);
    ASSERT_EQ(bmp.size(), 1078u + 92 * 9);
    EXPECT_EQ(U32(bmp, 18), 90u);
    EXPECT_EQ(bmp[1078 + 8 * 92], 255) << "top row of tile 0 is stored last";
    for (int row = 0; row < 9; ++row) {
        EXPECT_EQ(bmp[1078 + row * 92 + 90], 0);
        EXPECT_EQ(bmp[1078 + row * 92 + 91], 0);
    }

    const auto empty = BuildTileSheet(MakeTileSet(16, 16));
    ASSERT_EQ(empty.size(), 1078u);
    EXPECT_EQ(U32(empty, 18), 160u);
    EXPECT_EQ(U32(empty, 22), 0u);
    EXPECT_EQ(U32(empty, 34), 0u);
}

TEST(TileSheet, SavesThroughTheFileLayer) {
    TempDir dir;
    TileSet set = MakeTileSet(8, 8);
    AddTile(set, 3, 0);
    const std::string path = dir.file("tiles.bmp");
    ASSERT_TRUE(SaveTileSheet(FileSystem::Native(), path, set));
    EXPECT_EQ(ReadBytes(path), BuildTileSheet(set));

    FaultyFileSystem failing;
    failing.fault = FaultyFileSystem::Fault::Write;
    const Status st = SaveTileSheet(failing, dir.file("other.bmp"), set);
    EXPECT_FALSE(st);
    EXPECT_EQ(st.message().rfind(msg::kSaveFailed, 0), 0u);
}
