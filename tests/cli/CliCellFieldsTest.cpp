// kesh-cli with cell fields: --map-items with fields and --preset on convert
// and import-image, the refusals naming the field, and info and layout
// showing the fields by name.
#include "CliTestSupport.h"

using namespace kesh;
using namespace kesh::test;

using Bytes = std::vector<uint8_t>;

namespace {

// A 3 x 2 map in the SNES layout whose cells set flips, palettes 0-3 and
// priority in turn; two tiles embedded.
void SaveSnesMap(const std::string& path) {
    bool plane = false;
    MapFormat format;
    format.width = 3;
    format.height = 2;
    format.cells = *CellPresetLayout("snes", plane);
    format.items = {MapItem::SizeWord, MapItem::CellFields, MapItem::TileFile};
    const std::vector<uint16_t> attrs = {0,
                                         cellbit::kHFlip,
                                         cellbit::kVFlip,
                                         cellbit::WithPalette(cellbit::kPriority, 3),
                                         cellbit::WithPalette(cellbit::kFlips, 2),
                                         cellbit::WithPalette(0, 1)};
    MapModel map;
    ASSERT_TRUE(map.ReplaceGrid(format, {0, 1, 200, 3, 1, 0}, attrs));
    ASSERT_TRUE(SaveMapFiles(FileSystem::Native(), path, map, Tiles({5, 6})));
}

struct Reopened {
    MapModel map;
    TileSet tiles;
};

void Reopen(const std::string& path, Reopened& out) {
    ASSERT_TRUE(
        ReadMapFile(ReadBytes(path), ReadBytes(DescriptorPath(path, ".kmf")), out.map, out.tiles));
}

CellLayout Preset(const char* name) {
    bool plane = false;
    return *CellPresetLayout(name, plane);
}

} // namespace

// Each way of asking for fields gives its items and fields, and the cells
// keep every field the new layout holds.
TEST(CliCellFieldsTest, ConvertTakesFieldsAsTextOrPreset) {
    using namespace MapItem;
    struct Case {
        std::vector<std::string> options;
        std::vector<uint8_t> items;
        CellLayout cells;
    };
    CellLayout written;
    written.word = Preset("megadrive").word;
    const Case cases[] = {
        {{"--preset", "snes"}, {SizeWord, CellFields, TileFile}, Preset("snes")},
        {{"--preset=gba"}, {SizeWord, CellFields, TileFile}, Preset("gba")},
        // Platform presets: their own items, no TileFile.
        {{"--preset", "megadrive", "--drop-tiles"}, {SizeWord, CellFields}, Preset("megadrive")},
        {{"--preset", "gbc", "--drop-tiles"}, {SizeWord, CellsByte, CellAttributes}, Preset("gbc")},
        {{"--map-items",
          "SizeDword, CellsWord16BE[tile:0-10,hflip:11,vflip:12,palette:13-14,priority:15]",
          "--drop-tiles"},
         {SizeDword, CellFields},
         written},
        {{"--preset", "gba", "--map-items", "SizeWord,CellFields", "--drop-tiles"},
         {SizeWord, CellFields},
         Preset("gba")},
    };
    TempDir dir;
    SaveSnesMap(dir.file("snes.map"));
    Reopened source;
    Reopen(dir.file("snes.map"), source);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options[0] + " " + c.options.back());
        std::vector<std::string> args = {"convert", dir.file("snes.map"), dir.file("out.map")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliRun run = Cli(args);
        ASSERT_EQ(run.status, 0) << run.err;
        Reopened out;
        Reopen(dir.file("out.map"), out);
        EXPECT_EQ(out.map.format().items, c.items);
        EXPECT_EQ(out.map.format().cells, c.cells);
        EXPECT_EQ(out.map.cells(), source.map.cells());
        for (size_t i = 0; i < source.map.attrs().size(); ++i)
            EXPECT_EQ(out.map.attrAt(i), source.map.attrs()[i] & c.cells.AttrMask()) << i;
    }
}

