// The generated readers on the console items: for a layout per pixel
// encoding, the colour encodings among them, a tile file or map kesh wrote
// gives back the set's pixels and its colours as the encoding keeps them,
// in C and in Python.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "layout/CodeGen.h"
#include "layout/LayoutTable.h"
#include "map/LayoutDataOf.h"
#include "map/MapFile.h"
#include "support/ConsoleTileSets.h"
#include "support/ReaderTools.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"

using namespace kesh;
using namespace kesh::test;

namespace {

constexpr const char* kDriverC = R"(#include <stdio.h>
#include "reader.h"

int main(int argc, char **argv)
{
    static unsigned char data[1 << 20];
    FILE *f = fopen(argv[1], "rb");
    size_t size, i, n;
    int rc;
#ifdef KESH_MAP
    struct kesh_map m;
    struct kesh_tiles *t = &m.tiles;
#else
    struct kesh_tiles tiles, *t = &tiles;
#endif

    (void)argc;
    if (f == NULL)
        return 3;
    size = fread(data, 1, sizeof data, f);
    fclose(f);
#ifdef KESH_MAP
    rc = kesh_read_map(data, size, &m);
#else
    rc = kesh_read_tiles(data, size, t);
#endif
    if (rc != 0) {
        printf("error %d\n", rc);
        return 0;
    }
    n = (size_t)t->count * (size_t)t->width * (size_t)t->height;
    printf("tiles %d %d %d\npixels ", t->width, t->height, t->count);
    for (i = 0; i < n; ++i)
        printf("%02x", t->pixels[i]);
    printf("\npalettes %d %d\nrgb", t->palette_count, t->colours_per_palette);
    for (i = 0; i < (size_t)(t->palette_count * t->colours_per_palette); ++i)
        printf(" %d %d %d", t->palette_rgb[i][0], t->palette_rgb[i][1], t->palette_rgb[i][2]);
    printf("\n");
#ifdef KESH_MAP
    kesh_free_map(&m);
#else
    kesh_free_tiles(t);
#endif
    return 0;
}
)";

constexpr const char* kDriverPython = R"(import importlib
import os
import sys

sys.path.insert(0, os.path.dirname(sys.argv[1]))
reader = importlib.import_module(os.path.splitext(os.path.basename(sys.argv[1]))[0])
with open(sys.argv[3], "rb") as f:
    data = f.read()
try:
    d = reader.read_map(data) if sys.argv[2] == "map" else reader.read_tiles(data)
except ValueError as e:
    print("error", e)
    sys.exit(0)
print("tiles", d["tileWidth"], d["tileHeight"], d["tileCount"])
print("pixels", d["pixels"].hex())
print("palettes", d["paletteCount"], d["coloursPerPalette"])
print(" ".join(["rgb"] + [str(v) for p in d["palettes"] for rgb in p for v in rgb]))
)";

struct Case {
    std::string name;
    TileSet set;
    std::vector<uint8_t> mapItems; // empty for a tile file
};

TileFormat Format(std::vector<uint8_t> items, PixelEncoding pixels, ColourEncoding colours, int k,
                  int p, int32_t w = 16, int32_t h = 16) {
    TileFormat format =
        ConsoleFormat(std::move(items), {pixels, colours, uint16_t(k), uint16_t(p)});
    format.width = w;
    format.height = h;
    return format;
}

// Every pixel encoding, every colour encoding, the palette before and after
// the pixels, tiles of several 8 x 8 blocks, and plain pixels after the
// encoded ones (which they replace).
std::vector<Case> Cases() {
    using namespace TileItem;
    using PE = PixelEncoding;
    using CE = ColourEncoding;
    const std::vector<uint8_t> last = {SizeByte, CountWord, Pixels, TileItem::Palette};
    const std::vector<uint8_t> first = {TileItem::Palette, SizeWord, CountByte, Pixels};
    const std::vector<uint8_t> cellsThenTiles = {MapItem::SizeWord, MapItem::CellsWord,
                                                 MapItem::TileFile};
    std::vector<Case> cases;
    const auto add = [&](const char* name, TileSet set, std::vector<uint8_t> mapItems = {}) {
        cases.push_back({name, std::move(set), std::move(mapItems)});
    };
    add("snes", SnesSet());
    add("1bpp", ConsoleSet(Format(first, PE::Planar1, CE::Rgb888, 2, 2), 3, 1));
    add("gbc", ConsoleSet(Format(last, PE::Planar2Rows, CE::Bgr555, 4, 8, 8, 16), 3, 2));
    add("nes", ConsoleSet(Format(first, PE::Planar2Nes, CE::Nes, 4, 4, 8, 8), 5, 3));
    add("sms", ConsoleSet(Format(last, PE::Planar4Sms, CE::MasterSystem, 16, 2), 2, 4));
    add("gba", ConsoleSet(Format(first, PE::Packed4Low, CE::Bgr555, 16, 16, 24, 8), 2, 5));
    add("md", ConsoleSet(Format(last, PE::Packed4High, CE::MegaDrive, 16, 4), 2, 6));
    add("gg8", ConsoleSet(Format(first, PE::Planar8Snes, CE::GameGear, 256, 1), 2, 7));
    add("pce_bytes", ConsoleSet(Format(last, PE::Byte8, CE::PcEngine, 16, 16, 12, 10), 2, 8));
    add("then_plain", ConsoleSet(Format({SizeByte, CountByte, Pixels, TileData, TileItem::Palette},
                                        PE::Planar2Nes, CE::Nes, 4, 1, 8, 8),
                                 2, 9));
    add("map_nes", ConsoleSet(Format(first, PE::Planar2Nes, CE::Nes, 4, 4, 8, 8), 4, 10),
        cellsThenTiles);
    add("map_md", ConsoleSet(Format(last, PE::Packed4High, CE::MegaDrive, 16, 4, 8, 8), 3, 11),
        {MapItem::TileFile, MapItem::SizeByte, MapItem::CellsByte});
    return cases;
}

