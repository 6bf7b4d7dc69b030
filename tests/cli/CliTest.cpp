#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "Cli.h"
#include "CliMessages.h"
#include "CliTestSupport.h"
#include "base/Messages.h"
#include "layout/Descriptor.h"
#include "map/MapBitmapExport.h"
#include "map/MapFile.h"
#include "raster/ImageDecoders.h"
#include "support/TempDir.h"
#include "support/TestImages.h"
#include "text/Cp949.h"
#include "tileset/TileSheetExport.h"

// Designated initializers name only the fields a case cares about.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace kesh;
using kesh::test::ReadBytes;
using kesh::test::TempDir;
using kesh::test::WriteBytes;
using namespace kesh::test;

using Bytes = std::vector<uint8_t>;

TEST(CliTest, VersionHelpAndWrongUsage) {
    EXPECT_EQ(Cli({"--version"}).out, "kesh-cli 1.0.0\n");
    const CliRun help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(Has(help.out, "사용법: kesh-cli"));
    EXPECT_TRUE(Has(help.out, "add-tiles"));

    TempDir dir;
    SaveTiles(dir.file("t.til"), Tiles({1}));
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"bogus"},
        {"info"},
        {"info", "a.map", "b.map"},
        {"info", "a.txt"},
        {"info", "a.map", "--colour"},
        {"info", "a.map", "--cells=yes"},
        {"export-bmp", "a.map"},
        {"palette"},
        {"add-tiles", "a.til"},
        {"convert", "a.map"},
        {"convert", "a.map", "b.map", "--map-items", "SizeByte,Bogus"},
        {"convert", "a.map", "b.map", "--map-items"},
        {"convert", "a.map", "b.map", "--attr-width", "3"},
        {"convert", "a.map", "b.map", "--map-header", std::string(256, 'x')},
        {"convert", dir.file("t.til"), dir.file("u.til"), "--map-items", "TileFile"},
    };
    for (const auto& args : wrong) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_TRUE(Has(run.err, "kesh-cli --help"));
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("u.til")));
}

TEST(CliTest, ExitStatusReachesTheShell) {
    const std::string cmd = std::string(KESH_CLI_PATH) + " bogus 2>/dev/null";
    const int raw = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 2);
}

