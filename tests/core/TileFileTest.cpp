#include <gtest/gtest.h>

#include "TileSetSamples.h"
#include "base/Messages.h"
#include "layout/Descriptor.h"

using namespace kesh;
using namespace kesh::test;

namespace {

std::vector<uint8_t> Write(const TileSet& set) {
    ByteWriter out;
    EXPECT_TRUE(set.WriteTileFile(out));
    return out.take();
}

// Two 16 x 16 tiles with attributes 260 and 5 in the default layout.
TileSet TwoTiles() {
    TileSet set = MakeTileSet(16, 16);
    AddTile(set, 0, 260);
    AddTile(set, 100, 5);
    return set;
}

std::vector<uint8_t> Entry(const TileSet& set, int i) {
    return std::vector<uint8_t>(set.colourTable() + 4 * i, set.colourTable() + 4 * i + 4);
}

} // namespace

TEST(TileSetColours, InitTileSetBuildsTheTileHeaderAndTheColourCube) {
    TileSet set = MakeTileSet(16, 8);
    ColourTable grey;
    grey.fill(0x55);
    set.SetColourTable(grey);
    set.setCurrent(7);
    set.InitTileSet();

    const uint8_t header[40] = {40,   0, 0, 0, 16, 0, 0, 0, 0xF8, 0xFF, 0xFF,
                                0xFF, 1, 0, 8, 0,  0, 0, 0, 0,    128};
    EXPECT_TRUE(std::equal(header, header + 40, set.bitmapInfo().begin()));
    EXPECT_EQ(Entry(set, 0), (std::vector<uint8_t>{64, 64, 64, 0}));
    EXPECT_EQ(Entry(set, 9), (std::vector<uint8_t>{64, 88, 88, 0}));
    EXPECT_EQ(Entry(set, 127), (std::vector<uint8_t>{128, 232, 232, 0}));
    EXPECT_EQ(Entry(set, 128), (std::vector<uint8_t>{0x55, 0x55, 0x55, 0x55})) << "kept";
    EXPECT_EQ(set.count(), 0);
    EXPECT_EQ(set.tiles().width(), 16);
    EXPECT_EQ(set.current(), 7);

    Palette palette;
    palette.rgb[15] = 63, palette.rgb[17] = 16; // entry 5: red 63, green 0, blue 16
    set.SetPalette(palette);
    EXPECT_EQ(Entry(set, 5), (std::vector<uint8_t>{64, 0, 252, 0}));
    EXPECT_EQ(set.argbOf(5), 0xFFFC0040u);
    EXPECT_EQ(Entry(set, 128), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(TileFileWrite, DefaultLayoutGivesThe1286ByteFile) {
    const TileSet set = TwoTiles();
    const auto file = Write(set);
    ASSERT_EQ(file.size(), 1286u);
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 4),
              (std::vector<uint8_t>{16, 16, 2, 0}));
    EXPECT_EQ(file[4 + 256], 100) << "second tile's first pixel";
    EXPECT_EQ(file[516], 4) << "260 cut to its low byte";
    EXPECT_EQ(file[517], 5);
    EXPECT_EQ(file[518], 64 >> 2) << "palette: red of entry 0";
    EXPECT_EQ(BuildKtf(set.format()), (std::vector<uint8_t>{0, 0, 5, 0, 4, 6, 7, 9}));
}

TEST(TileFileWrite, CombinedItemWithWordAttributes) {
    TileSet set = TwoTiles();
    set.format().attrWidth = 1;
    set.format().items = {TileItem::SizeByte, TileItem::CountWord, TileItem::TileAttrData,
                          TileItem::Palette768};
    const auto file = Write(set);
    ASSERT_EQ(file.size(), 4u + 2 * 258 + 768);
    EXPECT_EQ(file[4 + 256], 4);
    EXPECT_EQ(file[4 + 257], 1);
    EXPECT_EQ(file[4 + 258], 100);
    EXPECT_EQ(file[4 + 258 + 256], 5);
    EXPECT_EQ(file[4 + 258 + 257], 0);

    TileSet back = MakeTileSet(32, 32);
    back.format() = set.format();
    ByteReader in(file);
    ASSERT_TRUE(back.ReadTileFile(in, 0));
    EXPECT_EQ(Snapshot(back), Snapshot(set));
}