// What a correct reader prints: the set's pixels, its colours as the
// encoding keeps them.
std::string Expected(const TileSet& set) {
    std::ostringstream out;
    out << "tiles " << set.tileWidth() << ' ' << set.tileHeight() << ' ' << set.count()
        << "\npixels ";
    for (int i = 0; i < set.count(); ++i)
        for (int64_t p = 0; p < set.tiles().tileSize(); ++p)
            out << "0123456789abcdef"[set.tiles().PixelsAt(i)[p] >> 4]
                << "0123456789abcdef"[set.tiles().PixelsAt(i)[p] & 15];
    const TileItemParams& params = set.format().params;
    out << "\npalettes " << params.paletteCount << ' ' << params.coloursPerPalette << "\nrgb";
    for (int i = 0; i < params.paletteCount * params.coloursPerPalette; ++i) {
        const uint8_t* e = set.colourTable() + 4 * i;
        const Rgb c = ReduceColour(params.colours, Rgb{e[2], e[1], e[0]});
        out << ' ' << int(c.r) << ' ' << int(c.g) << ' ' << int(c.b);
    }
    out << '\n';
    return out.str();
}

// Writes the case's file into `dir` and returns its layout.
CodeLayout WriteCase(const Case& c, const std::string& path) {
    ByteWriter file;
    if (c.mapItems.empty()) {
        EXPECT_TRUE(c.set.WriteTileFile(file));
        std::vector<uint8_t> bytes = file.bytes();
        // Plain pixels after the encoded ones replace them: these may then hold anything.
        const LayoutTable table = TileLayoutTable(c.set.format(), LayoutDataOf(c.set));
        const auto plain =
            std::find_if(table.items.begin(), table.items.end(),
                         [](const LayoutEntry& e) { return e.code == TileItem::TileData; });
        for (const LayoutEntry& e : table.items)
            if (e.code == TileItem::Pixels && plain != table.items.end() &&
                plain->offset > e.offset)
                std::fill_n(bytes.begin() + ptrdiff_t(e.offset), e.length, 0x55);
        WriteBytes(path, bytes);
        TileDescriptor descriptor;
        EXPECT_TRUE(ParseKtf(BuildKtf(c.set.format()), descriptor));
        return CodeLayout::ForTiles(descriptor, c.name + ".til");
    }
    MapModel map;
    EXPECT_TRUE(map.AllocateCells(3, 2));
    map.cells() = {0, 1, 1, 0, kEmptyCell, 2};
    map.format().items = c.mapItems;
    EXPECT_TRUE(WriteMapFile(map, c.set, file));
    WriteBytes(path, file.bytes());
    MapDescriptor descriptor;
    EXPECT_TRUE(ParseKmf(BuildKmf(map.format(), c.set.format()), descriptor));
    return CodeLayout::ForMap(descriptor, c.name + ".map");
}

} // namespace

