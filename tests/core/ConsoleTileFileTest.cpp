// Tile files with the console items: the Pixels and Palette items written,
// read back, refused, and their parameters in the descriptors.
#include <gtest/gtest.h>

#include "base/Messages.h"
#include "layout/Descriptor.h"
#include "layout/LayoutTable.h"
#include "map/LayoutDataOf.h"
#include "support/ConsoleTileSets.h"
#include "support/MemoryFileSystem.h"
#include "tileset/TileSetFile.h"

using namespace kesh;
using namespace kesh::test;

using Bytes = std::vector<uint8_t>;

namespace {

Bytes Written(const TileSet& set) {
    ByteWriter out;
    EXPECT_TRUE(set.WriteTileFile(out));
    return out.take();
}

Status ReadInto(const Bytes& til, const TileFormat& format, TileSet& set) {
    set.format() = format;
    ByteReader in(til);
    return set.ReadTileFile(in, 0);
}

} // namespace

TEST(ConsoleTileFileTest, WritesHandWorkedBytesReadsThemBackAndRoundTrips) {
    const TileSet set = SnesSet();
    const Bytes til = Written(set);
    EXPECT_EQ(til, HexBytes(SnesSetBytes()));

    TileSet read;
    ASSERT_TRUE(ReadInto(til, SnesFormat(), read));
    ASSERT_EQ(read.count(), 2);
    EXPECT_EQ(Bytes(read.tiles().PixelsAt(0), read.tiles().PixelsAt(0) + 64), SixteenColourTile());
    EXPECT_EQ(Bytes(read.tiles().PixelsAt(1), read.tiles().PixelsAt(1) + 64), NesWikiTile());
    // The colours as the hardware shows them; entries past the 16 keep the fresh set's.
    EXPECT_EQ(read.argbOf(0), 0xFFFF8400u);
    EXPECT_EQ(read.argbOf(1), 0xFFFFFFFFu);
    EXPECT_EQ(read.argbOf(2), 0xFF0000FFu);
    EXPECT_EQ(read.argbOf(15), 0xFF000000u);
    EXPECT_EQ(read.argbOf(16), TileSet().argbOf(16));
    EXPECT_EQ(Written(read), til);

    // Through the files and the descriptor, the same again.
    MemoryFileSystem fs;
    ASSERT_TRUE(SaveTileSetFiles(fs, "/a/snes.til", set, EmptyTileSet::Refuse));
    EXPECT_EQ(fs.files["/a/snes.til"], til);
    TileSet opened;
    bool missing = true;
    ASSERT_TRUE(OpenTileSetFiles(fs, "/a/snes.til", opened, missing));
    EXPECT_FALSE(missing);
    EXPECT_EQ(opened.format().params, set.format().params);
    EXPECT_EQ(Written(opened), til);
}

// Each Pixels item refuses a pixel it cannot hold, naming the first such
// tile; the save writes nothing and the layout table warns of the same tile.
TEST(ConsoleTileFileTest, RefusesPixelsTooLargeForTheEncoding) {
    struct Case {
        PixelEncoding encoding;
        uint8_t value; // put at pixel (3, 2) of tile 1, also tile 2
        const char* message;
    };
    const Case cases[] = {
        {PixelEncoding::Planar1, 2, "1번 타일 (3, 2) 픽셀의 값 2"},
        {PixelEncoding::Planar2Nes, 4, "1번 타일 (3, 2) 픽셀의 값 4"},
        {PixelEncoding::Planar4Snes, 16, "1번 타일 (3, 2) 픽셀의 값 16"},
        {PixelEncoding::Packed4High, 255, "1번 타일 (3, 2) 픽셀의 값 255"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(PixelEncodingName(c.encoding)));
        TileSet set;
        set.format() = ConsoleFormat({TileItem::SizeByte, TileItem::CountByte, TileItem::Pixels},
                                     {c.encoding, ColourEncoding::Rgb888, 2, 1});
        set.InitTileSet();
        Bytes pixels(64, 0);
        set.tiles().Append(pixels.data(), 0);
        pixels[2 * 8 + 3] = c.value;
        set.tiles().Append(pixels.data(), 0);
        set.tiles().Append(pixels.data(), 0);

        const Status check = set.CheckEncodings();
        ASSERT_FALSE(check);
        EXPECT_EQ(check.message().rfind(c.message, 0), 0u) << check.message();
        ByteWriter out;
        EXPECT_FALSE(set.WriteTileFile(out));

        MemoryFileSystem fs;
        EXPECT_EQ(SaveTileSetFiles(fs, "/a/t.til", set, EmptyTileSet::Refuse).message(),
                  check.message());
        EXPECT_TRUE(fs.files.empty());

        const LayoutTable table = TileLayoutTable(set.format(), LayoutDataOf(set));
        ASSERT_EQ(table.warnings.size(), 1u);
        EXPECT_NE(table.warnings[0].find("1번 타일의 픽셀 값 " + std::to_string(c.value)),
                  std::string::npos)
            << table.warnings[0];
    }
}

TEST(ConsoleTileFileTest, LayoutTableGivesTheItemsOffsetsAndLengths) {
    const TileSet set = SnesSet();
    const LayoutTable table = TileLayoutTable(set.format(), LayoutDataOf(set));
    EXPECT_TRUE(table.warnings.empty());
    ASSERT_EQ(table.items.size(), 4u);
    const std::pair<uint64_t, uint64_t> expected[] = {{0, 32}, {32, 2}, {34, 1}, {35, 64}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(table.items[i].offset, expected[i].first) << i;
        EXPECT_EQ(table.items[i].length, expected[i].second) << i;
    }
    EXPECT_EQ(table.items[3].name, "Pixels");
    EXPECT_NE(table.items[3].text.find("4bpp-snes"), std::string::npos);
    EXPECT_EQ(table.size, HexBytes(SnesSetBytes()).size());
}

// A file the layout cannot be laid over is refused and changes nothing.
TEST(ConsoleTileFileTest, RefusesDamagedConsoleBlocks) {
    const Bytes good = HexBytes(SnesSetBytes());
    Bytes badColour = good;
    badColour[1] = 0x82; // bit 15 set: no SNES colour
    Bytes oddSize = good;
    oddSize[32] = 4; // a 4 x 8 tile has no 4bpp-snes form
    struct Case {
        const char* name;
        Bytes bytes;
        std::string message;
    };
    const Case cases[] = {
        {"short pixels", Bytes(good.begin(), good.end() - 1), msg::kDamagedFile},
        {"short palette", Bytes(good.begin(), good.begin() + 31), msg::kDamagedFile},
        {"odd size", oddSize, msg::kDamagedFile},
        {"unused colour bit", badColour, "팔레트의 0번 색"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TileSet set = SnesSet();
        const Bytes before = Written(set);
        ByteReader in(c.bytes);
        const Status st = set.ReadTileFile(in, 0);
        ASSERT_FALSE(st);
        EXPECT_EQ(st.message().rfind(c.message, 0), 0u) << st.message();
        EXPECT_EQ(in.pos(), 0u);
        EXPECT_EQ(Written(set), before);
    }
}
