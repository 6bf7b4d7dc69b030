#include <gtest/gtest.h>

#include <string>

#include "map/MapFile.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "support/TerrainSets.h"
#include "terrain/TerrainFile.h"
#include "terrain/TerrainMessages.h"
#include "tileset/TileSetFile.h"

namespace kesh {
namespace {

Status Read(const std::string& text, TerrainSet& set) {
    return ReadTerrainFile(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()), set);
}

TEST(TerrainFileTest, SetsGoBothWays) {
    for (const TerrainSet& set : {terrainsets::CornerSet16(), terrainsets::BlobSet48()}) {
        TerrainSet read;
        ASSERT_TRUE(Read(WriteTerrainFile(set), read));
        EXPECT_EQ(read, set);
    }
    TerrainSet read;
    ASSERT_TRUE(Read("kesh-terrain 1\r\n# 설명\r\n\r\nkind blob\r\nterrain  모래 언덕 \r\n"
                     "tile 3 0 0 0 0 0 0 0 0 0\r\n",
                     read));
    EXPECT_EQ(read.kind, TerrainKind::Blob);
    EXPECT_EQ(read.terrains, std::vector<std::string>{"모래 언덕"});
    EXPECT_EQ(read.tiles, (std::vector<TerrainTile>{{3, 0}}));
}

// Each damage gets its own Korean message, naming the line where it has one,
// and the set read into stays as it was.
TEST(TerrainFileTest, BadFilesAreRefusedWithTheirReason) {
    const std::string head = "kesh-terrain 1\nkind corner\nterrain 물\nterrain 풀\n";
    const std::string line = std::string(terrainmsg::kBadLine) + " ";
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"", terrainmsg::kNotTerrainFile},
        {"kesh-map 1\n", terrainmsg::kNotTerrainFile},
        {"kesh-terrain 0\n", terrainmsg::kNotTerrainFile},
        {"kesh-terrain 2\n", terrainmsg::kNewerVersion},
        {"kesh-terrain 1\nterrain \xff\n", terrainmsg::kNotUtf8},
        {"kesh-terrain 1\nterrain \xed\xa0\x80\n", terrainmsg::kNotUtf8},
        {"kesh-terrain 1\nterrain a\x01\n", terrainmsg::kNotUtf8},
        {"kesh-terrain 1\nterrain \xea\xb0\n", terrainmsg::kNotUtf8},
        {head + "tile 1 0 0 0\n", line + "5"},
        {head + "tile 1 0 0 0 0 0\n", line + "5"},
        {head + "tile 1 0 0 0 2\n", line + "5"},
        {head + "tile 65535 0 0 0 0\n", line + "5"},
        {head + "tile -1 0 0 0 0\n", line + "5"},
        {head + "tile 1 0 0 0 x\n", line + "5"},
        {"kesh-terrain 1\nterrain 물\ntile 1 0 0 0 0\n", line + "3"},
        {head + "tile 1 0 0 0 0\nkind blob\n", line + "6"},
        {head + "kind corner\n", line + "5"},
        {head + "kind hex\n", line + "5"},
        {head + "water 1\n", line + "5"},
        {head + "terrain   \n", line + "5"},
        {head + "terrain 3\nterrain 4\nterrain 5\nterrain 6\nterrain 7\nterrain 8\nterrain 9\n",
         line + "11"},
        {"kesh-terrain 1\nkind corner\n", terrainmsg::kTerrainCount},
        {"kesh-terrain 1\nkind corner\nterrain 물\nterrain 물\n",
         std::string(terrainmsg::kRepeatedName) + "\n물"},
    };
    for (const Case& c : cases) {
        TerrainSet set = terrainsets::CornerSet16();
        const Status st = Read(c.text, set);
        EXPECT_FALSE(st) << c.text;
        EXPECT_EQ(st.message(), c.message) << c.text;
        EXPECT_EQ(set, terrainsets::CornerSet16()) << c.text;
    }
}

TEST(TerrainFileTest, TheFileSitsBesideItsDataFile) {
    const std::pair<std::string, std::string> cases[] = {
        {"/a/set.til", "/a/set.kterrain"},
        {"/a.b/set", "/a.b/set.kterrain"},
        {"map.v2.map", "map.v2.kterrain"},
        {"/a/.hidden", "/a/.hidden.kterrain"},
    };
    for (const auto& [data, terrain] : cases)
        EXPECT_EQ(TerrainPathFor(data), terrain) << data;
}

// The terrain file is saved with the tile file or the map, all or nothing:
// when any file of the save fails, every old file stays as it was.
TEST(TerrainFileTest, SavedWithTheTileFileAndTheMapAllOrNothing) {
    using Fault = test::FaultyFileSystem::Fault;
    for (bool map : {false, true}) {
        test::TempDir dir;
        const std::string data = dir.file(map ? "w.map" : "w.til");
        const std::string terrainPath = TerrainPathFor(data);
        TileSet tiles;
        tiles.InitTileSet();
        std::vector<uint8_t> pixels(size_t(tiles.tileWidth() * tiles.tileHeight()), 3);
        tiles.tiles().Append(pixels.data(), 0);
        MapModel model;
        const auto save = [&](FileSystem& fs, const TerrainSet& set) {
            const std::vector<FileSource> beside{TerrainFileSource(terrainPath, set)};
            return map ? SaveMapFiles(fs, data, model, tiles, beside)
                       : SaveTileSetFiles(fs, data, tiles, EmptyTileSet::Refuse, beside);
        };
        ASSERT_TRUE(save(FileSystem::Native(), terrainsets::CornerSet16()));
        for (int first = 0; first < 3; ++first) {
            test::FaultyFileSystem fs;
            fs.fault = Fault::Rename;
            fs.succeedFirst = first;
            EXPECT_FALSE(save(fs, terrainsets::BlobSet48())) << map << first;
            TerrainSet read;
            bool missing = true;
            ASSERT_TRUE(LoadTerrainFile(FileSystem::Native(), terrainPath, read, missing));
            EXPECT_EQ(read, terrainsets::CornerSet16()) << map << first;
        }
        ASSERT_TRUE(save(FileSystem::Native(), terrainsets::BlobSet48()));
        TerrainSet read;
        bool missing = true;
        ASSERT_TRUE(LoadTerrainFile(FileSystem::Native(), terrainPath, read, missing));
        EXPECT_EQ(read, terrainsets::BlobSet48());
        EXPECT_FALSE(LoadTerrainFile(FileSystem::Native(), dir.file("none.kterrain"), read, missing));
        EXPECT_TRUE(missing);
    }
}

} // namespace
} // namespace kesh