TEST(CodeGenConsoleTest, GeneratedCReadsTheConsoleItems) {
    if (std::string(KESH_TEST_CC).empty()) {
        ASSERT_FALSE(ReaderToolsRequired()) << "no C compiler was found when kesh was configured";
        GTEST_SKIP() << "no C compiler";
    }
    TempDir dir;
    std::ofstream(dir.file("driver.c")) << kDriverC;
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        const std::string sub = dir.file(c.name);
        ASSERT_EQ(std::system(("mkdir " + Quote(sub)).c_str()), 0);
        const CodeLayout layout = WriteCase(c, sub + "/data");
        std::ofstream(sub + "/reader.h") << GenerateCReader(layout);
        const std::string exe = sub + "/driver", out = sub + "/out.txt", log = sub + "/log.txt";
        ASSERT_TRUE(RunTo(std::string(KESH_TEST_CC) + " -std=c99 -Wall -Wextra -pedantic -Werror" +
                              (layout.map ? " -DKESH_MAP" : "") + " -I" + Quote(sub) + " " +
                              Quote(dir.file("driver.c")) + " -o " + Quote(exe),
                          out, log))
            << ReadText(out) << ReadText(log);
        ASSERT_TRUE(RunTo(Quote(exe) + " " + Quote(sub + "/data"), out, log)) << ReadText(log);
        EXPECT_EQ(ReadText(out), Expected(c.set));
    }
}

TEST(CodeGenConsoleTest, GeneratedPythonReadsTheConsoleItems) {
    if (std::string(KESH_TEST_PYTHON).empty()) {
        ASSERT_FALSE(ReaderToolsRequired()) << "no python3 was found when kesh was configured";
        GTEST_SKIP() << "no python3";
    }
    TempDir dir;
    std::ofstream(dir.file("driver.py")) << kDriverPython;
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        const CodeLayout layout = WriteCase(c, dir.file(c.name + ".bin"));
        const std::string module = dir.file(c.name + "_reader.py");
        std::ofstream(module) << GeneratePythonReader(layout);
        const std::string out = dir.file(c.name + ".txt"), log = dir.file(c.name + ".log");
        ASSERT_TRUE(RunTo(std::string(KESH_TEST_PYTHON) + " " + Quote(dir.file("driver.py")) + " " +
                              Quote(module) + (layout.map ? " map " : " tiles ") +
                              Quote(dir.file(c.name + ".bin")),
                          out, log))
            << ReadText(log);
        EXPECT_EQ(ReadText(out), Expected(c.set));
    }
}

// The comment says where each item lies, in the tile count and size and the
// map size, as a game's build script would pick the parts out; the numbers
// agree with the layout table's for a concrete map.
TEST(CodeGenConsoleTest, CommentGivesEachItemsOffset) {
    MapDescriptor map;
    map.headerLength = 2;
    map.items = {MapItem::SizeWord, MapItem::CellsWord, MapItem::TileFile};
    map.tile.items = {TileItem::Palette, TileItem::SizeByte, TileItem::CountByte, TileItem::Pixels};
    map.tile.params = SnesFormat().params;
    const CodeLayout layout = CodeLayout::ForMap(map, "snes.map");
    // Header 2, size 4, the cells; in the tile file the palette's 32 bytes,
    // size 2 and count 1, then the tiles of 32 bytes each.
    const std::vector<std::string> lines = {
        "  TileFile              at 6 + width x height x 2, "
        "35 + count x w x h / 2 bytes",
        "    Palette[bgr555,16x1] at 6 + width x height x 2, 32 bytes",
        "    Pixels[4bpp-snes]   at 41 + width x height x 2, count x w x h / 2 bytes",
    };
    for (const std::string& code : {GenerateCReader(layout), GeneratePythonReader(layout)}) {
        for (const std::string& line : lines)
            EXPECT_NE(code.find(line), std::string::npos) << line << '\n' << code.substr(0, 1500);
        std::istringstream text(code);
        for (std::string line; std::getline(text, line);)
            EXPECT_LE(line.size(), 100u) << line;
    }
    // The NES table after byte cells: 64 bytes for each screen of 32 x 30 cells.
    MapDescriptor nes = map;
    nes.headerLength = 0;
    nes.items = {MapItem::SizeWord, MapItem::CellsByte, MapItem::NesAttributes};
    for (const std::string& code : {GenerateCReader(CodeLayout::ForMap(nes, "nes.map")),
                                    GeneratePythonReader(CodeLayout::ForMap(nes, "nes.map"))})
        for (const char* line :
             {"(screens = (width + 31) / 32 x ((height + 29) / 30), whole NES screens)",
              "  NesAttributes         at 4 + width x height, screens x 64 bytes"})
            EXPECT_NE(code.find(line), std::string::npos) << line << '\n' << code.substr(0, 1500);
    MapFormat format;
    format.width = 3;
    format.height = 2;
    format.items = map.items;
    format.header = "ab";
    MapLayoutData data;
    data.tiles.count = 2;
    const LayoutTable table = MapLayoutTable(format, SnesFormat(), data);
    ASSERT_EQ(table.items.size(), 4u);
    EXPECT_EQ(table.items[3].offset, 6u + 12u);
    EXPECT_EQ(table.items[3].items[3].offset, 41u + 12u);
    EXPECT_EQ(table.items[3].items[3].length, 2u * 8u * 8u / 2u);
}