TEST(CliTest, InfoOfAMap) {
    TempDir dir;
    SaveMap(dir.file("town.map"));
    const CliRun run = Cli({"info", dir.file("town.map"), "--cells", "--palette"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string& j = run.out;
    EXPECT_TRUE(Has(j, "\"kind\": \"map\""));
    EXPECT_TRUE(Has(j, "\"header\": \"지도\""));
    EXPECT_TRUE(Has(j, "\"headerBytes\": 4"));
    EXPECT_TRUE(Has(j, "\"width\": 3,"));
    EXPECT_TRUE(Has(j, "\"height\": 2,"));
    EXPECT_TRUE(Has(j, "\"mapItems\": [\"SizeWord\", \"CellsWord\", \"TileFile\"]"));
    EXPECT_TRUE(Has(j, "\"tileWidth\": 8,"));
    EXPECT_TRUE(Has(j, "\"attrWidth\": 1,\n  \"attrWidthCode\": 0,"));
    EXPECT_TRUE(Has(j, "\"tileItems\": [\"SizeByte\", \"CountWord\", \"TileData\", "
                       "\"AttrData\", \"Palette768\"]"));
    EXPECT_TRUE(Has(j, "\"tileCount\": 2,"));
    EXPECT_TRUE(Has(j, "\"attributes\": [50, 60]"));
    EXPECT_TRUE(Has(j, "\"cells\": [0, 1, 2, 3, 4, 65535]"));
    // Entry 0 of the default colour cube: blue 64, green 64, red 64 (through 6 bits).
    EXPECT_TRUE(Has(j, "\"palette\": [[64, 64, 64], [88, 64, 64], "));
    EXPECT_EQ(j.front(), '{');
    EXPECT_EQ(j.substr(j.size() - 2), "}\n");

    const CliRun plain = Cli({"info", dir.file("town.map")});
    EXPECT_FALSE(Has(plain.out, "cells"));
    EXPECT_FALSE(Has(plain.out, "palette"));
}

TEST(CliTest, InfoOfATileSet) {
    TempDir dir;
    TileSet set = Tiles({1, 2, 3});
    set.format().header = "AB\"C";
    set.format().attrWidth = 1;
    SaveTiles(dir.file("t.TIL"), set); // the kind goes by the name, in any case
    const CliRun ok = Cli({"info", dir.file("t.TIL")});
    ASSERT_EQ(ok.status, 0) << ok.err;
    EXPECT_TRUE(Has(ok.out, "\"kind\": \"tileset\""));
    EXPECT_TRUE(Has(ok.out, "\"header\": \"AB\\\"C\""));
    // Bytes per attribute as --attr-width takes them, beside the layout's code.
    EXPECT_TRUE(Has(ok.out, "\"attrWidth\": 2,\n  \"attrWidthCode\": 1,"));
    EXPECT_TRUE(Has(ok.out, "\"tileCount\": 3,"));
    EXPECT_TRUE(Has(ok.out, "\"attributes\": [10, 20, 30]"));
    EXPECT_FALSE(Has(ok.out, "\"width\""));
}

TEST(CliTest, RefusedInputFiles) {
    TempDir dir;
    SaveMap(dir.file("town.map"));
    // Missing descriptor.
    WriteBytes(dir.file("lone.map"), {1, 1, 0});
    CliRun run = Cli({"info", dir.file("lone.map")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, msg::kKmfMissing));
    EXPECT_TRUE(run.out.empty());
    // A missing map or tile file is named itself, not its descriptor.
    for (const char* name : {"nothere.map", "nothere.til"}) {
        run = Cli({"info", dir.file(name)});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, std::string(msg::kOpenFailed) + "\n" + dir.file(name) + "\n");
    }
    // A .map cut short.
    Bytes bytes = ReadBytes(dir.file("town.map"));
    bytes.resize(bytes.size() - 1);
    WriteBytes(dir.file("town.map"), bytes);
    run = Cli({"export-bmp", dir.file("town.map"), dir.file("o.bmp")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, msg::kDamagedFile));
    EXPECT_FALSE(std::filesystem::exists(dir.file("o.bmp")));
    // Not a palette image.
    WriteBytes(dir.file("town.gif"), {'G', 'I', 'F', '8', '9', 'a'});
    run = Cli({"palette", dir.file("town.gif")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, msg::kPaletteTypeUnsupported));
    WriteBytes(dir.file("bad.pcx"), Bytes(900, 0));
    EXPECT_EQ(Cli({"palette", dir.file("bad.pcx")}).status, 1);
    EXPECT_EQ(Cli({"palette", dir.file("none.bmp")}).status, 1);
}

TEST(CliTest, ExportBmpOfMapAndTileSet) {
    TempDir dir;
    SaveMap(dir.file("town.map"));
    ASSERT_EQ(Cli({"export-bmp", dir.file("town.map"), dir.file("m.bmp")}).status, 0);
    MapModel map;
    TileSet tiles;
    bool missing = false;
    ASSERT_TRUE(OpenMapFiles(FileSystem::Native(), dir.file("town.map"), map, tiles, missing));
    ASSERT_TRUE(ExportMapBitmap(FileSystem::Native(), dir.file("ref.bmp"), map, tiles));
    EXPECT_EQ(ReadBytes(dir.file("m.bmp")), ReadBytes(dir.file("ref.bmp")));
    EXPECT_EQ(ReadBytes(dir.file("m.bmp")).size(), 1078u + 24 * 16);

    const TileSet set = Tiles({1, 2, 3});
    SaveTiles(dir.file("t.til"), set);
    ASSERT_EQ(Cli({"export-bmp", dir.file("t.til"), dir.file("s.bmp")}).status, 0);
    EXPECT_EQ(ReadBytes(dir.file("s.bmp")), BuildTileSheet(set));
}

TEST(CliTest, PaletteOfBmpAndPcx) {
    TempDir dir;
    ColourTable colours{};
    for (size_t i = 0; i < 256; ++i) {
        colours[4 * i] = uint8_t(i);           // blue
        colours[4 * i + 1] = uint8_t(255 - i); // green
        colours[4 * i + 2] = 200;              // red
    }
    const auto header = MapBitmapHeader(4, 1, colours.data());
    Bytes bmp(header.begin(), header.end());
    bmp.resize(bmp.size() + 4, 0);
    WriteBytes(dir.file("p.BMP"), bmp);
    CliRun run = Cli({"palette", dir.file("p.BMP")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "0 50 63 0\n1 50 63 0\n"));
    EXPECT_TRUE(Has(run.out, "\n255 50 0 63\n"));
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 256);

    Bytes pcx(128, 0);
    pcx[0] = 10;
    pcx[1] = 5;
    pcx[2] = 1;
    pcx[3] = 8;
    pcx[8] = 1; // 2 x 1 pixels
    pcx[65] = 1;
    pcx[66] = 2;
    pcx.insert(pcx.end(), {7, 9, 0x0C});
    for (int i = 0; i < 256; ++i)
        pcx.insert(pcx.end(), {uint8_t(i), uint8_t(4 * (i % 64)), 252});
    WriteBytes(dir.file("p.pcx"), pcx);
    run = Cli({"palette", dir.file("p.pcx")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "0 0 0 63\n1 0 1 63\n"));
    EXPECT_TRUE(Has(run.out, "\n255 63 63 63\n"));
    // --8bit gives what info --palette prints of the same colours.
    run = Cli({"palette", dir.file("p.pcx"), "--8bit"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "0 0 0 252\n1 0 4 252\n"));
    EXPECT_TRUE(Has(run.out, "\n255 252 252 252\n"));
}

