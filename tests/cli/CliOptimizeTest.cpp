#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "tileset/TileSetFile.h"

using namespace kesh;
using namespace kesh::test;

namespace {

// A 4 x 1 map of CellsWord: cells 0 2 1 empty over tiles filled with 5, 6,
// 5 (a copy of tile 0, its attribute too) and 7 (no cell shows it).
void SaveCluttered(const std::string& path) {
    MapModel map;
    ASSERT_TRUE(map.AllocateCells(4, 1));
    map.format().items = {MapItem::SizeWord, MapItem::CellsWord, MapItem::TileFile};
    map.cells() = {0, 2, 1, kEmptyCell};
    TileSet tiles = Tiles({5, 6, 5, 7});
    ASSERT_TRUE(SaveMapFiles(FileSystem::Native(), path, map, tiles));
}

} // namespace

TEST(CliOptimizeTest, UsageCountsEveryTileAndTheCellsWithoutOne) {
    TempDir dir;
    SaveCluttered(dir.file("c.map"));
    const CliRun run = Cli({"usage", dir.file("c.map")});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* part : {"\"tiles\": 4", "\"unused\": 1", "\"distinct\": 3",
                             "\"limit\": 65535", "\"emptyCells\": 1", "\"cellsWithoutTile\": 0",
                             "\"counts\": [1, 1, 1, 0]"})
        EXPECT_TRUE(Has(run.out, part)) << part << "\n" << run.out;
}

TEST(CliOptimizeTest, CleanUpsChosenByOptionRewriteTheMap) {
    struct Case {
        std::vector<std::string> options;
        std::vector<std::string> json; // parts of the answer
        const char* cells;             // as info --cells prints them
    };
    const std::vector<Case> cases = {
        {{}, {"\"tilesBefore\": 4", "\"tilesAfter\": 2", "\"cellsChanged\": 1"}, "[0, 0, 1, 65535]"},
        {{"--unused"}, {"\"tilesAfter\": 3", "\"cellsChanged\": 0"}, "[0, 2, 1, 65535]"},
        {{"--duplicates"}, {"\"tilesAfter\": 3", "\"cellsChanged\": 1"}, "[0, 0, 1, 65535]"},
        {{"--near", "1", "--unused"}, {"\"tilesAfter\": 2", "\"pairsMerged\": 1"}, "[0, 0, 1, 65535]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.empty() ? "default" : c.options[0]);
        TempDir dir;
        SaveCluttered(dir.file("c.map"));
        std::vector<std::string> args{"optimize", dir.file("c.map")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        CliRun run = Cli(args);
        ASSERT_EQ(run.status, 0) << run.err;
        for (const std::string& part : c.json)
            EXPECT_TRUE(Has(run.out, part)) << part << "\n" << run.out;
        EXPECT_TRUE(Has(run.out, "\"written\": true")) << run.out;
        run = Cli({"info", dir.file("c.map"), "--cells"});
        EXPECT_TRUE(Has(run.out, c.cells)) << run.out;
    }
}

TEST(CliOptimizeTest, CheckWritesNothingAndFailsOverTheLimit) {
    TempDir dir;
    // 257 different tiles under a map of byte cells, which number 256.
    MapModel map;
    ASSERT_TRUE(map.AllocateCells(1, 1));
    map.format().items = {MapItem::SizeWord, MapItem::CellsByte, MapItem::TileFile};
    map.cells() = {0};
    TileSet tiles = Tiles({});
    std::vector<uint8_t> pixels(64);
    for (int t = 0; t < 257; ++t) {
        pixels[0] = uint8_t(t);
        pixels[1] = uint8_t(t >> 8);
        tiles.tiles().Append(pixels.data(), 0);
    }
    ASSERT_TRUE(SaveMapFiles(FileSystem::Native(), dir.file("big.map"), map, tiles));
    const auto before = ReadBytes(dir.file("big.map"));

    CliRun run = Cli({"optimize", dir.file("big.map"), "--duplicates", "--check"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, "257 / 256")) << run.err;
    EXPECT_TRUE(Has(run.out, "\"written\": false")) << run.out;
    // Without the unused tiles the scene fits; --check still writes nothing.
    run = Cli({"optimize", dir.file("big.map"), "--unused", "--check"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "\"tilesAfter\": 1")) << run.out;
    EXPECT_EQ(ReadBytes(dir.file("big.map")), before);

    EXPECT_EQ(Cli({"optimize", dir.file("big.map"), "--near", "65"}).status, 2);
    EXPECT_EQ(Cli({"optimize", dir.file("big.til")}).status, 2);
    EXPECT_EQ(Cli({"usage"}).status, 2);
    EXPECT_EQ(ReadBytes(dir.file("big.map")), before);
}

// A console map keeps its tiles in a tile file of its name beside it: the
// clean-ups renumber the map and rewrite that file with it.
TEST(CliOptimizeTest, TilesBesideTheMapAreRewrittenWithIt) {
    TempDir dir;
    MapModel map;
    ASSERT_TRUE(map.AllocateCells(4, 1));
    map.format().items = {MapItem::SizeWord, MapItem::CellsWord};
    map.cells() = {0, 2, 1, kEmptyCell};
    ASSERT_TRUE(SaveMapFiles(FileSystem::Native(), dir.file("c.map"), map, Tiles({})));
    ASSERT_TRUE(SaveTileSetFiles(FileSystem::Native(), dir.file("c.til"), Tiles({5, 6, 5, 7}),
                                 EmptyTileSet::Refuse));

    CliRun run = Cli({"optimize", dir.file("c.map")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "\"tilesAfter\": 2")) << run.out;
    run = Cli({"info", dir.file("c.map"), "--cells"});
    EXPECT_TRUE(Has(run.out, "[0, 0, 1, 65535]")) << run.out;
    run = Cli({"usage", dir.file("c.map")});
    EXPECT_TRUE(Has(run.out, "\"counts\": [2, 1]")) << run.out;
}
