// kesh-cli --preset with platform presets and --tile-items with parameters:
// the tile files they write, worked out by hand.
#include "CliTestSupport.h"
#include "support/LetterPictures.h"
#include "support/TestImages.h"

using namespace kesh;
using namespace kesh::test;

using Bytes = std::vector<uint8_t>;

// convert on a tile file: two 8 x 8 tiles, every pixel 1, then every pixel 2.
// Game Boy rows are plane 0 then plane 1: value 1 is FF 00, value 2 00 FF
// (https://gbdev.io/pandocs/Tile_Data.html); the NES puts plane 0 of all
// eight rows first (https://www.nesdev.org/wiki/PPU_pattern_tables).
TEST(CliPresetTest, ConvertWritesThePresetsTileFile) {
    const auto repeat = [](Bytes part, int times) {
        Bytes out;
        for (int i = 0; i < times; ++i)
            out.insert(out.end(), part.begin(), part.end());
        return out;
    };
    struct Case {
        std::vector<std::string> options;
        size_t palette; // bytes before the size item
        Bytes rest;     // size, count, pixels
    };
    Bytes gb = {8, 8, 2, 0};
    for (const Bytes& row : {Bytes{0xFF, 0x00}, Bytes{0x00, 0xFF}}) {
        const Bytes tile = repeat(row, 8);
        gb.insert(gb.end(), tile.begin(), tile.end());
    }
    Bytes nes = {8, 8, 2, 0};
    for (const uint8_t plane : {0xFF, 0x00, 0x00, 0xFF}) {
        const Bytes rows = repeat({plane}, 8);
        nes.insert(nes.end(), rows.begin(), rows.end());
    }
    const Case cases[] = {
        {{"--tile-items", "Palette[gb,4x1], SizeByte,CountWord,Pixels[2bpp-gb]"}, 1, gb},
        {{"--preset", "gb"}, 1, gb},
        {{"--preset", "nes"}, 16, nes},
    };
    TempDir dir;
    SaveTiles(dir.file("in.til"), Tiles({1, 2}));
    WriteBytes(dir.file("in.ktf"), BuildKtf(Tiles({1, 2}).format()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.back());
        std::vector<std::string> args = {"convert", dir.file("in.til"), dir.file("out.til")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliRun run = Cli(args);
        ASSERT_EQ(run.status, 0) << run.err;
        const Bytes out = ReadBytes(dir.file("out.til"));
        ASSERT_EQ(out.size(), c.palette + c.rest.size());
        EXPECT_EQ(Bytes(out.begin() + ptrdiff_t(c.palette), out.end()), c.rest);
    }
    // Tiles of another size cannot take a preset; nothing is written.
    SaveTiles(dir.file("big.til"), Tiles({1}, 16));
    WriteBytes(dir.file("big.ktf"), BuildKtf(Tiles({1}, 16).format()));
    const CliRun big = Cli({"convert", dir.file("big.til"), dir.file("big2.til"), "--preset", "sms"});
    EXPECT_NE(big.status, 0);
    EXPECT_TRUE(Has(big.err, "8 x 8")) << big.err;
    EXPECT_FALSE(FileSystem::Native().exists(dir.file("big2.til")));
}

// A console's map holds no tiles: shown (export, info, usage), it takes them from
// the tile file of its name beside it.
TEST(CliPresetTest, APresetMapIsShownWithTheTileFileBesideIt) {
    TempDir dir;
    // 16 x 8 pixels, two 8 x 8 tiles.
    std::vector<std::string> rows(8, std::string(8, 'r') + std::string(8, 'b'));
    rows[0] = std::string(16, '.');
    PngRecipe art;
    art.width = 16;
    art.height = 8;
    art.colourType = PNG_COLOR_TYPE_RGB;
    art.samples = LetterSamples(rows);
    WriteBytes(dir.file("art.png"), MakePng(art));
    ASSERT_EQ(Cli({"import-image", dir.file("art.png"), dir.file("m.til"), "--preset", "snes4",
                   "--map", dir.file("m.map")})
                  .status,
              0);
    ASSERT_EQ(Cli({"export-png", dir.file("m.map"), dir.file("out.png")}).status, 0);
    // The picture's size, not the map's cells times the default tile size.
    const Bytes png = ReadBytes(dir.file("out.png"));
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(Bytes(png.begin() + 16, png.begin() + 24), (Bytes{0, 0, 0, 16, 0, 0, 0, 8}));
    // The two tiles are one in two palettes.
    const CliRun info = Cli({"info", dir.file("m.map")});
    EXPECT_TRUE(Has(info.out, "\"tileCount\": 1")) << info.out;
    EXPECT_TRUE(Has(info.out, "\"tilePalettes\": [[0, 1]]")) << info.out;
    const CliRun usage = Cli({"usage", dir.file("m.map")});
    EXPECT_TRUE(Has(usage.out, "\"counts\": [2]")) << usage.out;
}