TEST(CliTest, AddTilesAddsUniqueTilesAndSaves) {
    TempDir dir;
    SaveTiles(dir.file("set.til"), Tiles({1, 2}));
    TileSet from = Tiles({2, 3, 3, 4});
    from.format().header = "FROM";
    from.format().items = {TileItem::SizeWord, TileItem::CountByte, TileItem::TileAttrData,
                           TileItem::Palette1024};
    ColourTable colours{};
    colours[4] = 77;
    from.SetColourTable(colours);
    SaveTiles(dir.file("from.til"), from);
    SaveTiles(dir.file("more.til"), Tiles({9}));

    CliRun run =
        Cli({"add-tiles", dir.file("set.til"), dir.file("from.til"), dir.file("more.til")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "from.til: 추가한 타일: 2\n"));
    EXPECT_TRUE(Has(run.out, "more.til: 추가한 타일: 1\n"));
    run = Cli({"info", dir.file("set.til")});
    EXPECT_TRUE(Has(run.out, "\"attributes\": [10, 20, 30, 40, 90]"));
    // The added file's header replaces the set's; the set keeps its own layout.
    EXPECT_TRUE(Has(run.out, "\"header\": \"FROM\""));
    EXPECT_TRUE(Has(run.out, "\"tileItems\": [\"SizeByte\", \"CountWord\""));
    EXPECT_EQ(ReadBytes(dir.file("set.ktf")), (Bytes{4, 0, 5, 0, 4, 6, 7, 9}));

    // A file of another tile size is refused and nothing is saved.
    const Bytes before = ReadBytes(dir.file("set.til"));
    SaveTiles(dir.file("big.til"), Tiles({1}, 16));
    run = Cli({"add-tiles", dir.file("set.til"), dir.file("more.til"), dir.file("big.til")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, std::string(msg::kTileSizeMismatch) +
                                 "\n타일 세트: 8x8, 추가할 파일: 16x16\n" + dir.file("big.til")))
        << run.err;
    EXPECT_EQ(ReadBytes(dir.file("set.til")), before);
    // So is one without its descriptor.
    std::filesystem::remove(dir.file("more.ktf"));
    run = Cli({"add-tiles", dir.file("set.til"), dir.file("more.til")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, msg::kKtfMissing));
}

