#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Messages.h"
#include "layout/LayoutTable.h"
#include "map/LayoutDataOf.h"
#include "map/MapFile.h"
#include "support/TestTiles.h"

using namespace kesh;

using Bytes = std::vector<uint8_t>;

namespace {

TileSet Tiles(int count, int32_t w, int32_t h, AttrWidth attrWidth, std::vector<uint8_t> items,
              std::string header = "") {
    TileSet set;
    test::MakeTiles(set, w, h, count);
    set.format().attrWidth = attrWidth;
    set.format().items = std::move(items);
    set.format().header = std::move(header);
    return set;
}

Bytes TileBytes(const TileSet& set) {
    ByteWriter out;
    EXPECT_TRUE(set.WriteTileFile(out));
    return out.take();
}

// The block one item writes on its own, through the real writer.
Bytes TileItemAlone(const TileSet& set, int code) {
    TileSet alone = Tiles(0, set.tileWidth(), set.tileHeight(), set.format().attrWidth, {});
    for (int i = 0; i < set.count(); ++i)
        alone.tiles().Append(set.tiles().PixelsAt(i), set.tiles().AttributeAt(i));
    alone.SetColourTable([&] {
        ColourTable table;
        std::copy_n(set.colourTable(), table.size(), table.begin());
        return table;
    }());
    if (code == kHeaderEntry)
        alone.format().header = set.format().header;
    else
        alone.format().items = {uint8_t(code)};
    return TileBytes(alone);
}

Bytes Slice(const Bytes& bytes, const LayoutEntry& e) {
    if (e.offset + e.length > bytes.size())
        return {};
    return Bytes(bytes.begin() + ptrdiff_t(e.offset),
                 bytes.begin() + ptrdiff_t(e.offset + e.length));
}

// Entries follow each other from `start` without gaps and each holds exactly
// the block its item writes alone; returns where the last one ends.
uint64_t ExpectTileEntries(const std::vector<LayoutEntry>& entries, const Bytes& bytes,
                           const TileSet& set, uint64_t start) {
    uint64_t at = start;
    for (const LayoutEntry& e : entries) {
        EXPECT_EQ(e.offset, at) << e.name;
        EXPECT_EQ(Slice(bytes, e), TileItemAlone(set, e.code)) << e.name << " at " << e.offset;
        at += e.length;
    }
    return at;
}

struct TileCase {
    std::vector<uint8_t> items;
    AttrWidth attrWidth;
    std::string header;
};

} // namespace

TEST(LayoutTableTest, TileEntriesMatchTheWrittenBytesForEveryItemAndOrder) {
    using namespace TileItem;
    const std::vector<TileCase> cases = {
        {{SizeByte, CountWord, TileData, AttrData, Palette768}, 0, ""},
        {{SizeWord, CountDword, TileAttrData, Palette1024}, 2, "AB"},
        {{Palette1024, TileAttrData, SizeDword, CountByte}, 1, ""}, // unreadable, still written
        {{SizeByte, SizeWord, CountByte, CountByte, TileData, TileData, AttrData, AttrData},
         1,
         "\xc7\xd1\xb1\xdb"}, // Korean header in CP949
        {{CountDword, SizeDword, AttrData, Palette768, Palette1024, TileAttrData}, 2, "h"},
        {{SizeByte, 77, CountByte, 200, TileData}, 0, ""}, // codes outside the table write nothing
        {{}, 0, "only a header"},
    };
    for (const auto& c : cases) {
        for (const auto& [w, h, n] : {std::tuple{8, 8, 1}, {16, 24, 3}, {9, 11, 5}}) {
            const TileSet set = Tiles(n, w, h, c.attrWidth, c.items, c.header);
            const Bytes bytes = TileBytes(set);
            const LayoutTable table = TileLayoutTable(set.format(), LayoutDataOf(set));
            EXPECT_EQ(table.size, bytes.size());
            EXPECT_EQ(ExpectTileEntries(table.items, bytes, set, 0), bytes.size());
            const size_t itemEntries = table.items.size() - (c.header.empty() ? 0 : 1);
            EXPECT_EQ(itemEntries, c.items.size());
        }
    }
}

