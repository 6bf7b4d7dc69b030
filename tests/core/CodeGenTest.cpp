#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/Messages.h"
#include "layout/CodeGen.h"
#include "layout/LayoutTable.h"
#include "map/LayoutDataOf.h"
#include "map/MapFile.h"
#include "support/ConsoleTileSets.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"
#include "tileset/TileSetFile.h"

// The generated readers are compiled with the system's C compiler and run
// with python3 on files kesh wrote, and must read exactly what kesh reads.
// KESH_TEST_CC and KESH_TEST_PYTHON are found at configure time; empty when
// the machine has none, and the tests for that language are skipped, unless
// KESH_REQUIRE_READER_TOOLS is set in the environment (scripts/test sets it):
// then a missing tool fails the test, so a broken reader cannot pass unseen.

using namespace kesh;
using test::TempDir;
using test::WriteBytes;

using Bytes = std::vector<uint8_t>;

namespace {

constexpr const char* kDriverC = R"(#include <stdio.h>
#include <stdlib.h>
#include "reader.h"

static unsigned char *load(const char *path, size_t *size)
{
    FILE *f = fopen(path, "rb");
    unsigned char *data;
    long n;

    if (f == NULL || fseek(f, 0, SEEK_END) != 0 || (n = ftell(f)) < 0 || fseek(f, 0, SEEK_SET) != 0)
        exit(3);
    /* exactly the file's size, so a read past it is a read out of bounds */
    data = (unsigned char *)malloc(n > 0 ? (size_t)n : 1);
    if (data == NULL || fread(data, 1, (size_t)n, f) != (size_t)n)
        exit(3);
    fclose(f);
    *size = (size_t)n;
    return data;
}

static void hex(const char *label, const unsigned char *p, size_t n)
{
    size_t i;

    printf("%s ", label);
    for (i = 0; i < n; ++i)
        printf("%02x", p[i]);
    printf("\n");
}

static void dump_tiles(const struct kesh_tiles *t)
{
    int i;

    hex("tileheader", t->header, (size_t)t->header_length);
    printf("tiles %d %d %d %d\nattr", t->width, t->height, t->count, t->attr_width);
    for (i = 0; i < t->count; ++i)
        printf(" %lu", t->attributes[i]);
    printf("\n");
    hex("pixels", t->pixels, (size_t)t->count * (size_t)t->width * (size_t)t->height);
    if (t->has_palette)
        hex("palette", t->palette, 768);
    else
        printf("palette none\n");
}

int main(int argc, char **argv)
{
    int a, rc;

    for (a = 1; a < argc; ++a) {
        size_t size;
        unsigned char *data = load(argv[a], &size);
#ifdef KESH_MAP
        struct kesh_map m;
        rc = kesh_read_map(data, size, &m);
        if (rc == 0) {
            size_t i, n = (size_t)m.width * (size_t)m.height;
            hex("header", m.header, (size_t)m.header_length);
            printf("map %d %d\ncells", m.width, m.height);
            for (i = 0; i < n; ++i)
                printf(" %u", (unsigned)m.cells[i]);
            printf("\n");
            if (m.has_tiles)
                dump_tiles(&m.tiles);
            else
                printf("notiles\n");
            kesh_free_map(&m);
        }
#else
        struct kesh_tiles t;
        rc = kesh_read_tiles(data, size, &t);
        if (rc == 0) {
            dump_tiles(&t);
            kesh_free_tiles(&t);
        }
#endif
        if (rc != 0)
            printf("error %d\n", rc);
        printf("--\n");
        free(data);
    }
    return 0;
}
)";

constexpr const char* kDriverPython = R"(import importlib
import os
import sys

sys.path.insert(0, os.path.dirname(sys.argv[1]))
reader = importlib.import_module(os.path.splitext(os.path.basename(sys.argv[1]))[0])


def code(error):
    text = str(error)
    if "no tile size" in text or "no map size" in text:
        return -2
    if "no tile count" in text:
        return -3
    if "not valid" in text:
        return -5
    return -1