TEST(CliTest, ConvertWithoutOptionsReproducesTheFiles) {
    TempDir dir;
    SaveMap(dir.file("town.map"));
    ASSERT_EQ(Cli({"convert", dir.file("town.map"), dir.file("copy.map")}).status, 0);
    EXPECT_EQ(ReadBytes(dir.file("copy.map")), ReadBytes(dir.file("town.map")));
    EXPECT_EQ(ReadBytes(dir.file("copy.kmf")), ReadBytes(dir.file("town.kmf")));

    TileSet set = Tiles({1, 2, 3});
    set.format().header = *Utf8ToCp949("타일");
    set.format().attrWidth = 2;
    set.format().items = {TileItem::SizeDword, TileItem::CountByte,  TileItem::AttrData,
                          TileItem::TileData,  TileItem::Palette768, TileItem::Palette1024};
    SaveTiles(dir.file("t.til"), set);
    ASSERT_EQ(Cli({"convert", dir.file("t.til"), dir.file("c.til")}).status, 0);
    EXPECT_EQ(ReadBytes(dir.file("c.til")), ReadBytes(dir.file("t.til")));
    EXPECT_EQ(ReadBytes(dir.file("c.ktf")), ReadBytes(dir.file("t.ktf")));
}

TEST(CliTest, ConvertToAnotherLayout) {
    TempDir dir;
    SaveMap(dir.file("town.map"));
    const CliRun run = Cli({"convert", dir.file("town.map"), dir.file("new.map"), "--map-items",
                            "sizedword, CellsByte,TileFile",
                            "--tile-items=SizeWord,CountDword,"
                            "TileAttrData,Palette1024",
                            "--attr-width", "4", "--map-header", "", "--tile-header", "타일"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(dir.file("new.kmf")), (Bytes{0, 3, 2, 4, 3, 4, 2, 4, 1, 5, 8, 10}));
    const Bytes bytes = ReadBytes(dir.file("new.map"));
    ASSERT_GE(bytes.size(), 14u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 14),
              (Bytes{3, 0, 0, 0, 2, 0, 0, 0, 0, 1, 2, 3, 4, 255}));

    const CliRun info = Cli({"info", dir.file("new.map"), "--cells"});
    EXPECT_TRUE(Has(info.out, "\"header\": \"\""));
    EXPECT_TRUE(Has(info.out, "\"attrWidth\": 4,"));
    EXPECT_TRUE(Has(info.out, "\"attributes\": [50, 60]"));
    EXPECT_TRUE(Has(info.out, "\"cells\": [0, 1, 2, 3, 4, 255]"));
    EXPECT_EQ(ReadBytes(dir.file("town.map")).size(), 4u + 4 + 12 + 2 + 2 + 2 * 64 + 2 + 768);
}

