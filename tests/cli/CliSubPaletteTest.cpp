// kesh-cli import-image --palettes PxK: the palettes in the summary, the
// cells' palettes in a layout with a palette field, and the refusals.
#include <filesystem>

#include "CliMessages.h"
#include "CliTestSupport.h"
#include "support/LetterPictures.h"
#include "support/TestImages.h"

using namespace kesh;
using namespace kesh::test;

TEST(CliSubPaletteTest, PalettesOptionAndItsRefusals) {
    TempDir dir;
    // Two 2 x 2 tiles: red and blue on black, the same tile in two palettes.
    const std::vector<std::string> rows = {".r.b", "r.b."};
    PngRecipe art;
    art.width = 4;
    art.height = 2;
    art.colourType = PNG_COLOR_TYPE_RGB;
    art.samples = LetterSamples(rows);
    WriteBytes(dir.file("art.png"), MakePng(art));
    struct Case {
        std::vector<std::string> options;
        int status;
        const char* says; // in the summary, or the message
    };
    const Case cases[] = {
        {{"--palettes", "2x2"},
         0,
         "\"palettes\": [[\"#000000\", \"#FF0000\"], [\"#000000\", \"#0000FF\"]]"},
        {{"--palettes", "2x2", "--map", "m.map", "--preset", "snes"}, 0, "\"added\": 1"},
        {{"--palettes", "1x2"}, 1, "그림의 (2, 0) 위치의 타일의 색을 팔레트 1개 × 색 2개"},
        // What no packing holds comes in when the palettes are made for it.
        {{"--palettes", "1x2", "--quantize"}, 0, "\"psnr\""},
        {{"--palettes", "2x2", "--map", "m.map"}, 2, cli::text::kPalettesNeedField},
        {{"--palettes", "16x2", "--map", "m.map", "--preset", "snes"}, 2, "8개까지만"},
        {{"--palettes", "2x2", "--nearest"}, 2, cli::text::kPalettesAlone},
        {{"--palettes", "2x"}, 2, cli::text::kBadPalettes},
        {{"--palettes", "0x4"}, 2, cli::text::kBadPalettes},
        {{"--palettes", "2x1"}, 2, cli::text::kBadPalettes},
        {{"--palettes", "17x16"}, 2, cli::text::kBadPalettes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options[1] + " " + c.options.back());
        for (const char* name : {"set.til", "set.ktf", "m.map", "m.kmf"})
            std::filesystem::remove(dir.file(name));
        std::vector<std::string> args = {"import-image", dir.file("art.png"), dir.file("set.til"),
                                         "--tile-size", "2x2"};
        for (const std::string& option : c.options)
            args.push_back(option == "m.map" ? dir.file("m.map") : option);
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_TRUE(Has(c.status == 0 ? run.out : run.err, c.says)) << run.out << run.err;
        EXPECT_EQ(FileSystem::Native().exists(dir.file("set.til")), c.status == 0);
    }
    // The map of the second case: its cells name their palettes, which
    // step over two colours.
    ASSERT_EQ(Cli({"import-image", dir.file("art.png"), dir.file("set.til"), "--tile-size", "2x2",
                   "--palettes", "2x2", "--map", dir.file("m.map"), "--preset", "snes"})
                  .status,
              0);
    MapModel map;
    TileSet tiles;
    ASSERT_TRUE(
        ReadMapFile(ReadBytes(dir.file("m.map")), ReadBytes(dir.file("m.kmf")), map, tiles));
    EXPECT_EQ(map.cells(), (std::vector<uint16_t>{0, 0}));
    EXPECT_EQ(map.attrs(), (std::vector<uint16_t>{0, cellbit::WithPalette(0, 1)}));
    EXPECT_EQ(map.format().cells.coloursPerPalette, 2);
}
