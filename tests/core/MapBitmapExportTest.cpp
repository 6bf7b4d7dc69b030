#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/Messages.h"
#include "map/MapBitmapExport.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

using namespace kesh;
using kesh::test::FaultyFileSystem;
using kesh::test::ReadBytes;
using kesh::test::TempDir;
using kesh::test::WriteBytes;

using Bytes = std::vector<uint8_t>;

namespace {

uint32_t U32(const Bytes& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

// One tile of w x h whose pixel (x, y) is 16 * y + x + 1.
TileSet OneTile(int32_t w, int32_t h) {
    TileSet set;
    set.format().width = w;
    set.format().height = h;
    set.InitTileSet();
    Bytes pixels(size_t(w * h));
    for (int32_t i = 0; i < w * h; ++i)
        pixels[size_t(i)] = uint8_t(16 * (i / w) + i % w + 1);
    set.tiles().Append(pixels.data(), 0);
    return set;
}

MapModel MapOf(int32_t w, int32_t h) {
    MapModel map;
    EXPECT_TRUE(map.AllocateCells(w, h));
    return map;
}

} // namespace

TEST(MapBitmapExportTest, TwoCellsOneEmpty) {
    TempDir dir;
    MapModel map = MapOf(2, 1);
    map.cells()[0] = 0;
    const TileSet tiles = OneTile(16, 16);
    ASSERT_TRUE(ExportMapBitmap(FileSystem::Native(), dir.file("m.bmp"), map, tiles));
    const Bytes b = ReadBytes(dir.file("m.bmp"));
    ASSERT_EQ(b.size(), 1078u + 32 * 16);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(U32(b, 2), 1078u + 512);
    EXPECT_EQ(U32(b, 10), 1078u);
    EXPECT_EQ(U32(b, 14), 40u);
    EXPECT_EQ(U32(b, 18), 32u);
    EXPECT_EQ(U32(b, 22), 16u);
    EXPECT_EQ(b[26] | b[27] << 8, 1);
    EXPECT_EQ(b[28] | b[29] << 8, 8);
    EXPECT_EQ(U32(b, 30), 0u);
    EXPECT_EQ(U32(b, 34), 512u);
    for (size_t at : {38, 42, 46, 50})
        EXPECT_EQ(U32(b, at), 0u);
    EXPECT_TRUE(std::equal(b.begin() + 54, b.begin() + 1078, tiles.colourTable()));
    // Bottom row of the tile first; the empty cell is index 0.
    for (int row = 0; row < 16; ++row) {
        const uint8_t* line = b.data() + 1078 + 32 * row;
        const uint8_t* tileRow = tiles.tiles().PixelsAt(0) + 16 * (15 - row);
        EXPECT_TRUE(std::equal(line, line + 16, tileRow)) << row;
        EXPECT_TRUE(std::all_of(line + 16, line + 32, [](uint8_t v) { return v == 0; })) << row;
    }
    // The tile set's own one-tile description is untouched.
    EXPECT_EQ(tiles.bitmapInfo()[4], 16);
}

TEST(MapBitmapExportTest, RowsArePaddedToFourBytes) {
    TempDir dir;
    MapModel map = MapOf(3, 2);
    map.cells() = {0, 4000, kEmptyCell, kEmptyCell, kEmptyCell, 0}; // 4000 names no tile
    TileSet tiles = OneTile(10, 10);
    ColourTable colours{};
    colours[4] = 0xAB;
    tiles.SetColourTable(colours);
    ASSERT_TRUE(ExportMapBitmap(FileSystem::Native(), dir.file("m.bmp"), map, tiles));
    const Bytes b = ReadBytes(dir.file("m.bmp"));
    EXPECT_EQ(U32(b, 18), 30u);
    EXPECT_EQ(U32(b, 22), 20u);
    EXPECT_EQ(U32(b, 34), 32u * 20);
    ASSERT_EQ(b.size(), 1078u + 32 * 20);
    EXPECT_TRUE(std::equal(colours.begin(), colours.end(), b.begin() + 54));
    const uint8_t* tile = tiles.tiles().PixelsAt(0);
    for (int row = 0; row < 20; ++row) {
        const uint8_t* line = b.data() + 1078 + 32 * row;
        const int y = 9 - row % 10;
        // File rows 0-9 are the map's bottom row (tile in the last cell), 10-19 its top row.
        const int tileCell = row < 10 ? 2 : 0;
        for (int cell = 0; cell < 3; ++cell) {
            const uint8_t* part = line + 10 * cell;
            if (cell == tileCell)
                EXPECT_TRUE(std::equal(part, part + 10, tile + 10 * y)) << row;
            else
                EXPECT_TRUE(std::all_of(part, part + 10, [](uint8_t v) { return v == 0; })) << row;
        }
        EXPECT_EQ(line[30], 0);
        EXPECT_EQ(line[31], 0);
    }
}

TEST(MapBitmapExportTest, ImagesTooLargeForTheHeaderAreRefused) {
    EXPECT_TRUE(FitsBitmap(16000, 16000));
    EXPECT_TRUE(FitsBitmap(2147482568, 1));  // file size 2^31 - 2 bytes
    EXPECT_FALSE(FitsBitmap(2147482569, 1)); // its row is padded to 2147482572 bytes
    EXPECT_FALSE(FitsBitmap(1, 2147483648));
    EXPECT_FALSE(FitsBitmap(65536, 32768));

    TempDir dir;
    const MapModel map = MapOf(65535, 1);
    TileSet tiles;
    tiles.format().width = 40000; // 2.6 billion pixels wide
    tiles.format().height = 1;
    EXPECT_EQ(ExportMapBitmap(FileSystem::Native(), dir.file("m.bmp"), map, tiles).message(),
              msg::kMapTooLargeForBitmap);
    EXPECT_TRUE(dir.entries().empty());
}

TEST(MapBitmapExportTest, FailedWriteLeavesNoPartialFile) {
    TempDir dir;
    const std::string path = dir.file("m.bmp");
    WriteBytes(path, {9, 9});
    const MapModel map = MapOf(256, 64); // a 4 MiB image
    const TileSet tiles = OneTile(16, 16);
    using Fault = FaultyFileSystem::Fault;
    for (Fault fault : {Fault::Create, Fault::Write, Fault::Sync, Fault::Close, Fault::Rename}) {
        FaultyFileSystem fs;
        fs.fault = fault;
        fs.writeBudget = 3 << 20; // the disk fills up after a few buffers
        const Status st = ExportMapBitmap(fs, path, map, tiles);
        EXPECT_EQ(st.message(), std::string(msg::kSaveFailed) + "\n" + path);
        EXPECT_EQ(ReadBytes(path), (Bytes{9, 9}));
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"m.bmp"});
    }
    ASSERT_TRUE(ExportMapBitmap(FileSystem::Native(), path, map, tiles));
    EXPECT_EQ(ReadBytes(path).size(), 1078u + 4096 * 1024);
}

