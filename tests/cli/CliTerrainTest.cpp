#include <gtest/gtest.h>

#include <fstream>

#include "CliTestSupport.h"
#include "support/TerrainSets.h"
#include "support/TestImages.h"
#include "terrain/TerrainFile.h"

using namespace kesh;
using namespace kesh::test;

namespace {

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A colour mask: 'g' green (0x00ff00), 'b' blue (0x0000ff), 'r' red, one
// letter a pixel, rows of equal length.
std::vector<uint8_t> Mask(const std::vector<std::string>& rows) {
    PngRecipe recipe;
    recipe.colourType = PNG_COLOR_TYPE_RGB;
    recipe.width = int(rows[0].size());
    recipe.height = int(rows.size());
    for (const std::string& row : rows)
        for (char c : row) {
            recipe.samples.push_back(c == 'r' ? 255 : 0);
            recipe.samples.push_back(c == 'g' ? 255 : 0);
            recipe.samples.push_back(c == 'b' ? 255 : 0);
        }
    return MakePng(recipe);
}

// A 3 x 2 map of empty cells without tiles, and the 16-tile corner set.
struct TerrainFiles {
    TempDir dir;
    std::string map = dir.file("land.map");
    std::string set = dir.file("set.kterrain");
    std::string blob = dir.file("blob.kterrain");
    TerrainFiles() {
        MapModel model;
        EXPECT_TRUE(model.AllocateCells(3, 2));
        model.format().items = {MapItem::SizeWord, MapItem::CellsWord};
        EXPECT_TRUE(SaveMapFiles(FileSystem::Native(), map, model, TileSet()));
        const std::string corner = WriteTerrainFile(terrainsets::CornerSet16());
        WriteFile(set, {corner.begin(), corner.end()});
        const std::string blobText = WriteTerrainFile(terrainsets::BlobSet48());
        WriteFile(blob, {blobText.begin(), blobText.end()});
    }
};

// The lowest colour is the first terrain unless --terrain says otherwise;
// corner masks are one larger than the map, blob masks its size.
TEST(CliTerrainTest, AMaskBecomesTheMapsTilesAndTheSetIsSavedBesideIt) {
    struct Case {
        std::vector<std::string> extra;
        bool blob;
        std::vector<std::string> mask;
        std::string cells;
        std::string counts;
    };
    const Case cases[] = {
        {{}, false, {"bbbb", "bgbb", "bbbb"}, "[4, 8, 0, 2, 1, 0]", "{\"물\": 11, \"풀\": 1}"},
        {{"--terrain", "풀", "--terrain=물"}, false, {"bbbb", "bgbb", "bbbb"},
         "[11, 7, 15, 13, 14, 15]", "{\"물\": 1, \"풀\": 11}"},
        // Blob: 풀 at (0,0) and (1,0), the map's edge continuing them:
        // 111000111 is tile 21 of the set, 100000111 tile 16.
        {{}, true, {"ggb", "bbb"}, "[21, 16, 0, 0, 0, 0]", "{\"물\": 4, \"풀\": 2}"},
    };
    for (const Case& c : cases) {
        TerrainFiles files;
        WriteFile(files.dir.file("mask.png"), Mask(c.mask));
        std::vector<std::string> args = {"terrain", files.map, "--set",
                                         c.blob ? files.blob : files.set, "--mask",
                                         files.dir.file("mask.png")};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const CliRun run = Cli(args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(Has(run.out, "\"terrains\": " + c.counts)) << run.out;
        EXPECT_TRUE(Has(run.out, "\"unmatched\": 0")) << run.out;
        EXPECT_TRUE(Has(run.out, "\"set\": \"" + files.dir.file("land.kterrain") + "\""));
        const CliRun info = Cli({"info", files.map, "--cells"});
        EXPECT_TRUE(Has(info.out, c.cells)) << info.out;
        TerrainSet beside;
        bool missing = true;
        ASSERT_TRUE(LoadTerrainFile(FileSystem::Native(), files.dir.file("land.kterrain"), beside,
                                    missing));
        EXPECT_EQ(beside,
                  c.blob ? terrainsets::BlobSet48() : terrainsets::CornerSet16());
    }
}

// Every refusal leaves the map as it was and writes no set beside it.
TEST(CliTerrainTest, RefusalsLeaveTheMapAsItWas) {
    struct Case {
        std::vector<std::string> args; // after the map; MASK and SET stand for the files
        std::vector<std::string> mask;
        int status;
        std::string said;
    };
    const Case cases[] = {
        {{"--set", "SET", "--mask", "MASK"}, {"bbb", "bbb"}, 1, "마스크 그림의 크기가 지도와 맞지 않습니다."},
        {{"--set", "SET", "--mask", "MASK"}, {"bbbb", "bgrb", "bbbb"}, 1, "마스크 그림의 색이 지형보다 많습니다."},
        {{"--set", "SET", "--mask", "MASK", "--terrain", "모래"}, {"bbbb", "bbbb", "bbbb"}, 2, "지형 세트에 없는 지형입니다: 모래"},
        {{"--set", "SET", "--mask", "MASK", "--terrain", "풀"}, {"bbbb", "bgbb", "bbbb"}, 1, "마스크 그림의 색이 지형보다 많습니다."},
        {{"--set", "SET"}, {"bbbb", "bbbb", "bbbb"}, 2, "--set 과 --mask"},
        {{"--set", "SET", "--mask", "MASK", "--terrain"}, {"bbbb", "bbbb", "bbbb"}, 2, "--terrain"},
        {{"--set", "MASK", "--mask", "MASK"}, {"bbbb", "bbbb", "bbbb"}, 1, "UTF-8"},
    };
    for (const Case& c : cases) {
        TerrainFiles files;
        const auto before = ReadBytes(files.map);
        WriteFile(files.dir.file("mask.png"), Mask(c.mask));
        std::vector<std::string> args = {"terrain", files.map};
        for (const std::string& a : c.args)
            args.push_back(a == "SET" ? files.set : a == "MASK" ? files.dir.file("mask.png") : a);
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, c.status) << c.said;
        EXPECT_TRUE(Has(run.err, c.said)) << run.err;
        EXPECT_EQ(ReadBytes(files.map), before) << c.said;
        EXPECT_FALSE(FileSystem::Native().exists(files.dir.file("land.kterrain"))) << c.said;
    }
}

} // namespace