TEST(LayoutTableTest, MapEntriesNestTheTileFileAndMatchTheWrittenBytes) {
    using namespace MapItem;
    const std::vector<std::vector<uint8_t>> orders = {
        {SizeByte, CellsByte, TileFile},
        {TileFile, SizeWord, CellsWord},
        {SizeDword, TileFile, CellsByte, CellsWord, TileFile, SizeByte},
        {CellsWord, SizeWord, 9}, // unreadable order and an unknown code: written all the same
    };
    for (const auto& items : orders) {
        for (const std::string header : {"", "MAP!"}) {
            TileSet tiles = Tiles(3, 8, 8, 1,
                                  {TileItem::SizeWord, TileItem::CountByte, TileItem::TileAttrData,
                                   TileItem::Palette768},
                                  "t");
            MapModel map;
            ASSERT_TRUE(map.AllocateCells(5, 3));
            for (size_t i = 0; i < map.cells().size(); ++i)
                map.cells()[i] = uint16_t(i % 4 == 3 ? kEmptyCell : 300 + i);
            map.format().items = items;
            map.format().header = header;
            ByteWriter out;
            ASSERT_TRUE(WriteMapFile(map, tiles, out));
            const Bytes bytes = out.take();
            const LayoutTable table =
                MapLayoutTable(map.format(), tiles.format(), LayoutDataOf(map, tiles));
            EXPECT_EQ(table.size, bytes.size());
            uint64_t at = 0;
            for (const LayoutEntry& e : table.items) {
                EXPECT_EQ(e.offset, at);
                if (e.code == TileFile) {
                    EXPECT_EQ(Slice(bytes, e), TileBytes(tiles));
                    EXPECT_EQ(ExpectTileEntries(e.items, bytes, tiles, e.offset),
                              e.offset + e.length);
                } else {
                    MapModel alone;
                    ASSERT_TRUE(alone.AllocateCells(5, 3));
                    alone.cells() = map.cells();
                    alone.format().items.clear();
                    if (e.code == kHeaderEntry)
                        alone.format().header = header;
                    else
                        alone.format().items = {uint8_t(e.code)};
                    ByteWriter one;
                    ASSERT_TRUE(WriteMapFile(alone, tiles, one));
                    EXPECT_EQ(Slice(bytes, e), one.bytes()) << e.name;
                    EXPECT_TRUE(e.items.empty());
                }
                at += e.length;
            }
            EXPECT_EQ(at, bytes.size());
        }
    }
}

TEST(LayoutTableTest, NamesAndTextsAreThoseOfTheItemListsAndTheCommandLine) {
    TileFormat tiles = TileFormat::Default();
    MapFormat map = MapFormat::Default();
    map.header = "H";
    const LayoutTable table = MapLayoutTable(map, tiles, {{2, 0}, 0});
    ASSERT_EQ(table.items.size(), 4u);
    EXPECT_EQ(table.items[0].name, "Header");
    EXPECT_EQ(table.items[0].text, HeaderEntryText());
    EXPECT_EQ(table.items[1].name, "SizeByte");
    EXPECT_EQ(table.items[1].text, "BYTE  Width, Height ;");
    EXPECT_EQ(table.items[3].name, "TileFile");
    ASSERT_EQ(table.items[3].items.size(), 5u);
    EXPECT_EQ(table.items[3].items[2].text, "타일데이터");
    EXPECT_EQ(table.items[3].items[2].offset, 1u + 2 + 64 * 64 + 2 + 2);
    EXPECT_EQ(table.items[3].items[2].length, 2u * 32 * 32);
}

namespace {

bool HasWarning(const LayoutTable& table, const std::string& text) {
    for (const std::string& w : table.warnings)
        if (w == text)
            return true;
    return false;
}

std::string Joined(const LayoutTable& table) {
    std::string all;
    for (const std::string& w : table.warnings)
        all += w + "\n";
    return all;
}

} // namespace

