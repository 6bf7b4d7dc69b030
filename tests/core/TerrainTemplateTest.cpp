#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/CellFields.h"
#include "support/TerrainSheets.h"
#include "terrain/TerrainMessages.h"
#include "terrain/TerrainResolver.h"

namespace kesh {
namespace {

// "0110" -> terrains by position (NW NE SE SW; N NE E SE S SW W NW middle).
TerrainLabel FromDigits(const std::string& digits) {
    TerrainLabel label = 0;
    for (size_t pos = 0; pos < digits.size(); ++pos)
        label = WithTerrain(label, int(pos), digits[pos] - '0');
    return label;
}

// What each tile of the sheets shows, written out by hand.
const std::vector<std::string> kCornerTable = {
    "0000", "1000", "0100", "1100", "0010", "1010", "0110", "1110",
    "0001", "1001", "0101", "1101", "0011", "1011", "0111", "1111",
};
const std::vector<std::string> kBlobTable = {
    "000000000", "000000001", "100000001", "001000001", "101000001", "111000001",
    "000010001", "100010001", "001010001", "001110001", "101010001", "111010001",
    "101110001", "111110001", "000000101", "100000101", "100000111", "001000101",
    "101000101", "111000101", "101000111", "111000111", "000010101", "000011101",
    "100010101", "100011101", "100010111", "100011111", "001010101", "001110101",
    "001011101", "001111101", "101010101", "111010101", "101110101", "111110101",
    "101011101", "111011101", "101111101", "111111101", "101010111", "111010111",
    "101110111", "111110111", "101011111", "111011111", "101111111", "111111111",
};

TileSet EmptySet(int side) {
    TileSet tiles;
    tiles.format().width = side;
    tiles.format().height = side;
    tiles.InitTileSet();
    return tiles;
}

// Each template, cut without flips, gives every tile its hand-written label;
// with flips, a sheet drawn with symmetric corners stores fewer tiles, and
// every label of the template is still drawn exactly by a tile or its
// mirror image.
TEST(TerrainTemplateTest, TemplatesImportWithTheirLabelsAndMirrorImagesSaveTiles) {
    struct Case {
        TerrainTemplate which;
        const std::vector<std::string>* table;
        TerrainKind kind;
        int64_t mirrored; // tiles stored with flips
    };
    const Case cases[] = {
        // 0, 15, one corner, two beside, two across, three corners; the
        // halves N and W are no flip of each other.
        {TerrainTemplate::Corner16, &kCornerTable, TerrainKind::Corner, 7},
        {TerrainTemplate::Blob47, &kBlobTable, TerrainKind::Blob, 21},
    };
    for (const Case& c : cases) {
        const int side = 12;
        TileSet tiles = EmptySet(side);
        ImportOptions options;
        MakeTerrainResult made = MakeTerrain(tiles, terrainsheets::Sheet(c.which, side, false),
                                             c.which, {"물", "풀"}, options);
        ASSERT_TRUE(made.status) << made.status.message();
        EXPECT_EQ(made.set.kind, c.kind);
        EXPECT_EQ(made.set.terrains, (std::vector<std::string>{"물", "풀"}));
        ASSERT_EQ(made.set.tiles.size(), c.table->size());
        for (size_t i = 0; i < c.table->size(); ++i)
            EXPECT_EQ(made.set.tiles[i], (TerrainTile{uint16_t(i), FromDigits((*c.table)[i])}))
                << (*c.table)[i];
        EXPECT_EQ(made.added, int64_t(c.table->size()));

        for (bool marked : {false, true}) {
            TileSet flipped = EmptySet(side);
            options.flips = true;
            made = MakeTerrain(flipped, terrainsheets::Sheet(c.which, side, marked), c.which, {},
                               options);
            ASSERT_TRUE(made.status) << made.status.message();
            EXPECT_EQ(made.added, marked ? int64_t(c.table->size()) : c.mirrored);
            EXPECT_EQ(made.set.terrains, (std::vector<std::string>{"지형 1", "지형 2"}));
            // One label per tile stored, and each slot of the sheet drawn
            // again by the tile its label chooses.
            EXPECT_EQ(int64_t(made.set.tiles.size()), made.added);
            const Image sheet = terrainsheets::Sheet(c.which, side, marked);
            const TerrainResolver resolver(made.set, cellbit::kFlips);
            const TemplateLayout layout = LayoutOf(c.which);
            for (size_t slot = 0; slot < c.table->size(); ++slot) {
                const TerrainChoice choice =
                    resolver.Choose(FromDigits((*c.table)[slot]), 0, 0, {});
                EXPECT_TRUE(choice.exact) << (*c.table)[slot];
                const uint8_t* drawn = flipped.tiles().PixelsAt(choice.tile);
                int wrong = 0;
                for (int y = 0; y < side; ++y)
                    for (int x = 0; x < side; ++x) {
                        const int fx = choice.flips & cellbit::kHFlip ? side - 1 - x : x;
                        const int fy = choice.flips & cellbit::kVFlip ? side - 1 - y : y;
                        const int sx = int(slot) % layout.columns * side + x;
                        const int sy = int(slot) / layout.columns * side + y;
                        wrong += drawn[fy * side + fx] !=
                                 sheet.m_pixels[size_t(sy * sheet.m_width + sx)];
                    }
                EXPECT_EQ(wrong, 0) << (*c.table)[slot] << " marked " << marked;
            }
        }
    }
}

TEST(TerrainTemplateTest, ASheetOfAnotherSizeIsRefusedAndTheSetKept) {
    TileSet tiles = EmptySet(12);
    const Image sheet = terrainsheets::Sheet(TerrainTemplate::Corner16, 12, false);
    const MakeTerrainResult made =
        MakeTerrain(tiles, sheet, TerrainTemplate::Blob47, {"a", "b"}, ImportOptions{});
    EXPECT_EQ(made.status.message(), terrainmsg::kTemplateSize);
    EXPECT_EQ(tiles.count(), 0);
}

} // namespace
} // namespace kesh
