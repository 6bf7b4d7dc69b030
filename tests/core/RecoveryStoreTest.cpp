#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "app/RecoveryStore.h"
#include "layout/MapFormat.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"

using kesh::FileSystem;
using kesh::MapModel;
using kesh::RecoveryEntry;
using kesh::RecoveryStore;
using kesh::TileSet;
using kesh::test::FaultyFileSystem;
using Fault = FaultyFileSystem::Fault;

namespace {

// A 5 x 3 map whose cells are `first` + their index, and a set of 4 tiles.
struct Work {
    MapModel map;
    TileSet tiles;

    explicit Work(uint16_t first, const std::vector<uint8_t>& mapItems) {
        kesh::test::MakeTiles(tiles, 8, 8, 4);
        EXPECT_TRUE(map.AllocateCells(5, 3));
        map.format().items = mapItems;
        map.format().header = "HDR";
        for (size_t i = 0; i < map.cells().size(); ++i)
            map.cells()[i] = uint16_t(first + i);
    }
};

const std::vector<uint8_t> kWithoutTiles = {kesh::MapItem::SizeWord, kesh::MapItem::CellsWord};
const std::vector<uint8_t> kWithTiles = {kesh::MapItem::SizeWord, kesh::MapItem::TileFile,
                                         kesh::MapItem::CellsWord};

RecoveryEntry Entry(const std::string& path, int64_t time) {
    return {"session-1", path, time, 1};
}

} // namespace

TEST(RecoveryStoreTest, ACopyComesBackWithItsMapTilesAndIndex) {
    for (const auto& items : {kWithoutTiles, kWithTiles}) {
        kesh::test::TempDir dir;
        RecoveryStore store(FileSystem::Native(), dir.file("state/kesh/recovery"));
        Work work(3, items);
        ASSERT_TRUE(store.Write(Entry("/maps/town.map", 1000), work.map, work.tiles));

        const auto entries = store.List();
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0], Entry("/maps/town.map", 1000));

        MapModel map;
        TileSet tiles; // the editor's start-up set: replaced by the copy's
        ASSERT_TRUE(store.Load(entries[0], map, tiles));
        EXPECT_EQ(map.cells(), work.map.cells());
        EXPECT_EQ(map.format().items, items);
        EXPECT_EQ(map.format().header, "HDR");
        EXPECT_EQ(tiles.count(), 4);
        EXPECT_EQ(tiles.tileWidth(), 8);
        EXPECT_EQ(kesh::test::TileSetState(tiles).pixels,
                  kesh::test::TileSetState(work.tiles).pixels);

        store.Remove("session-1");
        EXPECT_TRUE(store.List().empty());
        EXPECT_TRUE(dir.entries() == std::vector<std::string>{"state"});
    }
}

// A layout that embeds the tile set while the set is empty still gets a
// copy (the map alone), and the copy brings the layout back whole.
TEST(RecoveryStoreTest, AMapEmbeddingAnEmptyTileSetIsCopiedAlone) {
    const std::vector<uint8_t> items = {kesh::MapItem::TileFile, kesh::MapItem::SizeByte,
                                        kesh::MapItem::CellsByte, kesh::MapItem::TileFile};
    kesh::test::TempDir dir;
    RecoveryStore store(FileSystem::Native(), dir.path());
    Work work(3, items);
    work.tiles = TileSet();
    ASSERT_TRUE(store.Write(Entry("", 1000), work.map, work.tiles));
    const auto entries = store.List();
    ASSERT_EQ(entries.size(), 1u);
    MapModel map;
    TileSet tiles;
    kesh::test::MakeTiles(tiles, 8, 8, 2); // the set the copy is read into stays
    ASSERT_TRUE(store.Load(entries[0], map, tiles));
    EXPECT_EQ(map.cells(), work.map.cells());
    EXPECT_EQ(map.format().items, items);
    EXPECT_EQ(map.format().header, "HDR");
    EXPECT_EQ(tiles.count(), 2);

    // The layout line is checked like the rest of the index.
    RecoveryEntry read{"s", "", 0, 0};
    bool hasTiles = true;
    std::vector<uint8_t> layout;
    const std::string text = RecoveryStore::IndexText(Entry("", 1), false, items);
    ASSERT_TRUE(RecoveryStore::ParseIndex(text, read, hasTiles, &layout));
    EXPECT_EQ(layout, items);
    for (const char* bad : {"layout 3 x\n", "layout 256\n", "layout\n", "layuot 3\n"})
        EXPECT_FALSE(RecoveryStore::ParseIndex(RecoveryStore::IndexText(Entry("", 1), false) + bad,
                                               read, hasTiles, &layout))
            << bad;
}

