// The Pixels and Palette items' text form and their descriptor section.
#include <gtest/gtest.h>

#include "base/Messages.h"
#include "layout/Descriptor.h"
#include "support/ConsoleTileSets.h"

using namespace kesh;
using namespace kesh::test;

using Bytes = std::vector<uint8_t>;

TEST(ConsoleTileItemsTest, ItemTextsParseAndPrintBack) {
    struct Case {
        const char* text;
        bool ok;
    };
    const Case cases[] = {
        {"Pixels[2bpp-nes]", true},
        {"Palette[bgr555,16x8]", true},
        {"Palette[nes,4x8]", true},
        {"Palette[rgb888,256x1]", true},
        {"SizeWord", true},
        {"Pixels", false},               // parameters needed
        {"Pixels[3bpp]", false},         // no such encoding
        {"Pixels[2bpp-nes", false},      // no closing bracket
        {"Palette[bgr555,16x17]", false}, // 272 colours
        {"Palette[bgr555,1x1]", false},  // fewer than 2 colours
        {"Palette[bgr555,16]", false},   // no palette count
        {"Palette[bgr555,x8]", false},
        {"SizeWord[1]", false},          // no parameters to take
        {"Tiles", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TileFormat format = TileFormat::Default();
        const TileFormat before = format;
        const Status st = ParseTileItem(c.text, format);
        ASSERT_EQ(st.ok(), c.ok) << st.message();
        if (!c.ok) {
            EXPECT_FALSE(st.message().empty());
            EXPECT_EQ(format, before);
            continue;
        }
        ASSERT_EQ(format.items.size(), before.items.size() + 1);
        EXPECT_EQ(TileItemLabel(format, format.items.back()), c.text);
    }

    // One set of parameters a layout: a second item of a kind must agree.
    TileFormat format;
    ASSERT_TRUE(ParseTileItem("Pixels[4bpp-gba]", format));
    ASSERT_TRUE(ParseTileItem("Palette[md,16x4]", format));
    EXPECT_TRUE(ParseTileItem("Pixels[4bpp-gba]", format));
    const TileFormat before = format;
    EXPECT_FALSE(ParseTileItem("Pixels[4bpp-md]", format));
    EXPECT_FALSE(ParseTileItem("Palette[md,16x3]", format));
    EXPECT_EQ(format, before);
}

TEST(ConsoleTileItemsTest, DescriptorsCarryTheParameters) {
    const TileFormat tile = SnesFormat();
    // The plain bytes, then the extension with the parameters' section:
    // Planar4Snes (4), Bgr555 (1), 16 colours, 1 palette.
    const Bytes ktf = BuildKtf(tile);
    EXPECT_EQ(ktf, HexBytes("00 00 04 0D 00 03 0C FF 4B 58 01 02 06 00 04 01 10 00 01 00"));
    TileDescriptor readTile;
    ASSERT_TRUE(ParseKtf(ktf, readTile));
    EXPECT_EQ(readTile.items, tile.items);
    EXPECT_EQ(readTile.params, tile.params);

    // A .kmf carries the same section for its tile part, beside the cell fields.
    MapFormat map = MapFormat::Default();
    const Bytes kmf = BuildKmf(map, tile);
    EXPECT_EQ(Bytes(kmf.end() - 13, kmf.end()), Bytes(ktf.end() - 13, ktf.end()));
    MapDescriptor readMap;
    ASSERT_TRUE(ParseKmf(kmf, readMap));
    EXPECT_EQ(readMap.tile.params, tile.params);
    map.items.push_back(MapItem::CellFields);
    map.cells.word.fields = {{CellFieldKind::Tile, 0, 10, ""}};
    ASSERT_TRUE(ParseKmf(BuildKmf(map, tile), readMap));
    EXPECT_EQ(readMap.tile.params, tile.params);
    EXPECT_EQ(readMap.cells, map.cells);
}

// Each fault is refused as damaged, in both descriptors, and changes nothing.
TEST(ConsoleTileItemsTest, RefusesMissingOrDamagedParameters) {
    const std::string items = "00 00 04 0D 00 03 0C ";
    const std::string plain = "00 00 03 00 03 06 ";
    const std::string magic = "FF 4B 58 01 ";
    const std::pair<const char*, std::string> cases[] = {
        {"items, no section", items},
        {"section, no items", plain + magic + "02 06 00 04 01 10 00 01 00"},
        {"pixel encoding 9", items + magic + "02 06 00 09 01 10 00 01 00"},
        {"colour encoding 7", items + magic + "02 06 00 04 07 10 00 01 00"},
        {"1 colour", items + magic + "02 06 00 04 01 01 00 01 00"},
        {"16 x 17 colours", items + magic + "02 06 00 04 01 10 00 11 00"},
        {"no palettes", items + magic + "02 06 00 04 01 10 00 00 00"},
        {"short section", items + magic + "02 05 00 04 01 10 00 01"},
        {"long section", items + magic + "02 07 00 04 01 10 00 01 00 00"},
        {"section twice",
         items + magic + "02 06 00 04 01 10 00 01 00 02 06 00 04 01 10 00 01 00"},
        {"cut off", items + magic + "02 06 00 04 01 10"},
    };
    for (const auto& [name, hex] : cases) {
        SCOPED_TRACE(name);
        TileDescriptor tile;
        tile.items = {99};
        const TileDescriptor tileBefore = tile;
        const Status st = ParseKtf(HexBytes(hex), tile);
        EXPECT_EQ(st.message(), msg::kDamagedFile);
        EXPECT_EQ(tile, tileBefore);

        // The same tile part in a .kmf: map header 0, no map items.
        MapDescriptor map;
        map.items = {99};
        const MapDescriptor mapBefore = map;
        EXPECT_EQ(ParseKmf(HexBytes("00 00 " + hex), map).message(), msg::kDamagedFile);
        EXPECT_EQ(map, mapBefore);
    }
}