TEST(LayoutTableTest, WarnsOfValuesTheItemsCut) {
    using namespace TileItem;
    TileFormat tiles;
    tiles.width = 300;
    tiles.height = 16;
    tiles.attrWidth = 0;
    tiles.items = {SizeByte, CountByte, TileData, AttrData};
    LayoutTable table = TileLayoutTable(tiles, {300, 0x1FF});
    EXPECT_EQ(table.warnings.size(), 3u) << Joined(table);
    EXPECT_NE(table.warnings[0].find("BYTE  x, y ;: "), std::string::npos);
    EXPECT_NE(table.warnings[0].find("300"), std::string::npos);
    EXPECT_NE(table.warnings[1].find("BYTE  tilecount ;: "), std::string::npos);
    EXPECT_NE(table.warnings[2].find("속성데이터: "), std::string::npos);

    // The same data fits wider items.
    tiles.items = {SizeWord, CountWord, TileAttrData};
    tiles.attrWidth = 1;
    EXPECT_TRUE(TileLayoutTable(tiles, {300, 0xFFFF}).warnings.empty());
    EXPECT_EQ(TileLayoutTable(tiles, {300, 0x10000}).warnings.size(), 1u);
    tiles.attrWidth = 2;
    EXPECT_TRUE(TileLayoutTable(tiles, {65535, 0xFFFFFFFF}).warnings.empty());
    EXPECT_EQ(TileLayoutTable(tiles, {65536, 0}).warnings.size(), 1u);

    MapFormat map;
    map.width = 256;
    map.height = 10;
    map.items = {MapItem::SizeByte, MapItem::CellsByte};
    table = MapLayoutTable(map, tiles, {{1, 0}, 256});
    ASSERT_EQ(table.warnings.size(), 2u) << Joined(table);
    EXPECT_NE(table.warnings[0].find("BYTE  Width, Height ;: "), std::string::npos);
    EXPECT_NE(table.warnings[1].find("지도데이터(BYTE): "), std::string::npos);
    map.width = 255;
    EXPECT_TRUE(MapLayoutTable(map, tiles, {{1, 0}, 255}).warnings.empty());
    map.items = {MapItem::SizeWord, MapItem::CellsWord};
    map.width = 65536;
    table = MapLayoutTable(map, tiles, {{1, 0}, 9000});
    ASSERT_EQ(table.warnings.size(), 1u);
    EXPECT_NE(table.warnings[0].find("WORD  Width, Height ;: "), std::string::npos);

    // Headers: the dialog takes 256 bytes, files keep 255.
    map.width = 10;
    map.header = std::string(256, 'x');
    table = MapLayoutTable(map, tiles, {{1, 0}, 0});
    ASSERT_EQ(table.warnings.size(), 1u);
    EXPECT_EQ(table.warnings[0].rfind(HeaderEntryText(), 0), 0u);
    EXPECT_EQ(table.items[0].length, 255u);
    map.header.pop_back();
    EXPECT_TRUE(MapLayoutTable(map, tiles, {{1, 0}, 0}).warnings.empty());
}

TEST(LayoutTableTest, WarnsOfOrdersTheReaderRefuses) {
    using namespace TileItem;
    TileFormat tiles = TileFormat::Default();
    tiles.items = {TileData, SizeByte, CountByte};
    EXPECT_TRUE(
        HasWarning(TileLayoutTable(tiles, {1, 0}), std::string("타일데이터: ") + msg::kNoTileSize));
    tiles.items = {SizeByte, AttrData, CountByte};
    EXPECT_TRUE(HasWarning(TileLayoutTable(tiles, {1, 0}),
                           std::string("속성데이터: ") + msg::kNoTileCount));
    tiles.items = {SizeByte, Palette768};
    EXPECT_EQ(TileLayoutTable(tiles, {1, 0}).warnings, std::vector<std::string>{msg::kNoTileCount});
    tiles.items = {Palette768};
    EXPECT_EQ(TileLayoutTable(tiles, {1, 0}).warnings, std::vector<std::string>{msg::kNoTileSize});
    tiles.items = {CountByte, SizeByte, TileAttrData};
    EXPECT_TRUE(TileLayoutTable(tiles, {1, 0}).warnings.empty());

    // The map reader needs its size before the cells; the tile layout counts
    // only when the map embeds it, and its warnings come once.
    MapFormat map = MapFormat::Default();
    map.items = {MapItem::CellsByte, MapItem::SizeByte};
    EXPECT_EQ(MapLayoutTable(map, tiles, {{1, 0}, 0}).warnings,
              std::vector<std::string>{std::string("지도데이터(BYTE): ") + msg::kNoTileSize});
    map.items = {MapItem::TileFile};
    EXPECT_EQ(MapLayoutTable(map, tiles, {{1, 0}, 0}).warnings,
              std::vector<std::string>{msg::kNoTileSize});
    tiles.items = {TileData, SizeByte, CountByte};
    map.items = {MapItem::SizeByte, MapItem::TileFile, MapItem::TileFile};
    EXPECT_EQ(MapLayoutTable(map, tiles, {{1, 0}, 0}).warnings,
              std::vector<std::string>{std::string("타일데이터: ") + msg::kNoTileSize});
    map.items = {MapItem::SizeByte};
    EXPECT_TRUE(MapLayoutTable(map, tiles, {{1, 0}, 0}).warnings.empty());
}

TEST(LayoutTableTest, WarnsThatAnEmptyTileSetCannotBeSaved) {
    const TileFormat tiles = TileFormat::Default();
    EXPECT_TRUE(HasWarning(TileLayoutTable(tiles, {0, 0}), msg::kNoTilesToSave));
    const MapFormat map = MapFormat::Default();
    EXPECT_TRUE(HasWarning(MapLayoutTable(map, tiles, {{0, 0}, 0}),
                           std::string("타일 파일: ") + msg::kNoTilesToEmbed));
    TileFormat paletteOnly = tiles;
    paletteOnly.items = {TileItem::Palette1024};
    EXPECT_FALSE(HasWarning(TileLayoutTable(paletteOnly, {0, 0}), msg::kNoTilesToSave));
}