// Fields the layout cannot have, and palettes it cannot hold, exit 2 with
// the field named, and nothing is written.
TEST(CliCellFieldsTest, BadFieldsAreRefusedNamingTheField) {
    struct Case {
        std::vector<std::string> options;
        const char* named;
    };
    const Case cases[] = {
        {{"--map-items", "SizeWord,CellsWord16LE[tile:0-9,hflip:9]"}, "hflip"},
        {{"--map-items", "SizeWord,CellsWord8[tile:0-6,vflip:7-8]"}, "vflip"},
        {{"--map-items", "SizeWord,CellsWord16LE[tile:0-9,palette:10-16]"}, "palette"},
        {{"--map-items", "SizeWord,CellsWord16LE[tile:0-9],Attributes8[tile:0-7]"}, "tile"},
        {{"--map-items", "SizeWord,CellsWord24LE[tile:0-9]"}, "CellsWord24LE"},
        {{"--preset", "n64"}, "n64"},
        {{"--map-items", "SizeWord,CellAttributes"}, "CellAttributes"},
        {{"--map-items", "SizeWord,CellsWord16LE[tile:0-9],CellsWord16BE[tile:0-9]"},
         "CellsWord16BE"},
    };
    TempDir dir;
    SaveSnesMap(dir.file("snes.map"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.named);
        std::vector<std::string> args = {"convert", dir.file("snes.map"), dir.file("out.map")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(Has(run.err, c.named)) << run.err;
        EXPECT_FALSE(FileSystem::Native().exists(dir.file("out.map")));
    }
    // A cell's palette number beyond the palettes the new field holds names the cell.
    const CliRun narrow = Cli({"convert", dir.file("snes.map"), dir.file("out.map"), "--map-items",
                               "SizeWord,CellsWord16LE[tile:0-9,palette:10]"});
    EXPECT_EQ(narrow.status, 2);
    EXPECT_TRUE(Has(narrow.err, "필드 palette: 칸 (0, 1)")) << narrow.err;
}

// import-image makes its map in the layout asked for; info and layout show
// the fields by name.
TEST(CliCellFieldsTest, ImportImageMapInAPresetShownByInfoAndLayout) {
    TempDir dir;
    SaveSnesMap(dir.file("snes.map"));
    ASSERT_EQ(Cli({"export-bmp", dir.file("snes.map"), dir.file("level.bmp")}).status, 0);
    // The Game Boy Color's cells as a map layout alone (--preset gbc would
    // also make the tile set 2bpp, which this picture's colours do not fit).
    const std::string gbcItems =
        "SizeWord,CellsByte,Attributes8[palette:0-2,bank:3,hflip:5,vflip:6,priority:7]";
    const CliRun alone = Cli({"import-image", dir.file("level.bmp"), dir.file("set.til"),
                              "--tile-size", "8x8", "--map-items", gbcItems});
    EXPECT_EQ(alone.status, 2);
    EXPECT_FALSE(FileSystem::Native().exists(dir.file("set.til")));
    const CliRun run = Cli({"import-image", dir.file("level.bmp"), dir.file("set.til"),
                            "--tile-size", "8x8", "--map-items", gbcItems, "--map",
                            dir.file("gbc.map")});
    ASSERT_EQ(run.status, 0) << run.err;
    Reopened out;
    Reopen(dir.file("gbc.map"), out);
    EXPECT_EQ(out.map.format().cells.plane, Preset("gbc").plane);
    // Mirror matching needs a map whose layout holds both flips.
    for (const auto& [preset, status] : {std::pair{"", 2}, std::pair{"snes", 0}}) {
        std::vector<std::string> args = {"import-image", dir.file("level.bmp"),
                                         dir.file("flips.til"), "--tile-size", "8x8",
                                         "--map", dir.file("flips.map"), "--flips"};
        if (*preset) {
            args.push_back("--preset");
            args.push_back(preset);
        }
        const CliRun flips = Cli(args);
        EXPECT_EQ(flips.status, status) << flips.err;
        EXPECT_EQ(Has(flips.out, "\"flippedCells\": "), status == 0) << flips.out;
    }

    const CliRun info = Cli({"info", dir.file("snes.map"), "--cells"});
    EXPECT_TRUE(Has(info.out, "\"mapItems\": [\"SizeWord\", \"CellsWord16LE[tile:0-9,palette:10-12,"
                              "priority:13,hflip:14,vflip:15]\", \"TileFile\"]"))
        << info.out;
    EXPECT_TRUE(Has(info.out, "\"cells\": [0, 1, 200, 3, 1, 0],\n  \"fields\": {\"palette\": "
                              "[0, 0, 0, 3, 2, 1], \"priority\": [0, 0, 0, 1, 0, 0], \"hflip\": "
                              "[0, 1, 0, 0, 1, 0], \"vflip\": [0, 0, 1, 0, 1, 0]}"))
        << info.out;
    const CliRun table = Cli({"layout", dir.file("gbc.map")});
    EXPECT_TRUE(Has(table.out, "셀 속성 평면  Attributes8[palette:0-2,bank:3,hflip:5,vflip:6,"
                               "priority:7]"))
        << table.out;
    const CliRun json = Cli({"layout", dir.file("gbc.map"), "--json"});
    EXPECT_TRUE(Has(json.out, "{\"item\": \"Attributes8[palette:0-2,bank:3,hflip:5,vflip:6,"
                              "priority:7]\", \"offset\": 10, \"length\": 6}"))
        << json.out;
}