def dump_tiles(d, header):
    print("tileheader", header.encode("cp949").hex())
    print("tiles", d["tileWidth"], d["tileHeight"], d["tileCount"], d["attrWidth"])
    print(" ".join(["attr"] + [str(a) for a in d["attributes"]]))
    print("pixels", d["pixels"].hex())
    if "palette" in d:
        print("palette", bytes(v >> 2 for rgb in d["palette"] for v in rgb).hex())
    else:
        print("palette none")


for path in sys.argv[3:]:
    with open(path, "rb") as f:
        data = f.read()
    try:
        if sys.argv[2] == "map":
            d = reader.read_map(data)
            print("header", d["header"].encode("cp949").hex())
            print("map", d["width"], d["height"])
            print(" ".join(["cells"] + [str(c) for c in d["cells"]]))
            if "tileCount" in d:
                dump_tiles(d, d["tileHeader"])
            else:
                print("notiles")
        else:
            d = reader.read_tiles(data)
            dump_tiles(d, d["header"])
    except ValueError as e:
        print("error", code(e))
    print("--")
)";

std::string Hex(const uint8_t* p, size_t n) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out;
}

int ErrorCode(const Status& st) {
    if (st.message() == msg::kNoTileSize)
        return -2;
    if (st.message() == msg::kNoTileCount)
        return -3;
    if (st.message() == msg::kAllocFailed)
        return -4;
    // The generated readers have one refusal for any size no map holds.
    if (st.message() == msg::kBadMapSize || st.message().starts_with(msg::kMapTooLarge))
        return -5;
    return -1;
}

bool HasPalette(const std::vector<uint8_t>& items) {
    for (uint8_t code : items)
        if (code == TileItem::Palette768 || code == TileItem::Palette1024)
            return true;
    return false;
}

void DumpTiles(std::ostream& out, const TileSet& set) {
    const std::string& header = set.format().header;
    out << "tileheader " << Hex(reinterpret_cast<const uint8_t*>(header.data()), header.size())
        << "\ntiles " << set.tileWidth() << ' ' << set.tileHeight() << ' ' << set.count() << ' '
        << set.format().attrWidth << "\nattr";
    std::string pixels;
    for (int i = 0; i < set.count(); ++i) {
        out << ' ' << set.tiles().AttributeAt(i);
        pixels += Hex(set.tiles().PixelsAt(i), size_t(set.tiles().tileSize()));
    }
    out << "\npixels " << pixels << '\n';
    if (HasPalette(set.format().items)) {
        uint8_t rgb[768];
        for (int i = 0; i < 256; ++i)
            for (int c = 0; c < 3; ++c)
                rgb[3 * i + c] = uint8_t(set.colourTable()[4 * i + 2 - c] >> 2);
        out << "palette " << Hex(rgb, 768) << '\n';
    } else {
        out << "palette none\n";
    }
}

