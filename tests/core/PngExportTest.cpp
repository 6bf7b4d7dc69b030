// The PNG exports hold the same pixels and colours as the BMP exports.
#include <gtest/gtest.h>

#include "base/Messages.h"
#include "map/MapBitmapExport.h"
#include "map/MapPngExport.h"
#include "raster/ImageDecoders.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"
#include "tileset/TileSheetExport.h"

using namespace kesh;
using kesh::test::FaultyFileSystem;
using kesh::test::ReadBytes;
using kesh::test::TempDir;
using kesh::test::WriteBytes;
using Bytes = std::vector<uint8_t>;

namespace {

Image Decode(const Bytes& bytes) {
    Image image;
    EXPECT_TRUE(ReadImage(bytes, image));
    return image;
}

void ExpectSameImage(const Image& png, const Image& bmp) {
    EXPECT_EQ(png.m_kind, PixelKind::Indexed);
    EXPECT_EQ(png.m_width, bmp.m_width);
    EXPECT_EQ(png.m_height, bmp.m_height);
    EXPECT_EQ(png.m_pixels, bmp.m_pixels);
    EXPECT_EQ(png.m_palette, bmp.m_palette);
}

} // namespace

TEST(PngExport, MapAndSheetMatchTheirBitmaps) {
    TempDir dir;
    TileSet tiles;
    kesh::test::MakeTiles(tiles, 9, 5, 13);
    Palette palette;
    for (size_t i = 0; i < palette.rgb.size(); ++i)
        palette.rgb[i] = uint8_t(i * 5 % 64);
    tiles.SetPalette(palette);
    MapModel map;
    ASSERT_TRUE(map.AllocateCells(3, 2));
    map.cells() = {0, 12, 0xFFFF, 40, 5, 1}; // an empty cell, a number with no tile

    auto& fs = FileSystem::Native();
    ASSERT_TRUE(ExportMapBitmap(fs, dir.file("m.bmp"), map, tiles));
    ASSERT_TRUE(ExportMapPng(fs, dir.file("m.png"), map, tiles));
    ExpectSameImage(Decode(ReadBytes(dir.file("m.png"))), Decode(ReadBytes(dir.file("m.bmp"))));

    ASSERT_TRUE(SaveTileSheet(fs, dir.file("s.bmp"), tiles));
    ASSERT_TRUE(SaveTileSheetPng(fs, dir.file("s.png"), tiles));
    ExpectSameImage(Decode(ReadBytes(dir.file("s.png"))), Decode(ReadBytes(dir.file("s.bmp"))));
    EXPECT_EQ(Decode(ReadBytes(dir.file("s.png"))).m_height, 10); // two sheet rows

    // An empty set's sheet is one row of index 0.
    TileSet empty;
    ASSERT_TRUE(SaveTileSheetPng(fs, dir.file("e.png"), empty));
    const Image e = Decode(ReadBytes(dir.file("e.png")));
    EXPECT_EQ(e.m_width, 320);
    EXPECT_EQ(e.m_height, 1);
}

TEST(PngExport, FailedWriteLeavesNoPartialFile) {
    TempDir dir;
    const std::string path = dir.file("m.png");
    WriteBytes(path, {9, 9});
    TileSet tiles;
    kesh::test::MakeTiles(tiles, 32, 32, 20);
    MapModel map;
    ASSERT_TRUE(map.AllocateCells(128, 128));
    for (size_t i = 0; i < map.cells().size(); ++i)
        map.cells()[i] = uint16_t(i * 7 % 20);
    using Fault = FaultyFileSystem::Fault;
    for (Fault fault : {Fault::Create, Fault::Write, Fault::Sync, Fault::Close, Fault::Rename}) {
        FaultyFileSystem fs;
        fs.fault = fault;
        fs.writeBudget = 1 << 16;
        const Status st = ExportMapPng(fs, path, map, tiles);
        EXPECT_EQ(st.message(), std::string(msg::kSaveFailed) + "\n" + path);
        EXPECT_EQ(ReadBytes(path), (Bytes{9, 9}));
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"m.png"});
    }
    MapModel none;
    none.cells().clear();
    EXPECT_EQ(ExportMapPng(FileSystem::Native(), path, none, tiles).message(), msg::kBadMapSize);
}
