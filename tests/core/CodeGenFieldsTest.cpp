// The generated readers on maps whose cells carry fields: for every preset,
// a map kesh saved gives back each cell's tile number and every field, in C
// and in Python, and kesh reopens it the same.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "layout/CodeGen.h"
#include "map/MapFile.h"
#include "support/CellMaps.h"
#include "support/ReaderTools.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"

using namespace kesh;
using namespace kesh::test;

namespace {

constexpr const char* kDriverC = R"(#include <stdio.h>
#include <stdlib.h>
#include "reader.h"

int main(int argc, char **argv)
{
    static unsigned char data[1 << 16];
    FILE *f = fopen(argv[1], "rb");
    size_t size, i, n;
    struct kesh_map m;
    int k, rc;

    (void)argc;
    if (f == NULL)
        return 3;
    size = fread(data, 1, sizeof data, f);
    fclose(f);
    if ((rc = kesh_read_map(data, size, &m)) != 0) {
        printf("error %d\n", rc);
        return 0;
    }
    n = (size_t)m.width * (size_t)m.height;
    printf("cells");
    for (i = 0; i < n; ++i)
        printf(" %u", (unsigned)m.cells[i]);
    printf("\n");
    for (k = 0; k < KESH_FIELD_COUNT; ++k) {
        printf("%s", kesh_field_name(k));
        for (i = 0; i < n; ++i)
            printf(" %u", (unsigned)m.field[k][i]);
        printf("\n");
    }
    kesh_free_map(&m);
    return 0;
}
)";

constexpr const char* kDriverPython = R"(import importlib
import os
import sys

sys.path.insert(0, os.path.dirname(sys.argv[1]))
reader = importlib.import_module(os.path.splitext(os.path.basename(sys.argv[1]))[0])
with open(sys.argv[2], "rb") as f:
    d = reader.read_map(f.read())
print(" ".join(["cells"] + [str(c) for c in d["cells"]]))
for name in reader.FIELD_NAMES:
    print(" ".join([name] + [str(v) for v in d["fields"][name]]))
)";

// A 9 x 4 map in the preset's layout whose cells take every value each
// field can hold, the tile numbers up to the largest the tile field holds.
MapModel PresetMap(const std::string& preset) {
    bool plane = false;
    MapFormat format;
    format.width = 9;
    format.height = 4;
    format.cells = *CellPresetLayout(preset, plane);
    format.items =
        plane ? std::vector<uint8_t>{MapItem::SizeWord, MapItem::CellsByte, MapItem::CellAttributes}
              : std::vector<uint8_t>{MapItem::SizeWord, MapItem::CellFields};
    int tileBits = 8;
    for (const CellField& field : format.cells.word.fields)
        if (field.kind == CellFieldKind::Tile)
            tileBits = field.width;
    const int palettes = format.cells.PaletteCount();
    const uint16_t mask = format.AttrMask();
    std::vector<uint16_t> tiles, attrs;
    for (int i = 0; i < 36; ++i) {
        tiles.push_back(uint16_t(i == 35 ? (1 << tileBits) - 1 : i * 29 % (1 << tileBits)));
        uint16_t attr = cellbit::WithPalette(0, (i * 3 + 1) % palettes);
        attr |= (i & 1 ? cellbit::kHFlip : 0) | (i & 2 ? cellbit::kVFlip : 0) |
                (i & 4 ? cellbit::kPriority : 0) | (i & 8 ? cellbit::UserBit(0) : 0);
        attrs.push_back(uint16_t(attr & mask));
    }
    MapModel map;
    EXPECT_TRUE(map.ReplaceGrid(format, tiles, attrs));
    return map;
}

// The drivers' output for `map`, made from the model itself.
std::string Expected(const MapModel& map, const std::vector<std::string>& names) {
    std::ostringstream out;
    out << "cells";
    for (uint16_t tile : map.cells())
        out << ' ' << tile;
    out << '\n';
    for (const std::string& name : names) {
        out << name;
        for (size_t i = 0; i < map.cells().size(); ++i)
            out << ' ' << cellmaps::FieldValue(name, map.attrAt(i));
        out << '\n';
    }
    return out.str();
}

} // namespace

