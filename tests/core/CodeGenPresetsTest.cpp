// The generated readers on the platform presets: for each console, a tile
// file and a map kesh saved with the preset are read by the generated C and
// Python readers, which give back what kesh reads back: the pixels, the
// colours as kesh shows them, the tile numbers and every cell field (the NES
// attribute table's palettes among them). The Game Boy palette byte and the
// NES table are also checked against bytes worked out by hand.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "layout/CodeGen.h"
#include "layout/PlatformPresets.h"
#include "map/MapFile.h"
#include "support/CellMaps.h"
#include "support/ConsoleTileSets.h"
#include "support/ReaderTools.h"
#include "support/TempDir.h"

using namespace kesh;
using namespace kesh::test;

namespace {

// The tile reader is made with the prefix ts, the map reader with mp, so
// that both live in one program.
constexpr const char* kDriverC = R"(#include <stdio.h>
#include "ts_reader.h"
#include "mp_reader.h"

static unsigned char data[1 << 16];

static size_t load(const char *path)
{
    FILE *f = fopen(path, "rb");
    size_t size = 0;

    if (f != NULL) {
        size = fread(data, 1, sizeof data, f);
        fclose(f);
    }
    return size;
}

int main(int argc, char **argv)
{
    struct ts_tiles t;
    struct mp_map m;
    size_t i, n;
    int rc;

    (void)argc;
    if ((rc = ts_read_tiles(data, load(argv[1]), &t)) != 0) {
        printf("tiles error %d\n", rc);
        return 0;
    }
    n = (size_t)t.count * (size_t)t.width * (size_t)t.height;
    printf("tiles %d %d %d\npixels ", t.width, t.height, t.count);
    for (i = 0; i < n; ++i)
        printf("%02x", t.pixels[i]);
    printf("\nrgb");
    for (i = 0; i < (size_t)(t.palette_count * t.colours_per_palette); ++i)
        printf(" %d %d %d", t.palette_rgb[i][0], t.palette_rgb[i][1], t.palette_rgb[i][2]);
    printf("\n");
    ts_free_tiles(&t);
    if ((rc = mp_read_map(data, load(argv[2]), &m)) != 0) {
        printf("map error %d\n", rc);
        return 0;
    }
    n = (size_t)m.width * (size_t)m.height;
    printf("cells");
    for (i = 0; i < n; ++i)
        printf(" %u", (unsigned)m.cells[i]);
    printf("\n");
#ifdef MP_FIELD_COUNT
    {
        int k;
        for (k = 0; k < MP_FIELD_COUNT; ++k) {
            printf("%s", mp_field_name(k));
            for (i = 0; i < n; ++i)
                printf(" %u", (unsigned)m.field[k][i]);
            printf("\n");
        }
    }
#endif
    mp_free_map(&m);
    return 0;
}
)";

constexpr const char* kDriverPython = R"(import importlib
import sys

sys.path.insert(0, sys.argv[1])
tiles_reader = importlib.import_module("ts_reader")
map_reader = importlib.import_module("mp_reader")
with open(sys.argv[2], "rb") as f:
    t = tiles_reader.read_tiles(f.read())
print("tiles", t["tileWidth"], t["tileHeight"], t["tileCount"])
print("pixels", t["pixels"].hex())
print(" ".join(["rgb"] + [str(v) for p in t["palettes"] for rgb in p for v in rgb]))
with open(sys.argv[3], "rb") as f:
    m = map_reader.read_map(f.read())
print(" ".join(["cells"] + [str(c) for c in m["cells"]]))
for name in getattr(map_reader, "FIELD_NAMES", []):
    print(" ".join([name] + [str(v) for v in m["fields"][name]]))
)";

struct Paint {
    int32_t col, row, palette;
};

struct Case {
    const char* preset;
    int32_t width, height;           // the map's
    std::vector<std::string> fields; // beside the tile number, in the readers' order
    std::vector<Paint> paint;        // cells given a palette by hand (else a pattern)
    // Bytes worked out by hand: at `at` in the tile file, and in the map file.
    size_t tileAt;
    std::string tileBytes;
    size_t mapAt;
    std::string mapBytes;
};

