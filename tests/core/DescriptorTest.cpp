#include <gtest/gtest.h>

#include "base/Messages.h"
#include "layout/Descriptor.h"
#include "text/Cp949.h"

using namespace kesh;

using Bytes = std::vector<uint8_t>;

TEST(DescriptorTest, BuildsKtfAndKmf) {
    TileFormat tile;
    tile.header = "AB";
    tile.attrWidth = 2;
    tile.items = {TileItem::SizeWord, TileItem::CountDword, TileItem::TileAttrData};
    EXPECT_EQ(BuildKtf(tile), (Bytes{0x02, 0x02, 0x03, 0x01, 0x05, 0x08}));

    EXPECT_EQ(
        BuildKmf(MapFormat::Default(), TileFormat::Default()),
        (Bytes{0x00, 0x03, 0x00, 0x04, 0x03, 0x00, 0x00, 0x05, 0x00, 0x04, 0x06, 0x07, 0x09}));

    TileFormat emptyTile;
    emptyTile.attrWidth = 1;
    MapFormat emptyMap;
    EXPECT_EQ(BuildKtf(emptyTile), (Bytes{0, 1, 0}));
    EXPECT_EQ(BuildKmf(emptyMap, emptyTile), (Bytes{0, 0, 0, 1, 0}));

    // Duplicates are kept; the tile part of a .kmf is the .ktf.
    emptyMap.items = {MapItem::TileFile, MapItem::TileFile};
    const Bytes kmf = BuildKmf(emptyMap, tile);
    EXPECT_EQ(kmf, (Bytes{0, 2, 3, 3, 2, 2, 3, 1, 5, 8}));
    EXPECT_EQ(Bytes(kmf.begin() + 4, kmf.end()), BuildKtf(tile));
}

TEST(DescriptorTest, HeaderLengthAndItemCountAreCapped) {
    TileFormat tile;
    tile.header = *Utf8ToCp949("가나다라마바사아자차");
    EXPECT_EQ(BuildKtf(tile)[0], 20);
    tile.header.assign(255, 'x');
    EXPECT_EQ(BuildKtf(tile)[0], 255);
    tile.header.assign(256, 'x');
    EXPECT_EQ(BuildKtf(tile)[0], 255);
    EXPECT_EQ(HeaderLength(std::string(300, 'x')), 255);

    tile.items.assign(200, TileItem::TileData);
    const Bytes ktf = BuildKtf(tile);
    EXPECT_EQ(ktf[2], 127);
    EXPECT_EQ(ktf.size(), 3u + 127u);
    TileDescriptor read;
    ASSERT_TRUE(ParseKtf(ktf, read));
    EXPECT_EQ(read.items.size(), 127u);
}

TEST(DescriptorTest, ParsesWhatItBuilds) {
    TileFormat tile = TileFormat::Default();
    tile.header = "HDR";
    tile.attrWidth = 1;
    tile.items.push_back(200); // unknown codes are kept for the readers to skip
    MapFormat map = MapFormat::Default();
    map.header = "MAP!!";

    TileDescriptor ktf;
    ASSERT_TRUE(ParseKtf(BuildKtf(tile), ktf));
    EXPECT_EQ(ktf.headerLength, 3);
    EXPECT_EQ(ktf.attrWidth, 1);
    EXPECT_EQ(ktf.items, tile.items);

    MapDescriptor kmf;
    ASSERT_TRUE(ParseKmf(BuildKmf(map, tile), kmf));
    EXPECT_EQ(kmf.headerLength, 5);
    EXPECT_EQ(kmf.items, map.items);
    EXPECT_EQ(kmf.tile, ktf);
}

TEST(DescriptorTest, AttrWidthOutsideRangeReadsAsZero) {
    TileDescriptor ktf;
    ASSERT_TRUE(ParseKtf(Bytes{7, 3, 1, 6}, ktf));
    EXPECT_EQ(ktf.headerLength, 7);
    EXPECT_EQ(ktf.attrWidth, 0);
    ASSERT_TRUE(ParseKtf(Bytes{0, 0xFF, 0}, ktf));
    EXPECT_EQ(ktf.attrWidth, 0);
}

TEST(DescriptorTest, DamagedDescriptorsFailAndChangeNothing) {
    const TileDescriptor before{4, 2, {1, 2}};
    for (const Bytes& bad : {Bytes{}, Bytes{0}, Bytes{0, 0}, Bytes{0, 0, 3, 6, 7}, Bytes{0, 0, 128},
                             Bytes(3 + 200, 0xC8), Bytes{0, 0, 1, 6, 9}}) {
        TileDescriptor ktf = before;
        const Status s = ParseKtf(bad, ktf);
        EXPECT_FALSE(s) << bad.size();
        EXPECT_EQ(s.message(), msg::kDamagedFile);
        EXPECT_EQ(ktf, before);
    }

    const MapDescriptor mapBefore{9, {4}, before, {}};
    for (const Bytes& bad :
         {Bytes{}, Bytes{0, 2, 3}, Bytes{0, 0x80, 0, 0, 0}, Bytes{0, 1, 3, 0, 0},
          Bytes{0, 1, 3, 0, 0, 200}, Bytes{0, 0, 0, 0, 1}, Bytes{0, 0, 0, 0, 0, 0}}) {
        MapDescriptor kmf = mapBefore;
        const Status s = ParseKmf(bad, kmf);
        EXPECT_FALSE(s) << bad.size();
        EXPECT_EQ(s.message(), msg::kDamagedFile);
        EXPECT_EQ(kmf, mapBefore);
    }
}

TEST(DescriptorTest, PathReplacesTheNamesExtension) {
    EXPECT_EQ(DescriptorPath("/art/town.til", kTileDescriptorExt), "/art/town.ktf");
    EXPECT_EQ(DescriptorPath("/art/town.old.til", kTileDescriptorExt), "/art/town.old.ktf");
    EXPECT_EQ(DescriptorPath("/art/town.map", kMapDescriptorExt), "/art/town.kmf");
    EXPECT_EQ(DescriptorPath("tiles", kTileDescriptorExt), "tiles.ktf");
    EXPECT_EQ(DescriptorPath("/a/set.1/tiles", kTileDescriptorExt), "/a/set.1/tiles.ktf");
    EXPECT_EQ(DescriptorPath("/a/set.1/tiles.til", kTileDescriptorExt), "/a/set.1/tiles.ktf");
    EXPECT_EQ(DescriptorPath("./town.map", kMapDescriptorExt), "./town.kmf");
    EXPECT_EQ(DescriptorPath("../maps", kMapDescriptorExt), "../maps.kmf");
}
