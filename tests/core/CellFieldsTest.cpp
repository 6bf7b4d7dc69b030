// Cell fields: the bytes each machine's map word holds, worked out by hand
// from the hardware documentation cited beside the presets.
#include <gtest/gtest.h>

#include "base/Messages.h"
#include "layout/CellFields.h"
#include "layout/Descriptor.h"
#include "map/MapFile.h"
#include "support/TestTiles.h"

using namespace kesh;

namespace {

using Bytes = std::vector<uint8_t>;

MapModel PresetMap(const char* preset, std::vector<Cell> cells) {
    bool plane = false;
    MapModel map;
    MapFormat format;
    format.width = int32_t(cells.size());
    format.height = 1;
    format.cells = *CellPresetLayout(preset, plane);
    format.items = plane ? std::vector<uint8_t>{MapItem::CellsByte, MapItem::CellAttributes}
                         : std::vector<uint8_t>{MapItem::CellFields};
    std::vector<uint16_t> tiles, attrs;
    for (const Cell& c : cells) {
        tiles.push_back(c.tile);
        attrs.push_back(c.attr);
    }
    EXPECT_TRUE(map.ReplaceGrid(format, tiles, attrs));
    return map;
}

uint16_t Attr(bool h, bool v, int palette, bool priority, uint16_t user = 0) {
    return uint16_t((h ? cellbit::kHFlip : 0) | (v ? cellbit::kVFlip : 0) |
                    (priority ? cellbit::kPriority : 0) | cellbit::WithPalette(0, palette) | user);
}

} // namespace

// Each preset writes the bytes its machine reads, and reads them back.
TEST(CellFieldsTest, PresetsWriteTheMachinesBytesAndReadThemBack) {
    struct Case {
        const char* preset;
        std::vector<Cell> cells;
        Bytes bytes;
    };
    const Case cases[] = {
        // SNES vhopppcc cccccccc: tile 0x123, palette 5, priority, H flip
        // -> 0x0123 | 5<<10 (0x1400) | 1<<13 (0x2000) | 1<<14 (0x4000) = 0x7523, LE.
        {"snes", {{0x123, Attr(true, false, 5, true)}}, {0x23, 0x75}},
        // GBA: tile 0x3FF, V flip (bit 11, 0x800), palette 10 (0xA000) = 0xABFF, LE.
        {"gba", {{0x3FF, Attr(false, true, 10, false)}}, {0xFF, 0xAB}},
        // Mega Drive: tile 0x5A5, H flip (bit 11, 0x800), palette 2 (0x4000),
        // priority (0x8000) = 0xCDA5, big-endian.
        {"megadrive", {{0x5A5, Attr(true, false, 2, true)}}, {0xCD, 0xA5}},
        // Game Boy Color: tile bytes, then attributes: palette 6 | bank (bit 3)
        // | Y flip (bit 6) | priority (bit 7) = 0xCE; the second cell plain.
        {"gbc",
         {{0x42, Attr(false, true, 6, true, cellbit::UserBit(0))}, {0x07, 0}},
         {0x42, 0x07, 0xCE, 0x00}},
        // Master System ---pcvhn nnnnnnnn: tile 0x1A5 (n, 9 bits), V flip
        // (bit 10, 0x400), palette 1 (bit 11, 0x800), priority (bit 12,
        // 0x1000) = 0x1DA5, LE; then tile 0x0FF with H flip (bit 9) = 0x02FF.
        {"sms",
         {{0x1A5, Attr(false, true, 1, true)}, {0x0FF, Attr(true, false, 0, false)}},
         {0xA5, 0x1D, 0xFF, 0x02}},
        // PC Engine PPPPAAAAAAAAAAAA: tile 0xABC, palette 13 (0xD000) = 0xDABC, LE.
        {"pce", {{0xABC, Attr(false, false, 13, false)}}, {0xBC, 0xDA}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.preset);
        const MapModel map = PresetMap(c.preset, c.cells);
        ByteWriter out;
        ASSERT_TRUE(WriteMapFile(map, TileSet(), out));
        EXPECT_EQ(out.take(), c.bytes);

        const Bytes kmf = BuildKmf(map.format(), TileFormat::Default());
        MapReadLayout layout;
        ASSERT_TRUE(ParseKmf(kmf, layout.descriptor));
        layout.hasSize = true;
        layout.width = map.width();
        layout.height = 1;
        MapModel back;
        TileSet tiles;
        ASSERT_TRUE(ReadMapFile(c.bytes, layout, back, tiles));
        EXPECT_EQ(back.format().cells, map.format().cells);
        for (size_t i = 0; i < c.cells.size(); ++i)
            EXPECT_EQ(back.cell(i), c.cells[i]) << i;
    }
}