// The NES case: a 34 x 31 map is four screens, 256 bytes of table after the
// size (4 bytes) and the cells (1,054). By https://www.nesdev.org/wiki/PPU_attribute_tables
// (byte (row / 4) * 8 + col / 4 of a screen; bits 1-0 top left, 3-2 top
// right, 5-4 bottom left, 7-6 bottom right):
// - blocks (0, 0) 1, (2, 0) 2, (0, 2) 3: byte 0 = 01 | 10 << 2 | 11 << 4 = 0x39;
// - cells (10, 10) 1, (11, 10) 1, (10, 11) 2, (11, 11) 3, one block of mixed
//   palettes saved as its top-left cell's: byte 2 * 8 + 2 = 18, bottom
//   right, 1 << 6 = 0x40 (read back, all four cells have palette 1);
// - block (6, 28) 1: byte 7 * 8 + 1 = 57, top right, 1 << 2 = 0x04;
// - blocks (32, 0) 2, (0, 30) 3, (32, 30) 1: the first byte of screens 1, 2
//   and 3 (bytes 64, 128, 192), top left: 0x02, 0x03, 0x01.
std::string NesTable() {
    std::vector<std::string> bytes(256, "00");
    for (const auto& [at, value] : std::vector<std::pair<size_t, const char*>>{
             {0, "39"}, {18, "40"}, {57, "04"}, {64, "02"}, {128, "03"}, {192, "01"}})
        bytes[at] = value;
    std::string text;
    for (const std::string& b : bytes)
        text += b + " ";
    return text;
}

std::vector<Case> Cases() {
    // Game Boy: the colours dark grey, white, black, light grey are shades 2,
    // 0, 3, 1; BGP holds colour 0 in bits 1-0 ... colour 3 in bits 7-6
    // (https://gbdev.io/pandocs/Palettes.html, "FF47 - BGP"):
    // 01 11 00 10 = 0x72, the tile file's first byte.
    return {
        {"gb", 6, 4, {}, {}, 0, "72", 0, ""},
        {"gbc", 6, 4, {"palette", "bank", "hflip", "vflip", "priority"}, {}, 0, "", 0, ""},
        {"nes",
         34,
         31,
         {"palette"},
         {{0, 0, 1},
          {2, 0, 2},
          {0, 2, 3},
          {6, 28, 1},
          {32, 0, 2},
          {0, 30, 3},
          {32, 30, 1},
          {10, 10, 1},
          {10, 11, 2},
          {11, 11, 3}},
         0,
         "",
         4 + 34 * 31,
         NesTable()},
        {"snes4", 6, 4, {"palette", "priority", "hflip", "vflip"}, {}, 0, "", 0, ""},
        {"gba4", 6, 4, {"hflip", "vflip", "palette"}, {}, 0, "", 0, ""},
        {"megadrive", 6, 4, {"hflip", "vflip", "palette", "priority"}, {}, 0, "", 0, ""},
        {"sms", 6, 4, {"hflip", "vflip", "palette", "priority"}, {}, 0, "", 0, ""},
        {"pce", 6, 4, {"palette"}, {}, 0, "", 0, ""},
    };
}

// The cells: tile numbers of 8 bits, and every flip, priority, palette and
// the first user bit in turn; or, with `paint`, palette 0 but the painted
// cells (a paint at an even cell paints its 2 x 2 block, cut at the edge).
MapModel PresetMap(const Case& c, const MapFormat& preset) {
    MapFormat format = preset;
    format.width = c.width;
    format.height = c.height;
    const size_t n = size_t(c.width) * size_t(c.height);
    std::vector<uint16_t> tiles, attrs(n, 0);
    for (size_t i = 0; i < n; ++i) {
        tiles.push_back(uint16_t(i * 37 % 256));
        uint16_t attr = cellbit::WithPalette(0, int(i * 3 + 1) % format.PaletteCount());
        attr |= (i & 1 ? cellbit::kHFlip : 0) | (i & 2 ? cellbit::kVFlip : 0) |
                (i & 4 ? cellbit::kPriority : 0) | (i & 8 ? cellbit::UserBit(0) : 0);
        attrs[i] = c.paint.empty() ? uint16_t(attr & format.AttrMask()) : 0;
    }
    for (const Paint& p : c.paint) {
        const int32_t side = p.col % 2 == 0 && p.row % 2 == 0 ? 2 : 1;
        for (int32_t r = p.row; r < std::min(p.row + side, c.height); ++r)
            for (int32_t col = p.col; col < std::min(p.col + side, c.width); ++col)
                attrs[size_t(r) * size_t(c.width) + size_t(col)] =
                    cellbit::WithPalette(0, p.palette);
    }
    MapModel map;
    EXPECT_TRUE(map.ReplaceGrid(format, tiles, attrs));
    return map;
}

