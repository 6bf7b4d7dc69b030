// The largest map there may be, 16384 x 16384 word cells (512 MiB), saved and
// opened again whole. Skipped where the machine has too little memory free.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "TileSetSamples.h"
#include "map/MapFile.h"
#include "support/TempDir.h"

using namespace kesh;

namespace {

// MemAvailable from /proc/meminfo, in KiB, or 0 when it cannot be read.
uint64_t AvailableKiB() {
    std::ifstream in("/proc/meminfo");
    std::string key;
    uint64_t value = 0;
    std::string unit;
    while (in >> key >> value >> unit)
        if (key == "MemAvailable:")
            return value;
    return 0;
}

} // namespace

TEST(BigMap, TheLargestMapIsSavedAndReadBackWhole) {
    if (AvailableKiB() < (uint64_t(4) << 20))
        GTEST_SKIP() << "less than 4 GiB of memory free";
    constexpr int32_t kSide = 16384;
    MapModel map;
    ASSERT_TRUE(map.AllocateCells(kSide, kSide));
    map.format().items = {MapItem::SizeWord, MapItem::CellsWord, MapItem::TileFile};
    auto& cells = map.cells();
    // Every cell differs from its neighbours, and the last one is marked, so
    // a cell dropped, doubled or cut at 2^31 bytes shows.
    for (size_t i = 0; i < cells.size(); ++i)
        cells[i] = uint16_t(i % 65521);
    cells.back() = 4321;
    TileSet tiles = test::MakeTileSet(8, 8);
    test::AddTile(tiles, 3, 0);

    test::TempDir dir;
    const std::string path = dir.file("big.map");
    ASSERT_TRUE(SaveMapFiles(FileSystem::Native(), path, map, tiles));

    MapModel read;
    TileSet readTiles;
    bool missing = false;
    const Status st = OpenMapFiles(FileSystem::Native(), path, read, readTiles, missing);
    ASSERT_TRUE(st) << st.message();
    EXPECT_EQ(read.width(), kSide);
    EXPECT_EQ(read.height(), kSide);
    EXPECT_EQ(read.cellCount(), kSide * kSide);
    EXPECT_TRUE(read.cells() == cells);
    EXPECT_EQ(readTiles.count(), 1);
}
