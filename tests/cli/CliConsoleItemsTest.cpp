// kesh-cli on the console items: info names the encodings and P x K, gives
// the palettes as the hardware shows them and each tile's palettes in a map;
// layout gives the items' offsets.
#include "CliTestSupport.h"
#include "support/ConsoleTileSets.h"

using namespace kesh;
using namespace kesh::test;

TEST(CliConsoleItemsTest, InfoAndLayoutShowTheConsoleItems) {
    TempDir dir;
    TileSet set = SnesSet(); // its file is worked out by hand in ConsoleTileSets.h
    SaveTiles(dir.file("snes.til"), set);
    const CliRun info = Cli({"info", dir.file("snes.til"), "--palette"});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_TRUE(Has(info.out, "\"tileItems\": [\"Palette[bgr555,16x1]\", \"SizeByte\", "
                              "\"CountByte\", \"Pixels[4bpp-snes]\"],\n"
                              "  \"pixelEncoding\": \"4bpp-snes\",\n"
                              "  \"colourEncoding\": \"bgr555\",\n"
                              "  \"paletteCount\": 1,\n"
                              "  \"coloursPerPalette\": 16,\n"
                              "  \"palettes\": [[[255, 132, 0], [255, 255, 255], [0, 0, 255], "
                              "[0, 0, 0], "))
        << info.out;
    EXPECT_FALSE(Has(Cli({"info", dir.file("snes.til")}).out, "\"palettes\""));
    // NES $30 and $20 are one white in the 2C02 table; kesh shows $30 a step
    // bluer so that it saves as itself, the console shows the table's white.
    TileSet nes = ConsoleSet(ConsoleFormat({TileItem::Palette, TileItem::SizeByte,
                                            TileItem::CountByte, TileItem::Pixels},
                                           {PixelEncoding::Planar2Nes, ColourEncoding::Nes, 2, 1}),
                             1, 1);
    ColourTable table{};
    std::copy_n(nes.colourTable(), table.size(), table.begin());
    table[0] = 237, table[1] = 238, table[2] = 236;
    nes.SetColourTable(table);
    SaveTiles(dir.file("nes.til"), nes);
    EXPECT_TRUE(Has(Cli({"info", dir.file("nes.til"), "--palette"}).out,
                    "\"palettes\": [[[236, 238, 236], "));

    const CliRun json = Cli({"layout", dir.file("snes.til"), "--json"});
    for (const char* entry : {"{\"item\": \"Palette\", \"offset\": 0, \"length\": 32}",
                              "{\"item\": \"Pixels\", \"offset\": 35, \"length\": 64}"})
        EXPECT_TRUE(Has(json.out, entry)) << json.out;

    // Tile 0 shown with palettes 2 and 0, tile 1 with 3, tile 2 by no cell.
    set.tiles().Append(NesWikiTile().data(), 0);
    bool plane = false;
    MapFormat format;
    format.width = 3;
    format.height = 2;
    format.cells = *CellPresetLayout("snes", plane);
    format.items = {MapItem::SizeWord, MapItem::CellFields, MapItem::TileFile};
    MapModel map;
    ASSERT_TRUE(map.ReplaceGrid(format, {0, 1, 0, 0, 1, kEmptyCell},
                                {cellbit::WithPalette(0, 2), cellbit::WithPalette(0, 3), 0,
                                 cellbit::WithPalette(cellbit::kHFlip, 2),
                                 cellbit::WithPalette(0, 3), cellbit::WithPalette(0, 1)}));
    ASSERT_TRUE(SaveMapFiles(FileSystem::Native(), dir.file("snes.map"), map, set));
    const CliRun mapInfo = Cli({"info", dir.file("snes.map")});
    ASSERT_EQ(mapInfo.status, 0) << mapInfo.err;
    EXPECT_TRUE(Has(mapInfo.out, "\"tilePalettes\": [[0, 2], [3], []]")) << mapInfo.out;
    EXPECT_TRUE(Has(mapInfo.out, "\"paletteCount\": 1")) << mapInfo.out;
    EXPECT_FALSE(Has(Cli({"info", dir.file("snes.til")}).out, "tilePalettes"));

    // The NES table's palettes are shown as any palette field's: a 2 x 2
    // block takes palette 2, the next palette 3.
    MapFormat nesFormat;
    nesFormat.width = 4;
    nesFormat.height = 2;
    nesFormat.items = {MapItem::SizeWord, MapItem::CellsByte, MapItem::NesAttributes,
                       MapItem::TileFile};
    const uint16_t two = cellbit::WithPalette(0, 2), three = cellbit::WithPalette(0, 3);
    ASSERT_TRUE(map.ReplaceGrid(nesFormat, {0, 0, 1, 1, 0, 0, 1, 1},
                                {two, two, three, three, two, two, three, three}));
    ASSERT_TRUE(SaveMapFiles(FileSystem::Native(), dir.file("nes.map"), map, set));
    const CliRun nesInfo = Cli({"info", dir.file("nes.map"), "--cells"});
    ASSERT_EQ(nesInfo.status, 0) << nesInfo.err;
    EXPECT_TRUE(Has(nesInfo.out, "\"tilePalettes\": [[2], [3], []]")) << nesInfo.out;
    EXPECT_TRUE(Has(nesInfo.out, "\"fields\": {\"palette\": [2, 2, 3, 3, 2, 2, 3, 3]}"))
        << nesInfo.out;
}