// The renamed file's folder reaches the disk before the export counts as
// done; when it cannot, the user hears so.
TEST(MapBitmapExportTest, TheFolderIsSyncedAfterTheRename) {
    TempDir dir;
    const std::string path = dir.file("m.bmp");
    FaultyFileSystem fs;
    fs.fault = FaultyFileSystem::Fault::SyncFolder;
    const Status st = ExportMapBitmap(fs, path, MapOf(2, 2), OneTile(8, 8));
    EXPECT_EQ(st.message(), std::string(msg::kSaveFailed) + "\n" + path);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"m.bmp"}); // no temporary left
}

TEST(MapBitmapExportTest, AReadOnlyBitmapIsNotReplaced) {
    TempDir dir;
    const std::string path = dir.file("m.bmp");
    WriteBytes(path, {9, 9});
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    const Status st = ExportMapBitmap(FileSystem::Native(), path, MapOf(2, 2), OneTile(8, 8));
    EXPECT_EQ(st.message(),
              std::string(msg::kSaveFailed) + "\n" + path + "\n" + msg::kReadOnlyFile);
    EXPECT_EQ(ReadBytes(path), (Bytes{9, 9}));
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"m.bmp"});
}

TEST(MapBitmapExportTest, ASymbolicLinkKeepsLeadingToTheBitmap) {
    TempDir dir;
    const std::string real = dir.file("real.bmp");
    const std::string link = dir.file("m.bmp");
    WriteBytes(real, {9, 9});
    std::filesystem::create_symlink(real, link);
    ASSERT_TRUE(ExportMapBitmap(FileSystem::Native(), link, MapOf(2, 2), OneTile(8, 8)));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(real).size(), 1078u + 16 * 16);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"m.bmp", "real.bmp"}));
}
