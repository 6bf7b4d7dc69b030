// The NES attribute table item: bytes worked out by hand from the NESdev
// wiki's "PPU attribute tables" (byte (row / 4) * 8 + col / 4 of a screen;
// bits 1-0 top left, 3-2 top right, 5-4 bottom left, 7-6 bottom right).
#include <gtest/gtest.h>

#include "base/Messages.h"
#include "layout/Descriptor.h"
#include "layout/LayoutTable.h"
#include "map/LayoutDataOf.h"
#include "map/MapFile.h"
#include "tileset/TileSet.h"

using namespace kesh;

namespace {

using Bytes = std::vector<uint8_t>;

struct Paint {
    int32_t col, row, palette;
};

// A width x height map with the NES table, every cell palette 0 but the
// 2 x 2 blocks painted (each cell of the block, cut at the map's edge).
MapModel NesMap(int32_t width, int32_t height, const std::vector<Paint>& blocks) {
    MapFormat format;
    format.width = width;
    format.height = height;
    format.items = {MapItem::NesAttributes};
    format.cells.coloursPerPalette = 4;
    std::vector<uint16_t> attrs(size_t(width) * size_t(height), 0);
    for (const Paint& p : blocks)
        for (int32_t r = p.row; r < std::min(p.row + 2, height); ++r)
            for (int32_t c = p.col; c < std::min(p.col + 2, width); ++c)
                attrs[size_t(r) * size_t(width) + size_t(c)] = cellbit::WithPalette(0, p.palette);
    MapModel map;
    EXPECT_TRUE(map.ReplaceGrid(format, std::vector<uint16_t>(attrs.size(), 0), attrs));
    return map;
}

MapReadLayout ReadLayoutOf(const MapModel& map) {
    MapReadLayout layout;
    EXPECT_TRUE(ParseKmf(BuildKmf(map.format(), TileFormat::Default()), layout.descriptor));
    layout.hasSize = true;
    layout.width = map.width();
    layout.height = map.height();
    return layout;
}

} // namespace