TEST(TileFileWrite, AnEmptySetEndsTheFileBeforeItsFirstTileBlock) {
    TileSet set = MakeTileSet(16, 16);
    set.format().header = "XY";
    set.format().items.insert(set.format().items.begin(), TileItem::Palette768);
    ByteWriter out;
    EXPECT_FALSE(set.WriteTileFile(out));
    EXPECT_EQ(out.size(), 2u + 768);
}

TEST(TileFileRead, RoundTripStopsJustAfterTheTileBlock) {
    TileSet set = TwoTiles();
    set.format().header = "HDR";
    set.format().attrWidth = 2;
    set.tiles().SetAttributeAt(0, 0x80000001);
    auto file = Write(set);
    const size_t end = file.size();
    file.push_back(0xEE); // whatever a map file has next

    TileSet back; // 32 x 32, no header
    back.format().attrWidth = 2;
    ByteReader in(file);
    ASSERT_TRUE(back.ReadTileFile(in, 3));
    EXPECT_EQ(in.pos(), end);
    EXPECT_EQ(Snapshot(back), Snapshot(set));
}

TEST(TileFileRead, MixedCombinedAndSeparateBlocksReadBackWhatWasWritten) {
    // A combined block followed by a plain pixel block: the pixels come from
    // the later block, the attributes still from the combined one, each read
    // with its own record size, so what is written reads back the same.
    using namespace TileItem;
    for (const std::vector<uint8_t>& items :
         {std::vector<uint8_t>{SizeByte, CountWord, TileAttrData, TileData},
          std::vector<uint8_t>{SizeByte, CountWord, TileAttrData, AttrData},
          std::vector<uint8_t>{SizeByte, CountWord, TileData, TileAttrData, AttrData}}) {
        TileSet set = TwoTiles();
        set.format().items = items;
        set.format().attrWidth = 1;
        const auto file = Write(set);
        TileSet back;
        back.format().items = items;
        back.format().attrWidth = 1;
        ByteReader in(file);
        ASSERT_TRUE(back.ReadTileFile(in, 0));
        EXPECT_TRUE(in.atEnd());
        EXPECT_EQ(Snapshot(back), Snapshot(set)) << items.size() << " items";
    }
}

TEST(TileFileRead, SizesPalettesAndHeadersAsStored) {
    // Width 300 as a byte is stored, and read back, as 44.
    TileSet wide = MakeTileSet(300, 1);
    AddTile(wide, 0, 0);
    auto file = Write(wide);
    EXPECT_EQ(file[0], 44);
    TileSet back;
    ByteReader in(file);
    ASSERT_TRUE(back.ReadTileFile(in, 0));
    EXPECT_EQ(back.tileWidth(), 44);

    // (200, 100, 50) through the 768-byte palette comes back as (200, 100, 48);
    // with the 1024-byte palette too, that one is applied last, whatever the order.
    TileSet set = TwoTiles();
    ColourTable colours{};
    colours[0] = 50, colours[1] = 100, colours[2] = 200;
    set.SetColourTable(colours);
    const auto with768 = Write(set);
    ByteReader in768(with768);
    ASSERT_TRUE(back.ReadTileFile(in768, 0));
    EXPECT_EQ(Entry(back, 0), (std::vector<uint8_t>{48, 100, 200, 0}));
    set.format().items = {TileItem::SizeByte, TileItem::CountByte, TileItem::TileData,
                          TileItem::Palette1024, TileItem::Palette768};
    back.format() = set.format();
    const auto both = Write(set);
    ByteReader inBoth(both);
    ASSERT_TRUE(back.ReadTileFile(inBoth, 0));
    EXPECT_EQ(Entry(back, 0), (std::vector<uint8_t>{50, 100, 200, 0}));

    // A zero byte ends the header string, but all L bytes are consumed.
    std::vector<uint8_t> headed{'A', 'B', 0, 'D', 'E'};
    const auto plain = Write(TwoTiles());
    headed.insert(headed.end(), plain.begin(), plain.end());
    TileSet h;
    ByteReader inHeaded(headed);
    ASSERT_TRUE(h.ReadTileFile(inHeaded, 5));
    EXPECT_EQ(h.format().header, "AB");
    EXPECT_EQ(h.count(), 2);
}

TEST(TileFileRead, CountWithoutPixelsGivesBlankTiles) {
    TileSet set;
    set.format().items = {TileItem::SizeByte, TileItem::CountByte, TileItem::AttrData};
    const std::vector<uint8_t> file{2, 2, 3, 9, 8, 7};
    ByteReader in(file);
    ASSERT_TRUE(set.ReadTileFile(in, 0));
    ASSERT_EQ(set.count(), 3);
    EXPECT_EQ(set.tiles().AttributeAt(2), 7u);
    EXPECT_EQ(std::vector<uint8_t>(set.tiles().PixelsAt(1), set.tiles().PixelsAt(1) + 4),
              std::vector<uint8_t>(4, 0));
}

