// A map saved in a new layout, the save cut short at every step: kesh-cli
// info and the core open then see the old pair or the new one, never a mix.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include "Cli.h"
#include "map/MapFile.h"
#include "support/DyingFileSystem.h"
#include "support/TempDir.h"

using namespace kesh;

namespace {

TileSet TwoTiles() {
    TileSet set;
    set.format().width = 8;
    set.format().height = 8;
    set.InitTileSet();
    for (uint8_t v : {1, 2}) {
        const std::vector<uint8_t> pixels(64, v);
        set.tiles().Append(pixels.data(), v);
    }
    return set;
}

MapModel Map(int32_t width, int32_t height, std::vector<uint8_t> items) {
    MapModel map;
    EXPECT_TRUE(map.AllocateCells(width, height));
    map.format().items = std::move(items);
    map.cells()[0] = 1;
    return map;
}

// Saves `map` at `path` in a child that dies at step `stopAt`; true when it died.
bool SaveAndDieAt(const std::string& path, const MapModel& map, int stopAt) {
    const pid_t child = ::fork();
    if (child == 0) {
        kesh::test::DyingFileSystem fs(stopAt);
        ::_exit(SaveMapFiles(fs, path, map, TwoTiles()) ? 3 : 4);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The map's size as kesh-cli info reports it, or "" when it cannot read it.
std::string InfoSize(const std::string& path) {
    std::ostringstream out, err;
    if (cli::RunCli({"info", path}, out, err) != 0)
        return {};
    const std::string text = out.str();
    const size_t width = text.find("\"width\": ");
    const size_t height = text.find("\"height\": ");
    if (width == std::string::npos || height == std::string::npos)
        return {};
    return text.substr(width + 9, text.find(',', width) - width - 9) + "x" +
           text.substr(height + 10, text.find(',', height) - height - 10);
}

} // namespace

TEST(InterruptedConvert, TheReopenedPairIsAlwaysTheOldOrTheNewMap) {
    kesh::test::TempDir dir;
    const std::string path = dir.file("w.map");
    // The new layout reads the old file wrongly, and the old layout the new one.
    const MapModel oldMap = Map(3, 2, {MapItem::SizeWord, MapItem::CellsWord});
    const MapModel newMap = Map(5, 4, {MapItem::SizeByte, MapItem::CellsByte, MapItem::TileFile});
    int stopAt = 0;
    int oldSeen = 0, newSeen = 0;
    for (; stopAt < 200; ++stopAt) {
        ASSERT_TRUE(SaveMapFiles(FileSystem::Native(), path, oldMap, TwoTiles()));
        if (!SaveAndDieAt(path, newMap, stopAt))
            break;
        // Every other time the core open comes first and finds the record.
        MapModel opened;
        TileSet tiles;
        bool missing = false;
        std::string viaCore;
        auto openInCore = [&] {
            if (OpenMapFiles(FileSystem::Native(), path, opened, tiles, missing))
                viaCore = std::to_string(opened.width()) + "x" + std::to_string(opened.height());
        };
        if (stopAt % 2)
            openInCore();
        const std::string viaCli = InfoSize(path);
        if (stopAt % 2 == 0)
            openInCore();
        EXPECT_TRUE(viaCli == "3x2" || viaCli == "5x4") << "step " << stopAt << ": " << viaCli;
        EXPECT_EQ(viaCore, viaCli) << "step " << stopAt;
        oldSeen += viaCli == "3x2";
        newSeen += viaCli == "5x4";

        // A following save works and leaves nothing behind.
        EXPECT_TRUE(SaveMapFiles(FileSystem::Native(), path, oldMap, TwoTiles()));
        EXPECT_EQ(dir.entries(), (std::vector<std::string>{"w.kmf", "w.map"})) << "step " << stopAt;
    }
    EXPECT_LT(stopAt, 200);
    EXPECT_GT(oldSeen, 0);
    EXPECT_GT(newSeen, 0);
}