TEST(RecoveryStoreTest, ACopyWrittenOnAFailingDiskLeavesThePreviousCopy) {
    kesh::test::TempDir dir;
    const std::string folder = dir.file("recovery");
    Work before(1, kWithoutTiles);
    ASSERT_TRUE(RecoveryStore(FileSystem::Native(), folder)
                    .Write(Entry("/maps/town.map", 1000), before.map, before.tiles));
    Work after(40, kWithoutTiles);

    struct Disk {
        Fault fault;
        int64_t budget;
        int first;
    };
    std::vector<Disk> disks;
    for (int64_t budget : {0, 1, 20, 100, 200, 400, 800})
        disks.push_back({Fault::Write, budget, 0});
    for (Fault fault : {Fault::Create, Fault::Rename, Fault::Link, Fault::Sync, Fault::Close})
        for (int first = 0; first < 5; ++first)
            disks.push_back({fault, 0, first});

    for (const Disk& d : disks) {
        FaultyFileSystem disk;
        disk.fault = d.fault;
        disk.writeBudget = d.budget;
        disk.succeedFirst = d.first;
        RecoveryStore store(disk, folder);
        // Faults past the last step let the copy through; otherwise it must fail.
        const bool written =
            bool(store.Write(Entry("/maps/town.map", 2000), after.map, after.tiles));
        RecoveryStore check(FileSystem::Native(), folder);
        const auto entries = check.List();
        ASSERT_EQ(entries.size(), 1u);
        MapModel map;
        TileSet tiles;
        ASSERT_TRUE(check.Load(entries[0], map, tiles));
        if (written) {
            EXPECT_EQ(entries[0].savedAt, 2000);
            EXPECT_EQ(map.cells(), after.map.cells());
            // Back to the first copy for the next disk.
            ASSERT_TRUE(check.Write(Entry("/maps/town.map", 1000), before.map, before.tiles));
        } else {
            EXPECT_EQ(entries[0].savedAt, 1000);
            EXPECT_EQ(map.cells(), before.map.cells());
            EXPECT_EQ(tiles.count(), 4);
        }
    }
}

TEST(RecoveryStoreTest, IndexesKeepAnyPathAndRefuseDamage) {
    RecoveryEntry entry{"s", "/a%b/line\nbreak.map", -5, 77};
    const std::string text = RecoveryStore::IndexText(entry, true);
    RecoveryEntry read{"s", "", 0, 0};
    bool hasTiles = false;
    ASSERT_TRUE(RecoveryStore::ParseIndex(text, read, hasTiles));
    EXPECT_EQ(read, entry);
    EXPECT_TRUE(hasTiles);

    // Untitled maps have no path.
    entry.originalPath.clear();
    ASSERT_TRUE(RecoveryStore::ParseIndex(RecoveryStore::IndexText(entry, false), read, hasTiles));
    EXPECT_EQ(read.originalPath, "");
    EXPECT_FALSE(hasTiles);

    for (size_t cut = 0; cut < text.size(); ++cut)
        EXPECT_FALSE(RecoveryStore::ParseIndex(text.substr(0, cut), read, hasTiles)) << cut;
    std::string bad = text;
    bad.replace(bad.find("time -5"), 7, "time x5");
    EXPECT_FALSE(RecoveryStore::ParseIndex(bad, read, hasTiles));
}

TEST(RecoveryStoreTest, ListsNewestFirstAndSkipsDamagedOrHalfCopies) {
    kesh::test::TempDir dir;
    RecoveryStore store(FileSystem::Native(), dir.path());
    Work work(0, kWithTiles);
    ASSERT_TRUE(store.Write({"a", "/x.map", 10, 1}, work.map, work.tiles));
    ASSERT_TRUE(store.Write({"b", "", 30, 2}, work.map, work.tiles));
    kesh::test::WriteBytes(dir.file("c.idx"), {'j', 'u', 'n', 'k'});
    const auto entries = store.List();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].slot, "b");
    EXPECT_EQ(entries[1].slot, "a");

    // A copy whose map went missing cannot be read, and changes nothing.
    std::remove(dir.file("a.map").c_str());
    MapModel map;
    TileSet tiles;
    EXPECT_FALSE(store.Load(entries[1], map, tiles));
    EXPECT_EQ(tiles.count(), 0);
    EXPECT_EQ(map.width(), 64);
}

TEST(RecoveryStoreTest, TheFolderFollowsXdgStateHome) {
    const char* old = std::getenv("XDG_STATE_HOME");
    const std::string saved = old ? old : "";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("XDG_STATE_HOME", "/tmp/state", 1);
    EXPECT_EQ(RecoveryStore::DefaultFolder(), "/tmp/state/kesh/recovery");
    ::setenv("XDG_STATE_HOME", "relative", 1); // not absolute: ignored
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(RecoveryStore::DefaultFolder(), "/home/u/.local/state/kesh/recovery");
    ::setenv("HOME", home.c_str(), 1);
    if (old)
        ::setenv("XDG_STATE_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_STATE_HOME");
}
