#include <gtest/gtest.h>

#include <string>

#include "layout/MapFormat.h"
#include "layout/TileFormat.h"

using namespace kesh;

TEST(LayoutTest, DefaultFormats) {
    const std::vector<uint8_t> tileItems = {TileItem::SizeByte, TileItem::CountWord,
                                            TileItem::TileData, TileItem::AttrData,
                                            TileItem::Palette768};
    const TileFormat start = TileFormat::Default();
    EXPECT_EQ(start.header, "");
    EXPECT_EQ(start.width, 32);
    EXPECT_EQ(start.height, 32);
    EXPECT_EQ(start.attrWidth, 0);
    EXPECT_EQ(start.items, tileItems);

    const TileFormat fresh = TileFormat::NewFileDefault();
    EXPECT_EQ(fresh.width, 16);
    EXPECT_EQ(fresh.height, 16);
    EXPECT_EQ(fresh.items, tileItems);

    const MapFormat map = MapFormat::Default();
    EXPECT_EQ(map.header, "");
    EXPECT_EQ(map.width, 64);
    EXPECT_EQ(map.height, 64);
    EXPECT_EQ(map.items,
              (std::vector<uint8_t>{MapItem::SizeByte, MapItem::CellsByte, MapItem::TileFile}));
}

TEST(LayoutTest, ItemTextsAndNames) {
    EXPECT_STREQ(TileItemText(TileItem::SizeByte), "BYTE  x, y ;");
    EXPECT_STREQ(TileItemText(TileItem::SizeDword), "DWORD x, y ;");
    EXPECT_STREQ(TileItemText(TileItem::CountWord), "WORD  tilecount ;");
    EXPECT_STREQ(TileItemText(TileItem::TileData), "타일데이터");
    EXPECT_STREQ(TileItemText(TileItem::TileAttrData), "타일+속성 데이터");
    EXPECT_STREQ(TileItemText(TileItem::Palette768), "팔렛( r, g, b ) 768 byte");
    EXPECT_STREQ(TileItemText(TileItem::Palette1024), "팔렛(RGBQUAD) 1024 byte");
    EXPECT_STREQ(TileItemName(TileItem::AttrData), "AttrData");
    EXPECT_EQ(TileItemText(-1), nullptr);
    EXPECT_EQ(TileItemText(kTileItemCount), nullptr);
    EXPECT_EQ(TileItemName(kTileItemCount), nullptr);

    EXPECT_STREQ(MapItemText(MapItem::SizeByte), "BYTE  Width, Height ;");
    EXPECT_STREQ(MapItemText(MapItem::TileFile), "타일 파일");
    EXPECT_STREQ(MapItemText(MapItem::CellsWord), "지도데이터(WORD)");
    EXPECT_STREQ(MapItemName(MapItem::CellsByte), "CellsByte");
    EXPECT_EQ(MapItemText(kMapItemCount), nullptr);
    EXPECT_EQ(MapItemName(-1), nullptr);

    // Every code has a distinct name (the command-line tool parses them).
    for (int a = 0; a < kTileItemCount; ++a)
        for (int b = a + 1; b < kTileItemCount; ++b)
            EXPECT_NE(std::string(TileItemName(a)), TileItemName(b));
}

TEST(LayoutTest, AttrBytes) {
    EXPECT_EQ(AttrBytesFor(0), 1);
    EXPECT_EQ(AttrBytesFor(1), 2);
    EXPECT_EQ(AttrBytesFor(2), 4);
    EXPECT_EQ(AttrBytesFor(3), 1);
    EXPECT_EQ(AttrBytesFor(-1), 1);
}