TEST(TileFileRead, OutOfRangeAttrWidthIsOneByteBothWays) {
    TileSet set = TwoTiles();
    set.format().attrWidth = 7;
    set.tiles().SetAttributeAt(0, 0x1234);
    const auto file = Write(set);
    ASSERT_EQ(file.size(), 1286u);
    TileSet back;
    back.format() = set.format();
    ByteReader in(file);
    ASSERT_TRUE(back.ReadTileFile(in, 0));
    EXPECT_EQ(back.tiles().AttributeAt(0), 0x34u);
    EXPECT_EQ(back.tiles().AttributeAt(1), 5u);
}

TEST(TileFileRead, LayoutsWithoutSizeOrCountFailWithTheirMessages) {
    const TileSet source = TwoTiles();
    struct Case {
        std::vector<uint8_t> items;
        const char* message;
    } cases[] = {
        {{TileItem::TileData, TileItem::SizeByte, TileItem::CountWord}, msg::kNoTileSize},
        {{TileItem::SizeByte, TileItem::TileData}, msg::kNoTileCount},
        {{TileItem::SizeByte, TileItem::Palette768}, msg::kNoTileCount},
        {{TileItem::Palette768}, msg::kNoTileSize},
    };
    for (const Case& c : cases) {
        TileSet writer = TwoTiles();
        writer.format().items = c.items;
        const auto file = Write(writer); // writing such a layout works

        TileSet set = TwoTiles();
        set.format().items = c.items;
        set.format().header = "keep";
        const Snapshot before(set);
        ByteReader in(file);
        const Status st = set.ReadTileFile(in, 0);
        EXPECT_FALSE(st);
        EXPECT_EQ(st.message(), c.message);
        EXPECT_EQ(Snapshot(set), before);
        EXPECT_EQ(in.pos(), 0u);
    }
}

TEST(TileFileRead, DamagedFilesLeaveTheSetUnchanged) {
    const auto good = Write(TwoTiles());
    std::vector<std::pair<std::vector<uint8_t>, std::vector<uint8_t>>> cases; // items, bytes
    const std::vector<uint8_t> def = TileFormat::Default().items;
    for (size_t n = 0; n < good.size(); ++n)
        cases.push_back(
            {def, std::vector<uint8_t>(good.begin(), good.begin() + std::ptrdiff_t(n))});
    auto big = good;
    big[2] = 0xFF, big[3] = 0xFF; // 65,535 tiles announced
    cases.push_back({def, big});
    // A later count makes the noted tile block too short.
    cases.push_back(
        {{TileItem::SizeByte, TileItem::CountByte, TileItem::TileData, TileItem::CountByte},
         {1, 1, 1, 7, 200}});
    cases.push_back({{TileItem::SizeByte, TileItem::CountByte}, {0, 4, 1}}); // no pixels
    cases.push_back(
        {{TileItem::SizeWord, TileItem::CountByte}, {0x58, 2, 0x58, 2, 0}}); // 600 x 600
    cases.push_back({{TileItem::SizeByte, TileItem::CountDword}, {8, 8, 0xFF, 0xFF, 0xFF, 0x7F}});
    std::vector<uint8_t> over{128, 128, 191, 0}; // one tile more than the pool holds
    over.resize(over.size() + 191 * 128 * 128, 1);
    cases.push_back({{TileItem::SizeByte, TileItem::CountWord, TileItem::TileData}, over});

    for (const auto& [items, bytes] : cases) {
        TileSet set = TwoTiles();
        set.format().header = "keep";
        set.format().items = items;
        const Snapshot before(set);
        ByteReader in(bytes);
        const Status st = set.ReadTileFile(in, 0);
        EXPECT_FALSE(st) << bytes.size();
        EXPECT_EQ(st.message(), msg::kDamagedFile) << bytes.size();
        EXPECT_EQ(Snapshot(set), before) << bytes.size();
    }

    TileSet set = TwoTiles();
    const Snapshot before(set);
    ByteReader in(good);
    EXPECT_EQ(set.ReadTileFile(in, 2000).message(), msg::kDamagedFile) << "header past the end";
    EXPECT_EQ(Snapshot(set), before);
}
