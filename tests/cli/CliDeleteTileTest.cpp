#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "map/MapFile.h"
#include "tileset/TileSetFile.h"

using namespace kesh;
using namespace kesh::test;

TEST(CliDeleteTileTest, AMapLosesTheTileAndItsCellsMoveDownAsInTheEditor) {
    TempDir dir;
    SaveMap(dir.file("town.map")); // cells 0 1 2 / 3 4 empty, tiles 5 and 6 embedded
    CliRun run = Cli({"delete-tile", dir.file("town.map"), "0"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "{\"deleted\": 0, \"tiles\": 1, \"emptiedCells\": 1}\n");
    run = Cli({"info", dir.file("town.map"), "--cells"});
    EXPECT_TRUE(Has(run.out, "[65535, 0, 1, 2, 3, 65535]")) << run.out;
    EXPECT_TRUE(Has(run.out, "\"attributes\": [60]")) << run.out;
}

TEST(CliDeleteTileTest, ATileSetLosesTheTileAndIsSavedWithItsLayout) {
    TempDir dir;
    SaveTiles(dir.file("set.til"), Tiles({1, 2, 3}));
    const auto layout = ReadBytes(dir.file("set.ktf"));
    CliRun run = Cli({"delete-tile", dir.file("set.til"), "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "{\"deleted\": 1, \"tiles\": 2}\n");
    run = Cli({"info", dir.file("set.til")});
    EXPECT_TRUE(Has(run.out, "\"attributes\": [10, 30]")) << run.out;
    EXPECT_EQ(ReadBytes(dir.file("set.ktf")), layout);
}

TEST(CliDeleteTileTest, RefusalsLeaveTheFilesAsTheyWere) {
    TempDir dir;
    SaveMap(dir.file("town.map"));
    SaveTiles(dir.file("one.til"), Tiles({1}));
    const auto map = ReadBytes(dir.file("town.map"));
    const auto one = ReadBytes(dir.file("one.til"));

    EXPECT_EQ(Cli({"delete-tile", dir.file("town.map")}).status, 2);
    EXPECT_EQ(Cli({"delete-tile", dir.file("town.map"), "-1"}).status, 2);
    EXPECT_EQ(Cli({"delete-tile", dir.file("town.map"), "1x"}).status, 2);
    EXPECT_EQ(Cli({"delete-tile", dir.file("town.map"), "65535"}).status, 2);
    EXPECT_EQ(Cli({"delete-tile", dir.file("town.txt"), "1"}).status, 2);

    CliRun run = Cli({"delete-tile", dir.file("town.map"), "2"}); // two tiles: 0 and 1
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Has(run.err, "그 번호의 타일이 없습니다: 2")) << run.err;
    // The last tile of a set: an empty set cannot be written, and is not.
    run = Cli({"delete-tile", dir.file("one.til"), "0"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadBytes(dir.file("town.map")), map);
    EXPECT_EQ(ReadBytes(dir.file("one.til")), one);
}

TEST(CliDeleteTileTest, AMapWithoutItsTilesHasOnlyItsCellsRenumbered) {
    TempDir dir;
    MapModel model;
    ASSERT_TRUE(model.AllocateCells(4, 1));
    model.format().items = {MapItem::SizeWord, MapItem::CellsWord};
    model.cells() = {7, 8, 9, kEmptyCell};
    ASSERT_TRUE(SaveMapFiles(FileSystem::Native(), dir.file("bare.map"), model, TileSet()));
    CliRun run = Cli({"delete-tile", dir.file("bare.map"), "8"});
    ASSERT_EQ(run.status, 0) << run.err;
    run = Cli({"info", dir.file("bare.map"), "--cells"});
    EXPECT_TRUE(Has(run.out, "[7, 65535, 8, 65535]")) << run.out;
}