// What kesh itself reads from `bytes`, in the drivers' format.
std::string KeshDump(const CodeLayout& layout, const Bytes& bytes) {
    std::ostringstream out;
    if (layout.map) {
        MapReadLayout read;
        read.descriptor = *layout.map;
        MapModel map;
        TileSet tiles;
        const Status st = ReadMapFile(bytes, read, map, tiles);
        if (!st)
            return "error " + std::to_string(ErrorCode(st)) + "\n--\n";
        const std::string& header = map.format().header;
        out << "header " << Hex(reinterpret_cast<const uint8_t*>(header.data()), header.size())
            << "\nmap " << map.width() << ' ' << map.height() << "\ncells";
        for (uint16_t c : map.cells())
            out << ' ' << c;
        out << '\n';
        bool embedded = false;
        for (uint8_t code : layout.map->items)
            embedded = embedded || code == MapItem::TileFile;
        if (embedded)
            DumpTiles(out, tiles);
        else
            out << "notiles\n";
    } else {
        TileReadLayout read;
        read.descriptor = layout.tile;
        TileSet set;
        const Status st = ReadTileSetFile(bytes, read, set);
        if (!st)
            return "error " + std::to_string(ErrorCode(st)) + "\n--\n";
        DumpTiles(out, set);
    }
    out << "--\n";
    return out.str();
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Quote(const std::string& s) {
    return "'" + s + "'";
}

// One layout with the files kesh wrote in it, whole and damaged.
struct Case {
    std::string name;
    CodeLayout layout;
    std::vector<Bytes> files;
};

// The file, then copies cut short and copies whose size and count fields
// (found through the layout table) hold 0xFF bytes, as does a Palette
// item's, which no colour encoding takes for a colour.
std::vector<Bytes> Variants(const Bytes& whole, const LayoutTable& table) {
    std::vector<Bytes> out = {whole};
    for (size_t cut : {size_t(0), size_t(1), whole.size() / 4, whole.size() / 2, whole.size() - 1})
        if (cut < whole.size())
            out.emplace_back(whole.begin(), whole.begin() + ptrdiff_t(cut));
    std::vector<const LayoutEntry*> entries;
    for (const LayoutEntry& e : table.items) {
        entries.push_back(&e);
        for (const LayoutEntry& inner : e.items)
            entries.push_back(&inner);
    }
    for (const LayoutEntry* e : entries) {
        if (e->name.rfind("Size", 0) != 0 && e->name.rfind("Count", 0) != 0 && e->name != "Palette")
            continue;
        Bytes damaged = whole;
        for (uint64_t i = 0; i < e->length; ++i)
            damaged[size_t(e->offset + i)] = 0xFF;
        out.push_back(std::move(damaged));
    }
    return out;
}

TileSet MakeSet(int count, int32_t w, int32_t h, AttrWidth attrWidth, std::vector<uint8_t> items,
                std::string header = "") {
    TileSet set;
    test::MakeTiles(set, w, h, count);
    set.format().attrWidth = attrWidth;
    set.format().items = std::move(items);
    set.format().header = std::move(header);
    ColourTable colours;
    for (size_t i = 0; i < colours.size(); ++i)
        colours[i] = uint8_t(i * 37 + 11);
    set.SetColourTable(colours);
    for (int i = 0; i < count; ++i)
        set.tiles().SetAttributeAt(i, 0x01020304u * uint32_t(i + 1));
    return set;
}

Case TileCase(const std::string& name, const TileSet& set) {
    ByteWriter out;
    set.WriteTileFile(out);
    TileDescriptor descriptor;
    EXPECT_TRUE(ParseKtf(BuildKtf(set.format()), descriptor));
    return {name, CodeLayout::ForTiles(descriptor, name + ".til"),
            Variants(out.bytes(), TileLayoutTable(set.format(), LayoutDataOf(set)))};
}

Case MapCase(const std::string& name, const TileSet& tiles, int32_t w, int32_t h,
             std::vector<uint8_t> items, std::string header = "") {
    MapModel map;
    EXPECT_TRUE(map.AllocateCells(w, h));
    for (size_t i = 0; i < map.cells().size(); ++i)
        map.cells()[i] = uint16_t(i % 5 == 4 ? kEmptyCell : i * 61 % 700);
    map.format().items = std::move(items);
    map.format().header = std::move(header);
    ByteWriter out;
    EXPECT_TRUE(WriteMapFile(map, tiles, out));
    MapDescriptor descriptor;
    EXPECT_TRUE(ParseKmf(BuildKmf(map.format(), tiles.format()), descriptor));
    return {name, CodeLayout::ForMap(descriptor, name + ".map"),
            Variants(out.bytes(),
                     MapLayoutTable(map.format(), tiles.format(), LayoutDataOf(map, tiles)))};
}

std::vector<Case> Cases() {
    using namespace TileItem;
    const std::string korean = "\xc1\xf6\xb5\xb5 \xc6\xc4\xc0\xcf"; // "지도 파일" in CP949
    const TileSet plain =
        MakeSet(3, 8, 8, 0, {SizeByte, CountWord, TileData, AttrData, Palette768});
    std::vector<Case> cases;
    cases.push_back(TileCase("default", plain));
    cases.push_back(
        TileCase("korean_rgbquad",
                 MakeSet(2, 16, 8, 2, {SizeWord, CountDword, TileAttrData, Palette1024}, korean)));
    cases.push_back(
        TileCase("both_palettes_duplicates", MakeSet(4, 8, 12, 1,
                                                     {SizeByte, CountByte, Palette1024, TileData,
                                                      TileData, Palette768, AttrData, SizeByte})));
    cases.push_back(TileCase("blank_tiles", MakeSet(3, 8, 8, 2, {SizeDword, CountWord, AttrData})));
    cases.push_back(TileCase("count_only", MakeSet(2, 9, 9, 0, {CountByte, SizeByte})));
    cases.push_back(TileCase("combined_then_pixels",
                             MakeSet(3, 8, 8, 1, {SizeWord, CountWord, TileAttrData, TileData})));
    cases.push_back(
        TileCase("unknown_code", MakeSet(2, 8, 8, 0, {SizeByte, 99, CountByte, TileData})));
    cases.push_back(
        TileCase("pixels_before_size", MakeSet(2, 8, 8, 0, {TileData, SizeByte, CountByte})));
    TileSet console = test::SnesSet();
    cases.push_back(TileCase("console_items", console));
    console.format().items = {Pixels, SizeByte, CountByte, TileItem::Palette};
    cases.push_back(TileCase("console_pixels_before_size", console));
    cases.push_back(TileCase("no_count", MakeSet(2, 8, 8, 0, {SizeByte, TileData, Palette768})));

    const TileSet embedded =
        MakeSet(2, 8, 8, 1, {SizeByte, CountByte, TileAttrData, Palette768}, "T");
    cases.push_back(MapCase("map_default", plain, 6, 4, MapFormat::Default().items));
    cases.push_back(MapCase("map_korean_words", embedded, 7, 3,
                            {MapItem::SizeWord, MapItem::CellsWord, MapItem::TileFile}, korean));
    cases.push_back(MapCase("map_twice", embedded, 5, 5,
                            {MapItem::SizeDword, MapItem::TileFile, MapItem::CellsByte,
                             MapItem::SizeDword, MapItem::CellsWord, MapItem::TileFile}));
    cases.push_back(
        MapCase("map_without_tiles", embedded, 9, 2, {MapItem::SizeWord, MapItem::CellsWord}));
    cases.push_back(MapCase("map_no_cells", plain, 3, 3, {MapItem::TileFile, MapItem::SizeByte}));
    cases.push_back(
        MapCase("map_cells_before_size", plain, 3, 3, {MapItem::CellsByte, MapItem::SizeByte}));
    // The NES table: four screens' worth for 34 x 31 cells, the grid made by
    // the table itself, and a table before any size.
    cases.push_back(MapCase("map_nes_table", plain, 34, 31,
                            {MapItem::SizeWord, MapItem::CellsByte, MapItem::NesAttributes}));
    cases.push_back(MapCase("map_nes_table_first", plain, 5, 3,
                            {MapItem::SizeByte, MapItem::NesAttributes, MapItem::CellsWord}));
    cases.push_back(MapCase("map_nes_table_before_size", plain, 4, 2,
                            {MapItem::NesAttributes, MapItem::SizeByte, MapItem::CellsByte}));
    return cases;
}

// Writes the files of a case into `dir` and returns their paths, quoted, in order.
std::string WriteFiles(const TempDir& dir, const Case& c, std::string& expected) {
    std::string paths;
    for (size_t i = 0; i < c.files.size(); ++i) {
        const std::string path = dir.file(c.name + "_" + std::to_string(i) + ".bin");
        WriteBytes(path, c.files[i]);
        paths += " " + Quote(path);
        expected += KeshDump(c.layout, c.files[i]);
    }
    return paths;
}

// Extra flags that make an out-of-bounds read in the generated code fail the run.
std::string SanitizerFlags(const TempDir& dir) {
    const std::string src = dir.file("probe.c");
    std::ofstream(src) << "int main(void) { return 0; }\n";
    const std::string flags = " -fsanitize=address,undefined -fno-sanitize-recover=all";
    const std::string exe = dir.file("probe");
    const std::string cmd = std::string(KESH_TEST_CC) + flags + " " + Quote(src) + " -o " +
                            Quote(exe) + " >/dev/null 2>&1 && " + Quote(exe);
    return std::system(cmd.c_str()) == 0 ? flags : "";
}

bool ToolsRequired() {
    const char* value = std::getenv("KESH_REQUIRE_READER_TOOLS");
    return value != nullptr && *value != '\0' && std::string(value) != "0";
}

} // namespace