// What the drivers print, from what kesh reads back.
std::string Expected(const TileSet& tiles, const MapModel& map, const Case& c) {
    std::ostringstream out;
    out << "tiles " << tiles.tileWidth() << ' ' << tiles.tileHeight() << ' ' << tiles.count()
        << "\npixels";
    out << ' ';
    for (int i = 0; i < tiles.count(); ++i)
        for (int64_t p = 0; p < tiles.tiles().tileSize(); ++p)
            out << "0123456789abcdef"[tiles.tiles().PixelsAt(i)[p] >> 4]
                << "0123456789abcdef"[tiles.tiles().PixelsAt(i)[p] & 15];
    out << "\nrgb";
    const TileItemParams& params = tiles.format().params;
    for (int i = 0; i < params.paletteCount * params.coloursPerPalette; ++i) {
        const uint8_t* e = tiles.colourTable() + 4 * i;
        out << ' ' << int(e[2]) << ' ' << int(e[1]) << ' ' << int(e[0]);
    }
    out << "\ncells";
    for (uint16_t tile : map.cells())
        out << ' ' << tile;
    out << '\n';
    for (const std::string& name : c.fields) {
        out << name;
        for (size_t i = 0; i < map.cells().size(); ++i)
            out << ' ' << cellmaps::FieldValue(name, map.attrAt(i));
        out << '\n';
    }
    return out.str();
}

// Everything one case needs: the files written, the readers' layouts and
// what they must print.
struct Written {
    std::vector<uint8_t> tileFile, mapFile;
    CodeLayout tiles, map;
    std::string expected;
};

Written Write(const Case& c) {
    Written w;
    const PlatformLayouts layouts = *PlatformPresetLayouts(c.preset);
    TileSet set = ConsoleSet(layouts.tile, 3, uint32_t(c.width * 7 + c.fields.size()));
    if (std::string(c.preset) == "gb") {
        ColourTable table{};
        const uint8_t greys[4] = {85, 255, 0, 170};
        for (size_t i = 0; i < 4; ++i)
            table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = greys[i];
        set.SetColourTable(table);
    }
    const MapModel map = PresetMap(c, layouts.map);
    ByteWriter tileFile, mapFile;
    EXPECT_TRUE(set.WriteTileFile(tileFile));
    EXPECT_TRUE(WriteMapFile(map, set, mapFile));
    w.tileFile = tileFile.bytes();
    w.mapFile = mapFile.bytes();

    TileSet tilesBack;
    tilesBack.format() = layouts.tile;
    ByteReader in(w.tileFile);
    EXPECT_TRUE(tilesBack.ReadTileFile(in, 0));
    const std::vector<uint8_t> kmf = BuildKmf(map.format(), set.format());
    MapModel mapBack;
    TileSet unused;
    EXPECT_TRUE(ReadMapFile(w.mapFile, kmf, mapBack, unused));
    w.expected = Expected(tilesBack, mapBack, c);

    TileDescriptor tile;
    EXPECT_TRUE(ParseKtf(BuildKtf(set.format()), tile));
    w.tiles = CodeLayout::ForTiles(tile, std::string(c.preset) + ".til");
    w.tiles.prefix = "ts";
    MapDescriptor mapDescriptor;
    EXPECT_TRUE(ParseKmf(kmf, mapDescriptor));
    w.map = CodeLayout::ForMap(mapDescriptor, std::string(c.preset) + ".map");
    w.map.prefix = "mp";
    return w;
}

