#include <gtest/gtest.h>

#include "support/ConsoleTileSets.h"
#include "tileset/ShownColours.h"
#include "tileset/TileSheetExport.h"

using namespace kesh;

namespace {

// Entry `index` of the set's table set to `colour`.
void Put(TileSet& set, int index, Rgb colour) {
    ColourTable table{};
    std::copy_n(set.colourTable(), table.size(), table.begin());
    table[size_t(4 * index)] = colour.b;
    table[size_t(4 * index + 1)] = colour.g;
    table[size_t(4 * index + 2)] = colour.r;
    set.SetColourTable(table);
}

} // namespace

// The colours a layout's Palette item stores are shown at its encoding's
// precision, and only those. Expected values worked out by hand: BGR555
// keeps 5 bits a channel, 0x12 -> 2 -> 00010 00010... = 0x10, 0x34 -> 6 ->
// 0x31, 0x56 -> 10 -> 0x52; the Mega Drive 3 bits, 0x12 -> 0, 0x34 -> 1 ->
// 001 001 00 = 0x24, 0x56 -> 2 -> 010 010 01 = 0x49.
TEST(ShownColoursTest, OnlyThePaletteItemsColoursAreReduced) {
    const Rgb held{0x12, 0x34, 0x56};
    struct Case {
        const char* what;
        bool paletteItem;
        TileItemParams params;
        int index;
        Rgb shown;
    } cases[] = {
        {"no Palette item", false, {PixelEncoding::Byte8, ColourEncoding::Bgr555, 16, 1}, 1, held},
        {"bgr555, last colour",
         true,
         {PixelEncoding::Byte8, ColourEncoding::Bgr555, 2, 1},
         1,
         {0x10, 0x31, 0x52}},
        {"bgr555, past P x K", true, {PixelEncoding::Byte8, ColourEncoding::Bgr555, 2, 1}, 2, held},
        {"md, second palette",
         true,
         {PixelEncoding::Byte8, ColourEncoding::MegaDrive, 16, 2},
         31,
         {0x00, 0x24, 0x49}},
        {"md, past P x K",
         true,
         {PixelEncoding::Byte8, ColourEncoding::MegaDrive, 16, 2},
         32,
         held},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TileSet set;
        std::vector<uint8_t> items = {TileItem::CountByte, TileItem::Pixels};
        if (c.paletteItem)
            items.insert(items.begin(), TileItem::Palette);
        set.format() = test::ConsoleFormat(items, c.params);
        set.InitTileSet();
        Put(set, c.index, held);
        const uint32_t argb =
            0xFF000000u | uint32_t(c.shown.r) << 16 | uint32_t(c.shown.g) << 8 | c.shown.b;
        EXPECT_EQ(set.argbOf(uint8_t(c.index)), argb);
        const ColourTable shown = ShownColours(set);
        EXPECT_EQ(shown[size_t(4 * c.index + 2)], c.shown.r);
        EXPECT_EQ(shown[size_t(4 * c.index + 1)], c.shown.g);
        EXPECT_EQ(shown[size_t(4 * c.index)], c.shown.b);
        // The picture exports write what the screen shows; the set keeps its own.
        const std::vector<uint8_t> sheet = BuildTileSheet(set);
        EXPECT_TRUE(std::equal(shown.begin(), shown.end(), sheet.begin() + 54));
        EXPECT_EQ(set.colourTable()[4 * c.index + 2], held.r);
    }
}