TEST(CodeGenTest, GeneratedCReadsWhatKeshReads) {
    if (std::string(KESH_TEST_CC).empty()) {
        ASSERT_FALSE(ToolsRequired()) << "no C compiler was found when kesh was configured";
        GTEST_SKIP() << "no C compiler";
    }
    TempDir dir;
    const std::string driver = dir.file("driver.c");
    std::ofstream(driver) << kDriverC;
    const std::string sanitize = SanitizerFlags(dir);
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        const std::string sub = dir.file(c.name);
        ASSERT_EQ(std::system(("mkdir " + Quote(sub)).c_str()), 0);
        std::ofstream(sub + "/reader.h") << GenerateCReader(c.layout);
        const std::string exe = sub + "/driver";
        const std::string log = sub + "/cc.log";
        const std::string compile =
            std::string(KESH_TEST_CC) + " -std=c99 -Wall -Wextra -pedantic -Werror" + sanitize +
            (c.layout.map ? " -DKESH_MAP" : "") + " -I" + Quote(sub) + " " + Quote(driver) +
            " -o " + Quote(exe) + " >" + Quote(log) + " 2>&1";
        ASSERT_EQ(std::system(compile.c_str()), 0) << ReadText(log);
        std::string expected;
        const std::string files = WriteFiles(dir, c, expected);
        const std::string outPath = sub + "/out.txt";
        ASSERT_EQ(
            std::system((Quote(exe) + files + " >" + Quote(outPath) + " 2>" + Quote(log)).c_str()),
            0)
            << ReadText(log);
        EXPECT_EQ(ReadText(outPath), expected);
    }
}