// The hand-worked bytes are where the case says, in the files kesh wrote.
void CheckHandBytes(const Case& c, const Written& w) {
    const auto check = [](const std::vector<uint8_t>& file, size_t at, const std::string& hex) {
        const std::vector<uint8_t> bytes = HexBytes(hex);
        ASSERT_LE(at + bytes.size(), file.size());
        EXPECT_EQ(std::vector<uint8_t>(file.begin() + ptrdiff_t(at),
                                       file.begin() + ptrdiff_t(at + bytes.size())),
                  bytes);
    };
    check(w.tileFile, c.tileAt, c.tileBytes);
    check(w.mapFile, c.mapAt, c.mapBytes);
    if (!c.mapBytes.empty()) {
        EXPECT_EQ(w.mapFile.size(), c.mapAt + HexBytes(c.mapBytes).size()) << "the table ends it";
    }
}

} // namespace

TEST(CodeGenPresetsTest, GeneratedCReadsEveryPreset) {
    if (std::string(KESH_TEST_CC).empty()) {
        ASSERT_FALSE(ReaderToolsRequired()) << "no C compiler was found when kesh was configured";
        GTEST_SKIP() << "no C compiler";
    }
    ASSERT_EQ(Cases().size(), PlatformPresets().size());
    TempDir dir;
    std::ofstream(dir.file("driver.c")) << kDriverC;
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.preset);
        const Written w = Write(c);
        CheckHandBytes(c, w);
        const std::string sub = dir.file(c.preset);
        ASSERT_EQ(std::system(("mkdir " + Quote(sub)).c_str()), 0);
        WriteBytes(sub + "/tiles", w.tileFile);
        WriteBytes(sub + "/map", w.mapFile);
        std::ofstream(sub + "/ts_reader.h") << GenerateCReader(w.tiles);
        std::ofstream(sub + "/mp_reader.h") << GenerateCReader(w.map);
        const std::string exe = sub + "/driver", out = sub + "/out.txt", log = sub + "/log.txt";
        ASSERT_TRUE(RunTo(std::string(KESH_TEST_CC) +
                              " -std=c99 -Wall -Wextra -pedantic -Werror -I" + Quote(sub) + " " +
                              Quote(dir.file("driver.c")) + " -o " + Quote(exe),
                          out, log))
            << ReadText(out) << ReadText(log);
        ASSERT_TRUE(
            RunTo(Quote(exe) + " " + Quote(sub + "/tiles") + " " + Quote(sub + "/map"), out, log))
            << ReadText(log);
        EXPECT_EQ(ReadText(out), w.expected);
    }
}

TEST(CodeGenPresetsTest, GeneratedPythonReadsEveryPreset) {
    if (std::string(KESH_TEST_PYTHON).empty()) {
        ASSERT_FALSE(ReaderToolsRequired()) << "no python3 was found when kesh was configured";
        GTEST_SKIP() << "no python3";
    }
    ASSERT_EQ(Cases().size(), PlatformPresets().size());
    TempDir dir;
    std::ofstream(dir.file("driver.py")) << kDriverPython;
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.preset);
        const Written w = Write(c);
        CheckHandBytes(c, w);
        const std::string sub = dir.file(c.preset);
        ASSERT_EQ(std::system(("mkdir " + Quote(sub)).c_str()), 0);
        WriteBytes(sub + "/tiles", w.tileFile);
        WriteBytes(sub + "/map", w.mapFile);
        std::ofstream(sub + "/ts_reader.py") << GeneratePythonReader(w.tiles);
        std::ofstream(sub + "/mp_reader.py") << GeneratePythonReader(w.map);
        const std::string out = sub + "/out.txt", log = sub + "/log.txt";
        ASSERT_TRUE(RunTo(std::string(KESH_TEST_PYTHON) + " " + Quote(dir.file("driver.py")) + " " +
                              Quote(sub) + " " + Quote(sub + "/tiles") + " " + Quote(sub + "/map"),
                          out, log))
            << ReadText(log);
        EXPECT_EQ(ReadText(out), w.expected);
    }
}
