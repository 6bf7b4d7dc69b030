// Platform presets: what each sets, and that a tile file and a map written
// with it read back and write again byte for byte.
#include <gtest/gtest.h>

#include "layout/Descriptor.h"
#include "layout/PlatformPresets.h"
#include "map/MapFile.h"
#include "tileset/TileSetFile.h"

using namespace kesh;

namespace {

using Bytes = std::vector<uint8_t>;

// Two tiles of every pixel value K allows, and P x K colours.
TileSet PresetTiles(const TileFormat& format) {
    TileSet set;
    set.format() = format;
    set.InitTileSet();
    const int k = format.params.coloursPerPalette;
    for (int t = 0; t < 2; ++t) {
        Bytes pixels(64);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = uint8_t((i * 5 + size_t(t) * 3) % size_t(k));
        set.tiles().Append(pixels.data(), 0);
    }
    ColourTable table{};
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = uint8_t(i * 37 + 11);
    set.SetColourTable(table);
    return set;
}

// 34 x 32 cells (the NES table then pads to four screens): tiles 0 and 1,
// a palette per 2 x 2 block, flips where the layout has them.
MapModel PresetMap(const MapFormat& layout) {
    MapFormat format = layout;
    format.width = 34;
    format.height = 32;
    const int palettes = format.PaletteCount();
    std::vector<uint16_t> cells, attrs;
    for (int32_t row = 0; row < format.height; ++row)
        for (int32_t col = 0; col < format.width; ++col) {
            cells.push_back(uint16_t((col + row) % 2));
            const uint16_t flips = (col + row) % 3 == 0 ? cellbit::kHFlip : cellbit::kVFlip;
            attrs.push_back(uint16_t(
                cellbit::WithPalette(flips, (col / 2 + row / 2) % palettes) & format.AttrMask()));
        }
    MapModel map;
    EXPECT_TRUE(map.ReplaceGrid(format, cells, attrs));
    return map;
}

} // namespace

TEST(PlatformPresetsTest, EveryPresetRoundTripsByteForByte) {
    ASSERT_EQ(PlatformPresets().size(), 8u);
    for (const PlatformPreset& preset : PlatformPresets()) {
        SCOPED_TRACE(preset.name);
        const auto layouts = PlatformPresetLayouts(preset.name);
        ASSERT_TRUE(layouts);
        const TileFormat& tileFormat = layouts->tile;
        EXPECT_EQ(tileFormat.width, 8);
        EXPECT_EQ(tileFormat.height, 8);
        ASSERT_TRUE(ValidTileItemParams(tileFormat.params));

        // The tile file: the palette, size 8 x 8, count 2, the pixels.
        const TileSet tiles = PresetTiles(tileFormat);
        ByteWriter first;
        ASSERT_TRUE(tiles.WriteTileFile(first));
        const TileItemParams& p = tileFormat.params;
        const size_t palette = size_t(PaletteBytes(p.colours, p.coloursPerPalette * p.paletteCount));
        const size_t pixels = EncodedTileBytes(p.pixels, 8, 8);
        ASSERT_EQ(first.size(), palette + 2 + 2 + 2 * pixels);
        EXPECT_EQ(Bytes(first.bytes().begin() + ptrdiff_t(palette),
                        first.bytes().begin() + ptrdiff_t(palette + 4)),
                  (Bytes{8, 8, 2, 0}));

        TileReadLayout tileLayout;
        ASSERT_TRUE(ParseKtf(BuildKtf(tileFormat), tileLayout.descriptor));
        TileSet tilesBack;
        ASSERT_TRUE(ReadTileSetFile(first.bytes(), tileLayout, tilesBack));
        ByteWriter again;
        ASSERT_TRUE(tilesBack.WriteTileFile(again));
        EXPECT_EQ(again.bytes(), first.bytes());

        // The map: its size, the cells, then the attribute plane or table.
        const MapModel map = PresetMap(layouts->map);
        EXPECT_EQ(map.format().items.front(), MapItem::SizeWord);
        ByteWriter mapBytes;
        ASSERT_TRUE(WriteMapFile(map, tiles, mapBytes));
        MapModel mapBack;
        TileSet unused;
        ASSERT_TRUE(ReadMapFile(mapBytes.bytes(), BuildKmf(map.format(), tileFormat), mapBack,
                                unused));
        EXPECT_EQ(mapBack.cells(), map.cells());
        EXPECT_EQ(mapBack.attrs(), map.attrs());
        ByteWriter mapAgain;
        ASSERT_TRUE(WriteMapFile(mapBack, tiles, mapAgain));
        EXPECT_EQ(mapAgain.bytes(), mapBytes.bytes());
    }
    EXPECT_FALSE(PlatformPresetLayouts("snes"));
}