TEST(CodeGenTest, GeneratedPythonReadsWhatKeshReads) {
    if (std::string(KESH_TEST_PYTHON).empty()) {
        ASSERT_FALSE(ToolsRequired()) << "no python3 was found when kesh was configured";
        GTEST_SKIP() << "no python3";
    }
    TempDir dir;
    const std::string driver = dir.file("driver.py");
    std::ofstream(driver) << kDriverPython;
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        const std::string module = dir.file(c.name + "_reader.py");
        std::ofstream(module) << GeneratePythonReader(c.layout);
        std::string expected;
        const std::string files = WriteFiles(dir, c, expected);
        const std::string outPath = dir.file(c.name + ".txt");
        const std::string log = dir.file(c.name + ".log");
        const std::string run = std::string(KESH_TEST_PYTHON) + " " + Quote(driver) + " " +
                                Quote(module) + (c.layout.map ? " map" : " tiles") + files + " >" +
                                Quote(outPath) + " 2>" + Quote(log);
        ASSERT_EQ(std::system(run.c_str()), 0) << ReadText(log);
        EXPECT_EQ(ReadText(outPath), expected);
    }
}

TEST(CodeGenTest, GeneratedCodeNamesItsLayoutAndIsFreeToUse) {
    MapDescriptor map;
    map.headerLength = 3;
    map.items = {MapItem::SizeWord, MapItem::TileFile};
    map.tile.attrWidth = 2;
    map.tile.items = {TileItem::SizeByte, TileItem::Palette1024};
    const CodeLayout layout = CodeLayout::ForMap(map, "town.map");
    for (const std::string& code : {GenerateCReader(layout), GeneratePythonReader(layout)}) {
        EXPECT_NE(code.find("town.map"), std::string::npos);
        EXPECT_NE(code.find("without restriction"), std::string::npos);
        EXPECT_NE(code.find("SizeWord      WORD  Width, Height ;"), std::string::npos);
        EXPECT_NE(code.find("    Palette1024   팔렛(RGBQUAD) 1024 byte"), std::string::npos);
        EXPECT_NE(code.find("attributes: 4 bytes each (AttrWidth 2)"), std::string::npos);
        EXPECT_EQ(code.find('\t'), std::string::npos);
        // Lines a person would write: none over 100 characters, no trailing blanks.
        std::istringstream lines(code);
        for (std::string line; std::getline(lines, line);) {
            EXPECT_LE(line.size(), 100u) << line;
            EXPECT_TRUE(line.empty() || line.back() != ' ') << line;
        }
    }
    const std::string c = GenerateCReader(layout);
    EXPECT_NE(c.find("static int kesh_read_map(const unsigned char *data, size_t size, struct "
                     "kesh_map *out);"),
              std::string::npos);
    EXPECT_EQ(c.find("kesh_read_tiles("), std::string::npos);
    const std::string tiles = GenerateCReader(CodeLayout::ForTiles(map.tile, "set.til"));
    EXPECT_NE(tiles.find("static int kesh_read_tiles(const unsigned char *data, size_t size, "
                         "struct kesh_tiles *out);"),
              std::string::npos);
    EXPECT_EQ(tiles.find("kesh_read_map"), std::string::npos);
}

