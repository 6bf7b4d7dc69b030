#include <gtest/gtest.h>

#include "base/Messages.h"
#include "layout/Descriptor.h"
#include "layout/LayoutTable.h"
#include "layout/TileBudget.h"
#include "map/LayoutDataOf.h"
#include "support/WorkshopTiles.h"

// The tile limit: its default from the map's cell item, its place in the
// tile descriptor, and the layout table's warning.

namespace kesh::test {

TEST(TileBudgetTest, TheCellItemSetsTheDefaultAndALayoutMayGoLower) {
    struct Case {
        const char* name;
        std::vector<uint8_t> items;
        const char* preset; // cell fields, or none
        uint32_t own;       // the tile layout's limit, 0 for none
        int64_t limit;
    };
    const std::vector<Case> cases = {
        {"byte cells", {MapItem::SizeWord, MapItem::CellsByte}, nullptr, 0, 256},
        {"word cells", {MapItem::SizeWord, MapItem::CellsWord}, nullptr, 0, 65535},
        {"no cells", {MapItem::SizeWord, MapItem::TileFile}, nullptr, 0, 65535},
        {"byte and word cells: the smaller", {MapItem::CellsWord, MapItem::CellsByte}, nullptr, 0, 256},
        {"a 10-bit tile field", {MapItem::SizeWord, MapItem::CellFields}, "snes", 0, 1024},
        {"set lower", {MapItem::SizeWord, MapItem::CellsByte}, nullptr, 192, 192},
        {"never above what cells hold", {MapItem::SizeWord, MapItem::CellsByte}, nullptr, 1000, 256},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MapFormat map;
        map.items = c.items;
        if (c.preset) {
            bool plane = false;
            map.cells = *CellPresetLayout(c.preset, plane);
        }
        TileFormat tiles;
        tiles.tileLimit = c.own;
        EXPECT_EQ(TileLimit(map, tiles), c.limit);
    }
}

TEST(TileBudgetTest, TheLimitTravelsInTheDescriptorAndNothingElseChanges) {
    TileFormat plain = TileFormat::NewFileDefault();
    const std::vector<uint8_t> before = BuildKtf(plain);
    TileFormat limited = plain;
    limited.tileLimit = 192;
    const std::vector<uint8_t> bytes = BuildKtf(limited);
    // The plain bytes stay as they were; the limit follows in a section.
    ASSERT_GT(bytes.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), bytes.begin()));
    TileDescriptor read;
    ASSERT_TRUE(ParseKtf(bytes, read).ok());
    EXPECT_EQ(read.tileLimit, 192u);
    MapFormat map;
    MapDescriptor mapRead;
    ASSERT_TRUE(ParseKmf(BuildKmf(map, limited), mapRead).ok());
    EXPECT_EQ(mapRead.tile.tileLimit, 192u);

    // Damaged sections: a limit of 0 or past 65,535, cut short, or twice.
    const size_t at = before.size() + 4; // after the extension's magic
    struct Damage {
        const char* name;
        std::vector<uint8_t> section;
    };
    const std::vector<Damage> damages = {
        {"zero", {4, 4, 0, 0, 0, 0, 0}},
        {"too large", {4, 4, 0, 0, 0, 1, 0}},
        {"short", {4, 2, 0, 192, 0}},
        {"twice", {4, 4, 0, 192, 0, 0, 0, 4, 4, 0, 192, 0, 0, 0}},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.name);
        std::vector<uint8_t> damaged(bytes.begin(), bytes.begin() + ptrdiff_t(at));
        damaged.insert(damaged.end(), d.section.begin(), d.section.end());
        TileDescriptor out;
        EXPECT_EQ(ParseKtf(damaged, out).message(), msg::kDamagedFile);
    }
}

TEST(TileBudgetTest, TheLayoutTableWarnsOverTheLimitCountingMirrorImagesOnce) {
    Document doc;
    // Three tiles, two of them mirror images: the hardware stores two.
    MakeWorkshop(doc, {"1200", "2100", "3333"}, {0, 1, 2}, {0, 0, 0});
    EXPECT_EQ(doc.storedTiles(), 2);
    doc.tiles().format().tileLimit = 2;
    const auto warned = [&] {
        const LayoutTable table = MapLayoutTable(doc.map().format(), doc.tiles().format(),
                                                 LayoutDataOf(doc.map(), doc.tiles()));
        return std::any_of(table.warnings.begin(), table.warnings.end(),
                           [](const std::string& w) { return w.find("타일 한도") == 0; });
    };
    EXPECT_FALSE(warned());
    doc.tiles().format().tileLimit = 1;
    EXPECT_TRUE(warned());
    EXPECT_EQ(doc.tileLimit(), 1);
}

} // namespace kesh::test