// A map whose tiles live only inside it is not converted to a layout without
// TileFile unless the tiles may go; a tile file of the map's name beside it
// keeps them, and the tool says so.
TEST(CliTest, ConvertAwayFromTileFileKeepsOrDropsTilesOnlyWhenTold) {
    struct Case {
        const char* name;
        bool tilesBeside;
        bool drop;
        int status;
        std::string err;
    };
    TempDir dir;
    const Case cases[] = {
        {"refused", false, false, 1, std::string(kesh::cli::text::kTilesWouldBeLost) + "\n"},
        {"dropped", false, true, 0, ""},
        {"beside", true, false, 0, kesh::cli::text::kTilesStayBeside + dir.file("town.til") + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SaveMap(dir.file("town.map"));
        std::filesystem::remove(dir.file("town.til"));
        std::filesystem::remove(dir.file("out.map"));
        if (c.tilesBeside)
            SaveTiles(dir.file("town.til"), Tiles({1}));
        std::vector<std::string> args = {"convert", dir.file("town.map"), dir.file("out.map"),
                                         "--map-items", "SizeWord,CellsWord"};
        if (c.drop)
            args.push_back("--drop-tiles");
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(std::filesystem::exists(dir.file("out.map")), c.status == 0);
    }
}

namespace {

// A palette PNG of 4 x 2 tiles of 4 x 4: tile (c, r) is filled with index
// `grid[r * 4 + c]`; palette entry i is (4i, 8, 12).
Bytes TilePng(const std::vector<uint8_t>& grid, int width = 16, int height = 8) {
    kesh::test::PngRecipe recipe{.width = width, .height = height};
    for (int i = 0; i < 16; ++i)
        recipe.palette.push_back({uint8_t(4 * i), 8, 12});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            recipe.samples.push_back(grid[size_t((y / 4) * 4 + x / 4) % grid.size()]);
    return kesh::test::MakePng(recipe);
}

} // namespace

TEST(CliTest, ImportImageCreatesOrExtendsTheSetAndWritesTheMap) {
    TempDir dir;
    WriteBytes(dir.file("level.png"), TilePng({1, 2, 1, 3, 3, 3, 2, 1}));
    CliRun run = Cli({"import-image", dir.file("level.png"), dir.file("set.til"), "--tile-size",
                      "4x4", "--palette", "--map", dir.file("level.map")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "{\n  \"tiles\": 8,\n  \"added\": 3,\n  \"duplicates\": 5,\n"
                       "  \"changedPixels\": 0,\n  \"mapWidth\": 4,\n  \"mapHeight\": 2\n}\n");
    MapModel map;
    TileSet set;
    bool missing = false;
    ASSERT_TRUE(OpenMapFiles(FileSystem::Native(), dir.file("level.map"), map, set, missing));
    EXPECT_EQ(map.cells(), (std::vector<uint16_t>{0, 1, 0, 2, 2, 2, 1, 0}));
    EXPECT_EQ(map.format().items,
              (std::vector<uint8_t>{MapItem::SizeWord, MapItem::CellsWord, MapItem::TileFile}));
    EXPECT_EQ(set.count(), 3);
    EXPECT_EQ(set.colourTable()[4 * 3 + 2], 12); // entry 3's red

    // Again into the set written: nothing new; a different size is refused.
    WriteBytes(dir.file("more.png"), TilePng({3, 4}, 8, 4));
    run = Cli({"import-image", dir.file("more.png"), dir.file("set.til")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "\"added\": 1,"));
    EXPECT_FALSE(Has(run.out, "mapWidth"));
    const Bytes til = ReadBytes(dir.file("set.til"));
    run = Cli({"import-image", dir.file("more.png"), dir.file("set.til"), "--tile-size", "8x8"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(
        Has(run.err, std::string(msg::kTileSizeMismatch) + "\n타일 세트: 4x4, --tile-size: 8x8"))
        << run.err;
    EXPECT_EQ(
        Cli({"import-image", dir.file("more.png"), dir.file("set.til"), "--tile-size", "4by4"})
            .status,
        2);
    EXPECT_EQ(ReadBytes(dir.file("set.til")), til);
}

TEST(CliTest, ImportImageRefusalsLeaveEveryFileAsItWas) {
    TempDir dir;
    WriteBytes(dir.file("a.png"), TilePng({1, 2}));
    ASSERT_EQ(
        Cli({"import-image", dir.file("a.png"), dir.file("set.til"), "--tile-size", "4x4"}).status,
        0);
    const Bytes til = ReadBytes(dir.file("set.til"));
    Bytes damaged = TilePng({5, 6});
    damaged.resize(damaged.size() - 20);
    WriteBytes(dir.file("damaged.png"), damaged);
    WriteBytes(dir.file("odd.png"), TilePng({5}, 6, 4));
    WriteBytes(dir.file("damaged.bmp"), {'B', 'M', 1, 2, 3});
    WriteBytes(dir.file("damaged.pcx"), {10, 5, 1});
    const std::pair<std::string, std::string> cases[] = {
        {"damaged.png", msg::kPngDamaged}, {"odd.png", msg::kImageNotTileMultiple},
        {"damaged.bmp", msg::kBmpOnly},    {"damaged.pcx", msg::kPcxOnly},
        {"missing.png", msg::kOpenFailed},
    };
    for (const auto& [name, message] : cases) {
        const CliRun run =
            Cli({"import-image", dir.file(name), dir.file("set.til"), "--map", dir.file("m.map")});
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_TRUE(Has(run.err, message + "\n" + dir.file(name))) << run.err;
        EXPECT_EQ(ReadBytes(dir.file("set.til")), til);
        EXPECT_FALSE(std::filesystem::exists(dir.file("m.map")));
    }
    // Padding takes the odd size.
    const CliRun run = Cli({"import-image", dir.file("odd.png"), dir.file("set.til"), "--pad"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "\"tiles\": 2,"));
}

TEST(CliTest, ExportPngAndPaletteSources) {
    TempDir dir;
    SaveMap(dir.file("town.map"));
    ASSERT_EQ(Cli({"export-png", dir.file("town.map"), dir.file("town.png")}).status, 0);
    ASSERT_EQ(Cli({"export-bmp", dir.file("town.map"), dir.file("town.bmp")}).status, 0);
    Image png, bmp;
    ASSERT_TRUE(ReadImage(ReadBytes(dir.file("town.png")), png));
    ASSERT_TRUE(ReadImage(ReadBytes(dir.file("town.bmp")), bmp));
    EXPECT_EQ(png.m_pixels, bmp.m_pixels);
    EXPECT_EQ(png.m_palette, bmp.m_palette);
    SaveTiles(dir.file("set.til"), Tiles({1, 2, 3}));
    ASSERT_EQ(Cli({"export-png", dir.file("set.til"), dir.file("sheet.png")}).status, 0);
    ASSERT_TRUE(ReadImage(ReadBytes(dir.file("sheet.png")), png));
    EXPECT_EQ(png.m_width, 80);

    const std::string gimp = "GIMP Palette\n255 128 4\n";
    WriteBytes(dir.file("colours.gpl"), Bytes(gimp.begin(), gimp.end()));
    CliRun run = Cli({"palette", dir.file("colours.gpl")});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.starts_with("0 63 32 1\n1 0 0 0\n"));
    run = Cli({"palette", dir.file("town.png")});
    EXPECT_EQ(run.status, 0);
    const std::string bad = "JASC-PAL\n0100\n2\n1 2 3\n";
    WriteBytes(dir.file("bad.pal"), Bytes(bad.begin(), bad.end()));
    run = Cli({"palette", dir.file("bad.pal")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, dir.file("bad.pal")));
}

TEST(CliTest, LayoutOfAMapAsJsonAndAsATable) {
    TempDir dir;
    SaveMap(dir.file("town.map"));
    const CliRun json = Cli({"layout", dir.file("town.map"), "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    // Header 4, sizes 4, cells 12, then the tile file: 2 + 2 + 2 x 64 + 2 + 768.
    EXPECT_EQ(json.out,
              "{\n"
              "  \"size\": 922,\n"
              "  \"items\": [\n"
              "    {\"item\": \"Header\", \"offset\": 0, \"length\": 4},\n"
              "    {\"item\": \"SizeWord\", \"offset\": 4, \"length\": 4},\n"
              "    {\"item\": \"CellsWord\", \"offset\": 8, \"length\": 12},\n"
              "    {\"item\": \"TileFile\", \"offset\": 20, \"length\": 902, \"items\": [\n"
              "      {\"item\": \"SizeByte\", \"offset\": 20, \"length\": 2},\n"
              "      {\"item\": \"CountWord\", \"offset\": 22, \"length\": 2},\n"
              "      {\"item\": \"TileData\", \"offset\": 24, \"length\": 128},\n"
              "      {\"item\": \"AttrData\", \"offset\": 152, \"length\": 2},\n"
              "      {\"item\": \"Palette768\", \"offset\": 154, \"length\": 768}\n"
              "    ]}\n"
              "  ],\n"
              "  \"warnings\": []\n"
              "}\n");
    EXPECT_EQ(ReadBytes(dir.file("town.map")).size(), 922u);

    const CliRun table = Cli({"layout", dir.file("town.map")});
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_TRUE(Has(table.out, "        20       902  타일 파일\n"));
    EXPECT_TRUE(Has(table.out, "       154       768    팔렛( r, g, b ) 768 byte\n"));
    EXPECT_TRUE(Has(table.out, "922"));
    EXPECT_FALSE(Has(table.out, "경고"));
}

TEST(CliTest, LayoutWarnsOfCutValuesAndRefusesUnreadableOrders) {
    TempDir dir;
    // The word cells, read last, hold tile 300, which the byte cells cut.
    MapModel map;
    ASSERT_TRUE(map.AllocateCells(2, 1));
    map.format().items = {MapItem::SizeWord, MapItem::CellsByte, MapItem::CellsWord};
    map.cells() = {300, 7};
    ASSERT_TRUE(SaveMapFiles(FileSystem::Native(), dir.file("cut.map"), map, Tiles({1})));
    CliRun run = Cli({"layout", dir.file("cut.map"), "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "\"warnings\": [\"지도데이터(BYTE): 타일 번호 300"));
    run = Cli({"layout", dir.file("cut.map")});
    EXPECT_TRUE(Has(run.out, "경고: 지도데이터(BYTE): "));

    TileSet set = Tiles({1, 2});
    set.format().items = {TileItem::TileData, TileItem::SizeByte, TileItem::CountByte};
    SaveTiles(dir.file("late.til"), set);
    run = Cli({"layout", dir.file("late.til")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, msg::kNoTileSize));
    EXPECT_EQ(Cli({"layout", dir.file("cut.map"), "--cells"}).status, 2);
}

TEST(CliTest, CodegenWritesTheReaderOfTheLayout) {
    TempDir dir;
    SaveMap(dir.file("town.map"));
    CliRun run = Cli({"codegen", dir.file("town.map"), "--lang", "c"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "static int kesh_read_map(const unsigned char *data, size_t size"));
    EXPECT_TRUE(Has(run.out, "laid out like town.map"));

    run = Cli({"codegen", dir.file("town.map"), "--lang=python", "-o", dir.file("town.py")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.empty());
    const Bytes module = ReadBytes(dir.file("town.py"));
    EXPECT_TRUE(
        Has(std::string(module.begin(), module.end()), "def read_map(data: bytes) -> dict:"));

    SaveTiles(dir.file("set.til"), Tiles({1}));
    run = Cli({"codegen", dir.file("set.til"), "--lang", "c"});
    EXPECT_TRUE(Has(run.out, "kesh_read_tiles"));

    EXPECT_EQ(Cli({"codegen", dir.file("town.map")}).status, 2);
    EXPECT_EQ(Cli({"codegen", dir.file("town.map"), "--lang", "rust"}).status, 2);
    WriteBytes(dir.file("lone.map"), {1, 1, 0});
    run = Cli({"codegen", dir.file("lone.map"), "--lang", "c"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, msg::kKmfMissing));
}

TEST(CliTest, TmxExportAndImport) {
    TempDir dir;
    SaveMap(dir.file("town.map"));
    ASSERT_EQ(Cli({"export-tmx", dir.file("town.map"), dir.file("town.tmx")}).status, 0);
    EXPECT_FALSE(ReadBytes(dir.file("town-tiles.png")).empty());

    // Read back from another folder: the sheet is found beside the .tmx.
    CliRun run = Cli({"import-tmx", dir.file("town.tmx"), dir.file("back.map")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "\"mapWidth\": 3,"));
    EXPECT_TRUE(Has(run.out, "\"tiles\": 2,"));
    MapModel map;
    TileSet tiles;
    bool missing = false;
    ASSERT_TRUE(OpenMapFiles(FileSystem::Native(), dir.file("back.map"), map, tiles, missing));
    EXPECT_EQ(map.cells(), (std::vector<uint16_t>{0, 1, kEmptyCell, kEmptyCell, kEmptyCell,
                                                  kEmptyCell})); // 2-4 named no tile
    EXPECT_EQ(map.format().items,
              (std::vector<uint8_t>{MapItem::SizeWord, MapItem::CellsWord, MapItem::TileFile}));
    EXPECT_EQ(tiles.count(), 2);

    run = Cli({"import-tmx", dir.file("town.tmx"), dir.file("b.map"), "--map-items",
               "SizeDword,CellsWord", "--drop-flips"});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_TRUE(OpenMapFiles(FileSystem::Native(), dir.file("b.map"), map, tiles, missing));
    EXPECT_EQ(map.format().items, (std::vector<uint8_t>{MapItem::SizeDword, MapItem::CellsWord}));

    // Refused input writes nothing.
    WriteBytes(dir.file("bad.tmx"), Bytes{'<', 'm', 'a', 'p'});
    run = Cli({"import-tmx", dir.file("bad.tmx"), dir.file("bad.map")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, "XML"));
    EXPECT_FALSE(FileSystem::Native().exists(dir.file("bad.map")));
    EXPECT_FALSE(FileSystem::Native().exists(dir.file("bad.kmf")));
    EXPECT_EQ(Cli({"import-tmx", dir.file("town.tmx"), dir.file("x.til")}).status, 2);
    EXPECT_EQ(Cli({"import-tmx", dir.file("town.tmx"), dir.file("x.map"), "--zstd"}).status, 2);
    EXPECT_EQ(Cli({"export-tmx", dir.file("town.map")}).status, 2);
}