// Readers of two layouts in one program: each header has its own guard and
// names, so both compile together.
TEST(CodeGenTest, ReadersWithTheirOwnPrefixesLiveSideBySide) {
    if (std::string(KESH_TEST_CC).empty()) {
        ASSERT_FALSE(ToolsRequired()) << "no C compiler was found when kesh was configured";
        GTEST_SKIP() << "no C compiler";
    }
    MapDescriptor town;
    town.items = {MapItem::SizeWord, MapItem::CellsWord, MapItem::TileFile};
    town.tile.items = {TileItem::SizeByte, TileItem::CountWord, TileItem::TileData};
    MapDescriptor dungeon = town;
    dungeon.items = {MapItem::SizeByte, MapItem::CellsByte};
    TempDir dir;
    for (const char* prefix : {"town", "dungeon"}) {
        CodeLayout layout = CodeLayout::ForMap(*prefix == 't' ? town : dungeon, "x.map");
        layout.prefix = prefix;
        const std::string code = GenerateCReader(layout);
        EXPECT_EQ(code.find("kesh_"), std::string::npos) << prefix;
        EXPECT_EQ(code.find("KESH_"), std::string::npos) << prefix;
        std::ofstream(dir.file(std::string(prefix) + "_reader.h")) << code;
    }
    std::ofstream(dir.file("both.c")) << R"(#include "town_reader.h"
#include "dungeon_reader.h"
#include "town_reader.h"
int main(void)
{
    static const unsigned char cells[] = {1, 1, 7};
    void (*free_town)(struct town_map *) = town_free_map;
    void (*free_town_tiles)(struct town_tiles *) = town_free_tiles;
    void (*free_dungeon_tiles)(struct dungeon_tiles *) = dungeon_free_tiles;
    struct town_map t;
    struct dungeon_map d;
    int seven;
    if (town_read_map(cells, 1, &t) != TOWN_ERR_DAMAGED)
        return 1;
    if (dungeon_read_map(cells, sizeof cells, &d) != 0)
        return 2;
    seven = d.cells[0] == 7;
    dungeon_free_map(&d);
    (void)free_town;
    (void)free_town_tiles;
    (void)free_dungeon_tiles;
    return seven ? 0 : 3;
}
)";
    const std::string log = dir.file("cc.log");
    const std::string exe = dir.file("both");
    const std::string compile =
        std::string(KESH_TEST_CC) + " -std=c99 -Wall -Wextra -pedantic -Werror " +
        Quote(dir.file("both.c")) + " -o " + Quote(exe) + " >" + Quote(log) + " 2>&1";
    ASSERT_EQ(std::system(compile.c_str()), 0) << ReadText(log);
    EXPECT_EQ(std::system(Quote(exe).c_str()), 0);
}