TEST(CodeGenFieldsTest, EveryPresetRoundTripsThroughKeshAndTheGeneratedReaders) {
    const bool haveCc = !std::string(KESH_TEST_CC).empty();
    const bool havePython = !std::string(KESH_TEST_PYTHON).empty();
    ASSERT_TRUE((haveCc && havePython) || !ReaderToolsRequired());
    TempDir dir;
    std::ofstream(dir.file("driver.c")) << kDriverC;
    std::ofstream(dir.file("driver.py")) << kDriverPython;
    const std::vector<std::string> fieldsOf[] = {{"palette", "priority", "hflip", "vflip"},
                                                 {"hflip", "vflip", "palette"},
                                                 {"hflip", "vflip", "palette", "priority"},
                                                 {"palette", "bank", "hflip", "vflip", "priority"},
                                                 {"hflip", "vflip", "palette", "priority"},
                                                 {"palette"}};
    ASSERT_EQ(CellPresets().size(), std::size(fieldsOf));
    for (size_t p = 0; p < CellPresets().size(); ++p) {
        const std::string preset = CellPresets()[p].name;
        SCOPED_TRACE(preset);
        const MapModel map = PresetMap(preset);
        TileSet tiles;
        test::MakeTiles(tiles, 8, 8, 2);
        ByteWriter file;
        ASSERT_TRUE(WriteMapFile(map, tiles, file));
        const std::vector<uint8_t> kmf = BuildKmf(map.format(), tiles.format());

        MapModel reopened;
        TileSet reopenedTiles;
        ASSERT_TRUE(ReadMapFile(file.bytes(), kmf, reopened, reopenedTiles));
        EXPECT_EQ(reopened.cells(), map.cells());
        EXPECT_EQ(reopened.attrs(), map.attrs());

        MapDescriptor descriptor;
        ASSERT_TRUE(ParseKmf(kmf, descriptor));
        ASSERT_EQ(codegen::FieldNames(descriptor), fieldsOf[p]);
        const CodeLayout layout = CodeLayout::ForMap(descriptor, preset + ".map");
        const std::string expected = Expected(map, fieldsOf[p]);
        const std::string sub = dir.file(preset);
        ASSERT_EQ(std::system(("mkdir " + Quote(sub)).c_str()), 0);
        const std::string mapPath = sub + "/" + preset + ".map";
        WriteBytes(mapPath, file.bytes());
        const std::string log = sub + "/log.txt", out = sub + "/out.txt";
        if (haveCc) {
            std::ofstream(sub + "/reader.h") << GenerateCReader(layout);
            const std::string exe = sub + "/driver";
            ASSERT_TRUE(RunTo(std::string(KESH_TEST_CC) +
                                  " -std=c99 -Wall -Wextra -pedantic -Werror -I" + Quote(sub) +
                                  " " + Quote(dir.file("driver.c")) + " -o " + Quote(exe),
                              out, log))
                << ReadText(out) << ReadText(log);
            ASSERT_TRUE(RunTo(Quote(exe) + " " + Quote(mapPath), out, log)) << ReadText(log);
            EXPECT_EQ(ReadText(out), expected) << "C";
        }
        if (havePython) {
            const std::string module = sub + "/" + preset + "_reader.py";
            std::ofstream(module) << GeneratePythonReader(layout);
            ASSERT_TRUE(RunTo(std::string(KESH_TEST_PYTHON) + " " + Quote(dir.file("driver.py")) +
                                  " " + Quote(module) + " " + Quote(mapPath),
                              out, log))
                << ReadText(log);
            EXPECT_EQ(ReadText(out), expected) << "Python";
        }
    }
}

// A layout without field items gets the reader it got before fields existed;
// one with them says in its comment how the fields are given.
TEST(CodeGenFieldsTest, OnlyLayoutsWithFieldItemsGetFieldCode) {
    MapDescriptor plain;
    plain.items = {MapItem::SizeWord, MapItem::CellsWord};
    bool usesPlane = false;
    plain.cells = *CellPresetLayout("gba", usesPlane);
    MapDescriptor fields = plain;
    fields.items = {MapItem::SizeWord, MapItem::CellFields};
    const CodeLayout tiles = CodeLayout::ForTiles(plain.tile, "set.til");
    for (const CodeLayout& layout : {CodeLayout::ForMap(plain, "a.map"), tiles}) {
        for (const std::string& code : {GenerateCReader(layout), GeneratePythonReader(layout)}) {
            EXPECT_EQ(code.find("KESH_FIELD"), std::string::npos);
            EXPECT_EQ(code.find("FIELD_NAMES"), std::string::npos);
        }
    }
    EXPECT_NE(GeneratePythonReader(tiles).find("read_tiles(data) returns"), std::string::npos);
    EXPECT_EQ(GeneratePythonReader(CodeLayout::ForMap(plain, "a.map")).find("read_tiles(data)"),
              std::string::npos);
    const CodeLayout withFields = CodeLayout::ForMap(fields, "b.map");
    EXPECT_NE(GenerateCReader(withFields).find("map.field[KESH_FIELD_HFLIP][i]"),
              std::string::npos);
    EXPECT_NE(GenerateCReader(withFields).find("CellsWord16LE[tile:0-9,hflip:10,vflip:11,"),
              std::string::npos);
    EXPECT_NE(GeneratePythonReader(withFields).find("Its \"fields\" maps"), std::string::npos);
    // Lines a person would write, even for the widest preset word.
    fields.cells = *CellPresetLayout("snes", usesPlane);
    fields.items = {MapItem::SizeWord, MapItem::CellFields, MapItem::CellsByte};
    const CodeLayout snes = CodeLayout::ForMap(fields, "snes.map");
    for (const std::string& code : {GenerateCReader(snes), GeneratePythonReader(snes)}) {
        std::istringstream lines(code);
        for (std::string line; std::getline(lines, line);) {
            EXPECT_LE(line.size(), 100u) << line;
            EXPECT_TRUE(line.empty() || line.back() != ' ') << line;
        }
    }
}