// Each map writes the table the PPU reads, and reads its palettes back.
TEST(NesAttributeTableTest, TablesMatchBytesWorkedOutByHand) {
    struct Case {
        const char* name;
        int32_t width, height;
        std::vector<Paint> blocks;
        std::vector<std::pair<size_t, uint8_t>> bytes; // the bytes not 0
        size_t size;
    };
    const Case cases[] = {
        // Byte 0 covers cells 0-3 x 0-3: top left 1, top right (col 2) 2,
        // bottom left (row 2) 3, bottom right 0 -> 01 | 10<<2 | 11<<4 = 0x39.
        // Cell (6, 28): byte 7 * 8 + 1 = 57, top right -> 3 << 2 = 0x0C; the
        // last row of bytes has no bottom half (rows 30-31).
        {"one screen", 32, 30, {{0, 0, 1}, {2, 0, 2}, {0, 2, 3}, {6, 28, 3}},
         {{0, 0x39}, {57, 0x0C}}, 64},
        // 33 x 31 cells: four screens in reading order, 256 bytes. Cell (32, 0)
        // is screen 1's byte 0, (0, 30) screen 2's, (32, 30) screen 3's, all
        // top left; (30, 0) is screen 0's byte 7, top right: 2 << 2 = 0x08.
        {"padded screens", 33, 31, {{32, 0, 2}, {0, 30, 1}, {32, 30, 3}, {30, 0, 2}},
         {{7, 0x08}, {64, 0x02}, {128, 0x01}, {192, 0x03}}, 256},
        // Bottom right of byte 9 (cells 4-7 x 4-7): cell (6, 6), 2 << 6 = 0x80.
        {"bottom right", 8, 8, {{6, 6, 2}}, {{9, 0x80}}, 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MapModel map = NesMap(c.width, c.height, c.blocks);
        Bytes expected(c.size, 0);
        for (const auto& [at, value] : c.bytes)
            expected[at] = value;
        EXPECT_EQ(MapItemBytes(map.format(), MapItem::NesAttributes), c.size);
        ByteWriter out;
        ASSERT_TRUE(WriteMapFile(map, TileSet(), out));
        const Bytes written = out.take();
        EXPECT_EQ(written, expected);

        MapModel back;
        TileSet tiles;
        ASSERT_TRUE(ReadMapFile(written, ReadLayoutOf(map), back, tiles));
        EXPECT_EQ(back.attrs(), map.attrs());
        EXPECT_EQ(back.format().PaletteCount(), 4);
        // A table cut short is damaged, and the map is left as it was.
        const Status cut = ReadMapFile(std::span(written).first(written.size() - 1),
                                       ReadLayoutOf(map), back, tiles);
        EXPECT_EQ(cut.message(), msg::kDamagedFile);
        EXPECT_EQ(back.attrs(), map.attrs());
    }
}

// A block of mixed palettes keeps its top-left cell's, and the layout table
// says so, naming the first such block.
TEST(NesAttributeTableTest, MixedBlocksAreWarnedOfAndKeepTheTopLeftPalette) {
    MapModel map = NesMap(8, 4, {{4, 2, 1}});
    map.attrs()[size_t(3) * 8 + 5] = cellbit::WithPalette(0, 3); // (5, 3) in block (4, 2)
    map.attrs()[size_t(0) * 8 + 7] = cellbit::WithPalette(0, 2); // (7, 0) in block (6, 0)
    const LayoutTable table = MapLayoutTable(map.format(), TileFormat::Default(),
                                             LayoutDataOf(map, TileSet()));
    std::vector<std::string> mixed;
    for (const std::string& w : table.warnings)
        if (w.find("2×2") != std::string::npos)
            mixed.push_back(w);
    ASSERT_EQ(mixed.size(), 1u);
    EXPECT_NE(mixed[0].find("(6, 0)"), std::string::npos) << mixed[0];
    EXPECT_NE(mixed[0].find("팔레트 0"), std::string::npos) << mixed[0];

    ByteWriter out;
    ASSERT_TRUE(WriteMapFile(map, TileSet(), out));
    // Byte 1 (cells 4-7 x 0-3): top right 0 (from (6, 0)), bottom left 1.
    EXPECT_EQ(out.bytes()[1], 0x10);

    MapModel back;
    TileSet tiles;
    const Bytes written = out.take();
    ASSERT_TRUE(ReadMapFile(written, ReadLayoutOf(map), back, tiles));
    EXPECT_EQ(cellbit::PaletteOf(back.attrs()[size_t(3) * 8 + 5]), 1);
    EXPECT_EQ(cellbit::PaletteOf(back.attrs()[7]), 0);
}

// The table's descriptor section goes with the item: an older reader meets a
// section it does not know and refuses; either without the other, or a
// palette field in a word beside the table, is damaged.
TEST(NesAttributeTableTest, DescriptorsRefuseATableTheyCannotRead) {
    MapFormat format;
    format.items = {MapItem::SizeWord, MapItem::CellsByte, MapItem::NesAttributes};
    format.cells.coloursPerPalette = 4;
    const Bytes kmf = BuildKmf(format, TileFormat::Default());
    MapDescriptor read;
    ASSERT_TRUE(ParseKmf(kmf, read));
    EXPECT_EQ(read.items, format.items);
    // The last section: tag 3, length 0.
    ASSERT_GE(kmf.size(), 3u);
    EXPECT_EQ(Bytes(kmf.end() - 3, kmf.end()), (Bytes{DescriptorSection::NesTable, 0, 0}));

    MapFormat withoutItem = format;
    withoutItem.items.pop_back();
    Bytes sectionOnly = BuildKmf(withoutItem, TileFormat::Default()); // plain: no extension
    sectionOnly.insert(sectionOnly.end(), {0xFF, 'K', 'X', 0x01, DescriptorSection::NesTable, 0, 0});
    Bytes itemOnly(kmf.begin(), kmf.end() - 3);
    MapFormat twoPalettes = format;
    twoPalettes.items = {MapItem::SizeWord, MapItem::CellFields, MapItem::NesAttributes};
    twoPalettes.cells.word = {16, false, {{CellFieldKind::Tile, 0, 10, ""},
                                          {CellFieldKind::Palette, 10, 2, ""}}};
    for (const Bytes& bad : {sectionOnly, itemOnly, BuildKmf(twoPalettes, TileFormat::Default())}) {
        MapDescriptor untouched;
        const Status st = ParseKmf(bad, untouched);
        EXPECT_FALSE(st);
        EXPECT_EQ(st.message(), msg::kDamagedFile);
    }
    // Nor is such a map written.
    MapModel map;
    ASSERT_TRUE(map.ReplaceGrid(twoPalettes, std::vector<uint16_t>(size_t(64) * 64, 0)));
    ByteWriter out;
    const Status st = WriteMapFile(map, TileSet(), out);
    EXPECT_FALSE(st);
    EXPECT_NE(st.message().find("palette"), std::string::npos) << st.message();
}