TEST(CellFieldsTest, TextFormsMatchThePresets) {
    CellWord word;
    bool plane = true;
    ASSERT_TRUE(ParseCellWordText("CellsWord16LE[tile:0-9,hflip:10,vflip:11,palette:12-15]",
                                  word, plane));
    bool usesPlane = false;
    EXPECT_FALSE(plane);
    EXPECT_EQ(word, CellPresetLayout("gba", usesPlane)->word);
    const CellLayout md = *CellPresetLayout("megadrive", usesPlane);
    EXPECT_EQ(CellWordText(md.word, false),
              "CellsWord16BE[tile:0-10,hflip:11,vflip:12,palette:13-14,priority:15]");
    ASSERT_TRUE(ParseCellWordText("Attributes8[palette:0-2,bank:3,hflip:5,vflip:6,priority:7]",
                                  word, plane));
    EXPECT_TRUE(plane);
    EXPECT_EQ(word, CellPresetLayout("gbc", usesPlane)->plane);
    for (const char* bad : {"CellsWord16[tile:0-9]", "CellsWord16LE[tile:9-0]",
                            "CellsWord16LE[tile]", "Cells[tile:0]", "CellsWord16LE[tile:0-40]"}) {
        EXPECT_FALSE(ParseCellWordText(bad, word, plane)) << bad;
    }
}

// A layout the hardware could not hold is refused, naming the field.
TEST(CellFieldsTest, BadLayoutsAreRefusedNamingTheField) {
    const auto layoutOf = [](CellWord word, CellWord plane = {8, false, {}}) {
        CellLayout layout;
        layout.word = std::move(word);
        layout.plane = std::move(plane);
        return layout;
    };
    const CellField tile{CellFieldKind::Tile, 0, 10, ""};
    struct Case {
        CellLayout layout;
        const char* named;
    };
    const Case cases[] = {
        {layoutOf({16, false, {tile, {CellFieldKind::HFlip, 9, 1, ""}}}), "hflip"},
        {layoutOf({16, false, {tile, {CellFieldKind::VFlip, 16, 1, ""}}}), "vflip"},
        {layoutOf({16, false, {tile, {CellFieldKind::Palette, 10, 6, ""}}}), "palette"},
        {layoutOf({16, false, {tile, {CellFieldKind::Tile, 12, 2, ""}}}), "tile"},
        {layoutOf({8, false, {{CellFieldKind::Tile, 0, 8, ""}}}, {8, false, {tile}}), "tile"},
        {layoutOf({16, false, {tile, {CellFieldKind::User, 10, 1, "hflip"}}}), "hflip"},
        {layoutOf({16, false, {tile, {CellFieldKind::User, 10, 1, "w"},
                               {CellFieldKind::User, 11, 1, "w"}}}),
         "w"},
        {layoutOf({12, false, {tile}}), "8, 16, 32"},
    };
    for (const Case& c : cases) {
        const Status st = CheckCellLayout(c.layout);
        EXPECT_FALSE(st) << c.named;
        EXPECT_NE(st.message().find(c.named), std::string::npos) << st.message();
    }
    bool plane = false;
    for (const CellPreset& preset : CellPresets())
        EXPECT_TRUE(CheckCellLayout(*CellPresetLayout(preset.name, plane))) << preset.name;
}

// A descriptor with fields is one an older reader refuses (its plain part
// is followed by more bytes); a damaged one, or one whose fields went
// missing, is refused as damaged and changes nothing.
TEST(CellFieldsTest, DescriptorsWithFieldsAreRefusedWhenDamaged) {
    bool plane = false;
    MapFormat format = MapFormat::Default();
    format.items = {MapItem::SizeWord, MapItem::CellFields};
    format.cells = *CellPresetLayout("snes", plane);
    const Bytes withFields = BuildKmf(format, TileFormat::Default());
    MapDescriptor read;
    ASSERT_TRUE(ParseKmf(withFields, read));
    EXPECT_EQ(read.cells, format.cells);

    Bytes plainPart = {0, 2, MapItem::SizeWord, MapItem::CellFields};
    const Bytes ktf = BuildKtf(TileFormat::Default());
    plainPart.insert(plainPart.end(), ktf.begin(), ktf.end());
    const Bytes mark = {0xFF, 'K', 'X', 0x01};
    ASSERT_GT(withFields.size(), plainPart.size() + mark.size());
    EXPECT_TRUE(std::equal(plainPart.begin(), plainPart.end(), withFields.begin()));
    const size_t at = plainPart.size();
    EXPECT_TRUE(std::equal(mark.begin(), mark.end(), withFields.begin() + ptrdiff_t(at)));

    std::vector<Bytes> bad;
    bad.emplace_back(withFields.begin(), withFields.end() - 1); // cut short
    Bytes unknown = withFields;
    unknown[at + 4] = 9; // a section this program does not know
    bad.push_back(unknown);
    // The payload: bits, order, count, then kind, first, width, name length
    // per field; the second field (palette 10-12) made to start at bit 9,
    // on the tile field's last bit.
    Bytes overlap = withFields;
    ASSERT_EQ(overlap[at + 7 + 3 + 4 + 1], 10);
    overlap[at + 7 + 3 + 4 + 1] = 9;
    bad.push_back(overlap);
    // Without the extension the items have no fields: skipped, as before.
    MapDescriptor noFields;
    ASSERT_TRUE(ParseKmf(plainPart, noFields));
    EXPECT_TRUE(noFields.cells.word.fields.empty());
    for (const Bytes& b : bad) {
        MapDescriptor kept;
        kept.headerLength = 7;
        const Status st = ParseKmf(b, kept);
        EXPECT_EQ(st.message(), msg::kDamagedFile) << b.size();
        EXPECT_EQ(kept.headerLength, 7);
    }
}
