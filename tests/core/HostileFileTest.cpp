// Files that are not what they seem: devices and FIFOs under a map's name,
// files that change while they are read, images named by many tile sets,
// leftovers of killed saves, and memory that runs out while a file is made.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <new>

#include "base/Messages.h"
#include "image/PaletteSource.h"
#include "io/InputLimits.h"
#include "io/RegularFile.h"
#include "io/SaveLock.h"
#include "map/MapFile.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"
#include "support/TmxSamples.h"
#include "tmx/TmxImages.h"
#include "tmx/TmxImport.h"
#include "tmx/TmxMessages.h"

using namespace kesh;
using kesh::test::TempDir;
using kesh::test::WriteBytes;
using Bytes = std::vector<uint8_t>;

namespace {

// The real disk, counting the whole-file reads of each path.
class CountingFileSystem : public kesh::test::FaultyFileSystem {
public:
    std::map<std::string, int> reads;
    ReadResult<std::vector<uint8_t>> readFile(const std::string& path, uint64_t limit) override {
        ++reads[path];
        return FaultyFileSystem::readFile(path, limit);
    }
};

// A small map with two tiles embedded, saved at `path` with its descriptor.
Status SaveSmallMap(const std::string& path) {
    MapModel map;
    TileSet tiles;
    kesh::test::MakeTiles(tiles, 8, 8, 2);
    if (!map.AllocateCells(3, 2))
        return Status::Fail("no map");
    return SaveMapFiles(FileSystem::Native(), path, map, tiles);
}

std::string Join(const std::string& a, const std::string& b) {
    return a + "\n" + b;
}

} // namespace

// Whatever names a file that is no regular file, or one over the ceiling for
// its kind, is refused at once with the path, never read (a device would fill
// memory, a FIFO would wait for ever).
TEST(HostileRead, OnlyRegularFilesWithinTheirCeilingAreRead) {
    TempDir dir;
    std::filesystem::create_symlink("/dev/zero", dir.file("zero.map"));
    ASSERT_EQ(::mkfifo(dir.file("fifo.png").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.file("folder.map"));
    WriteBytes(dir.file("big.kmf"), Bytes(kMaxDescriptorBytes + 1, 'x'));
    const std::string tooLarge = std::string(msg::kFileTooLarge) + "65,536바이트).";
    const struct {
        std::string name;
        std::string message;
    } cases[] = {
        {"zero.map", msg::kNotRegularFile},   {"fifo.png", msg::kNotRegularFile},
        {"folder.map", msg::kNotRegularFile}, {"big.kmf", tooLarge},
        {"missing.map", msg::kOpenFailed},
    };
    FileSystem& fs = FileSystem::Native();
    for (const auto& c : cases) {
        const std::string path = dir.file(c.name);
        const auto whole = fs.readFile(path, kMaxDescriptorBytes);
        const auto mapped = fs.readBytes(path, kMaxDescriptorBytes);
        EXPECT_FALSE(whole) << c.name;
        EXPECT_FALSE(mapped) << c.name;
        EXPECT_EQ(whole.status().message(), Join(c.message, path)) << c.name;
        EXPECT_EQ(mapped.status().message(), Join(c.message, path)) << c.name;
    }
    // As the user meets it: a map named after a device, with a real descriptor.
    ASSERT_TRUE(SaveSmallMap(dir.file("real.map")));
    std::filesystem::copy_file(dir.file("real.kmf"), dir.file("zero.kmf"));
    MapModel opened;
    TileSet tiles;
    bool missing = false;
    EXPECT_EQ(OpenMapFiles(fs, dir.file("zero.map"), opened, tiles, missing).message(),
              Join(msg::kNotRegularFile, dir.file("zero.map")));
}

// A file that grows or shrinks between its size being taken and its end
// being read is damaged, whether it is small or large (mapped).
TEST(HostileRead, AFileThatChangesWhileReadIsDamaged) {
    TempDir dir;
    const std::string path = dir.file("a.map");
    for (const size_t size : {size_t(5000), size_t(3) << 20}) {
        for (const off_t change : {off_t(100), off_t(-100)}) {
            WriteBytes(path, Bytes(size, 7));
            bool changed = false;
            // The file changes once its first bytes were read.
            RegularFile file(path, kMaxMapFileBytes, [&](int fd, void* data, size_t n) {
                const ssize_t got = ::read(fd, data, std::min<size_t>(n, 1000));
                if (!changed) {
                    changed = true;
                    EXPECT_EQ(::truncate(path.c_str(), off_t(size) + change), 0);
                }
                return got;
            });
            const auto read = file.ReadAll();
            EXPECT_FALSE(read) << size << " " << change;
            EXPECT_EQ(read.status().message(), Join(msg::kDamagedFile, path));
        }
    }
    // The same file, left alone, reads whole.
    WriteBytes(path, Bytes(5000, 7));
    EXPECT_EQ(FileSystem::Native().readFile(path, kMaxMapFileBytes), Bytes(5000, 7));
}

// Palette refusals name the file, as every other failure does.
TEST(HostileRead, PaletteRefusalsNameTheFile) {
    TempDir dir;
    WriteBytes(dir.file("bad.pcx"), Bytes(900, 0));
    WriteBytes(dir.file("bad.bmp"), {'B', 'M', 1});
    WriteBytes(dir.file("town.gif"), {'G', 'I', 'F', '8', '9', 'a'});
    std::filesystem::create_symlink("/dev/zero", dir.file("zero.pal"));
    const std::pair<std::string, std::string> cases[] = {
        {"bad.pcx", msg::kPcxOnly},         {"bad.bmp", msg::kBmpOnly},
        {"none.pcx", msg::kPcxOnly},        {"town.gif", msg::kPaletteTypeUnsupported},
        {"zero.pal", msg::kNotRegularFile}, {"none.gpl", msg::kOpenFailed},
    };
    for (const auto& [name, message] : cases) {
        const std::string path = dir.file(name);
        Palette palette;
        const Status st = ReadPaletteSource(
            path, FileSystem::Native().readFile(path, kMaxImageFileBytes), palette);
        EXPECT_EQ(st.message(), Join(message, path)) << name;
    }
}

// One image named by many tile sets, under several names, is read and
// decoded once.
TEST(HostileTmx, AnImageNamedByManyTileSetsIsDecodedOnce) {
    TempDir dir;
    TileSet set;
    kesh::test::MakeTiles(set, 4, 4, 4);
    WriteBytes(dir.file("sheet.png"), kesh::test::SheetPng(set, 0, 4, 2));
    std::filesystem::create_symlink("sheet.png", dir.file("link.png"));
    std::string tmx = "<map orientation=\"orthogonal\" width=\"2\" height=\"1\" tilewidth=\"4\" "
                      "tileheight=\"4\">";
    const std::string names[] = {"sheet.png", "link.png", dir.file("sheet.png")};
    for (int s = 0; s < 12; ++s)
        tmx += kesh::test::TilesetText(set, 0, 4, 2, names[s % 3],
                                       " firstgid=\"" + std::to_string(1 + 4 * s) + "\"");
    tmx += "<layer name=\"a\" width=\"2\" height=\"1\"><data encoding=\"csv\">1,48</data>"
           "</layer></map>";
    CountingFileSystem fs;
    FolderLoader loader(fs, dir.path());
    const TmxImportResult r = ImportTmx(Bytes(tmx.begin(), tmx.end()), loader, {});
    ASSERT_TRUE(r.status) << r.status.message();
    EXPECT_EQ(r.tiles.count(), 4);
    int reads = 0;
    for (const auto& [path, n] : fs.reads)
        reads += n;
    EXPECT_EQ(reads, 1);
}

// All the images of one import share one pixel budget; an image past it is
// refused, naming the budget and the image, before it is decoded.
TEST(HostileTmx, TheImagesOfAnImportShareOnePixelBudget) {
    TileSet set;
    kesh::test::MakeTiles(set, 4, 4, 4);
    kesh::test::MemoryLoader files;
    files.files["a.png"] = kesh::test::SheetPng(set, 0, 4, 2); // 8 x 8
    files.files["b.png"] = kesh::test::SheetPng(set, 0, 4, 4); // 16 x 4
    files.files["c.png"] = kesh::test::SheetPng(set, 0, 1, 1); // 4 x 4
    TmxImages images(files, 130);
    const Image* image = nullptr;
    EXPECT_TRUE(images.Get("a.png", image));
    EXPECT_TRUE(images.Get("a.png", image)); // the same image costs nothing more
    EXPECT_TRUE(images.Get("b.png", image));
    EXPECT_EQ(images.Get("c.png", image).message(),
              std::string(msg::kTmxImagesTooLarge) + "130화소).\nc.png");
    EXPECT_EQ(images.decoded(), 2);
}

// What a killed save left beside a map goes when the map is opened, unless
// another save of it is running (it holds the lock) or a commit record still
// needs it.
TEST(HostileSave, LeftoversOfAKilledSaveGoAtOpen) {
    TempDir dir;
    FileSystem& fs = FileSystem::Native();
    ASSERT_TRUE(SaveSmallMap(dir.file("town.map")));
    const std::vector<std::string> leftovers = {"town.map.kesh-0123abcd.tmp",
                                                "town.kmf.kesh-ffffffff.tmp"};
    const auto open = [&] {
        MapModel map;
        TileSet tiles;
        bool missing = false;
        return OpenMapFiles(fs, dir.file("town.map"), map, tiles, missing);
    };
    for (const auto& name : leftovers)
        WriteBytes(dir.file(name), {1});
    {
        const SaveLock running(fs, {dir.file("town.map")}, std::chrono::milliseconds(0));
        ASSERT_TRUE(running.held());
        ASSERT_TRUE(open());
        EXPECT_EQ(dir.entries().size(), 4u);
    }
    ASSERT_TRUE(open());
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"town.kmf", "town.map"}));
}

// Memory that runs out while a file of a save is made fails the save with
// the reason, leaves the old file as it was and no temporary behind.
TEST(HostileSave, MemoryRunningOutFailsTheSaveCleanly) {
    TempDir dir;
    const std::string path = dir.file("a.map");
    WriteBytes(path, {1, 2, 3});
    const Status st = SaveFiles(FileSystem::Native(),
                                std::vector<FileSource>{{path, [](ByteWriter& out) -> Status {
                                                             out.write(Bytes(100, 9).data(), 100);
                                                             throw std::bad_alloc();
                                                         }}});
    EXPECT_EQ(st.message(), std::string(msg::kSaveFailed) + "\n" + path + "\n" + msg::kOutOfMemory);
    EXPECT_EQ(kesh::test::ReadBytes(path), Bytes({1, 2, 3}));
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"a.map"});
}

// A failed save says why: the system's reason, or, when it went ahead
// without its lock and the system told none, that another program saves.
TEST(HostileSave, AFailedSaveSaysWhy) {
    EXPECT_EQ(SaveFailure("a.map", ENOSPC, false),
              std::string(msg::kSaveFailed) + "\na.map\n디스크에 빈 공간이 없습니다.");
    EXPECT_EQ(SaveFailure("a.map", 0, false),
              std::string(msg::kSaveFailed) + "\na.map\n" + msg::kSavingElsewhere);
    EXPECT_EQ(SaveFailure("a.map", 0, true), std::string(msg::kSaveFailed) + "\na.map");
}
