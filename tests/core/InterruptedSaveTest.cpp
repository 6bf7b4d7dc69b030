// A save cut short by the process dying (a crash, a kill, a power cut seen from
// the files' side): after every single step of a save, a child process that is
// saving is ended on the spot, and what it left on disk is checked.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "io/FileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

using namespace kesh;

namespace {

// The real disk, but the process ends, with no clean-up of any kind, when
// the save reaches its `stopAt`-th step that changes the disk.
class DyingFileSystem final : public kesh::test::FaultyFileSystem {
public:
    explicit DyingFileSystem(int stopAt) : m_stopAt(stopAt) {}

    int createExclusive(const std::string& path) override {
        step();
        return FaultyFileSystem::createExclusive(path);
    }
    bool writeAll(int handle, const uint8_t* data, size_t size) override {
        // Die half-way through the bytes, as a kill during write() would.
        step([&] { FaultyFileSystem::writeAll(handle, data, size / 2); });
        return FaultyFileSystem::writeAll(handle, data, size);
    }
    bool sync(int handle) override { return step(), FaultyFileSystem::sync(handle); }
    bool close(int handle) override { return step(), FaultyFileSystem::close(handle); }
    bool rename(const std::string& from, const std::string& to) override {
        return step(), FaultyFileSystem::rename(from, to);
    }
    bool remove(const std::string& path) override { return step(), FaultyFileSystem::remove(path); }
    bool link(const std::string& existing, const std::string& newName) override {
        return step(), FaultyFileSystem::link(existing, newName);
    }

private:
    template <typename Before = void (*)()> void step(Before before = [] {}) {
        if (m_steps++ == m_stopAt) {
            before();
            ::_exit(0);
        }
    }
    int m_stopAt;
    int m_steps = 0;
};

constexpr int kSaved = 3; // the child's exit code when the save ran to its end

// Saves `files` in a child that dies at step `stopAt`; true when it died.
bool SaveAndDieAt(const std::vector<FileContents>& files, int stopAt) {
    pid_t child = ::fork();
    if (child == 0) {
        DyingFileSystem fs(stopAt);
        ::_exit(SaveFiles(fs, files) ? kSaved : 4);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    return WEXITSTATUS(status) == 0;
}

} // namespace

TEST(InterruptedSave, EveryTargetIsWholeOldOrWholeNewAndAFollowingSaveWorks) {
    kesh::test::TempDir dir;
    const std::string map = dir.file("town.map");
    const std::string kmf = dir.file("town.kmf");
    const std::vector<uint8_t> oldMap(3000, 0x11), oldKmf(12, 0x22);
    const std::vector<FileContents> next = {{map, std::vector<uint8_t>(5000, 0xAB)},
                                            {kmf, std::vector<uint8_t>(13, 0xCD)}};
    const std::regex leftover(R"(town\.(map|kmf)\.kesh-[0-9a-f]{8}\.tmp)");

    int stopAt = 0;
    for (; stopAt < 100; ++stopAt) {
        kesh::test::WriteBytes(map, oldMap);
        kesh::test::WriteBytes(kmf, oldKmf);
        if (!SaveAndDieAt(next, stopAt))
            break;
        // Never a cut file: each target holds its old or its new bytes entire.
        const auto nowMap = kesh::test::ReadBytes(map);
        const auto nowKmf = kesh::test::ReadBytes(kmf);
        EXPECT_TRUE(nowMap == oldMap || nowMap == next[0].bytes) << "step " << stopAt;
        EXPECT_TRUE(nowKmf == oldKmf || nowKmf == next[1].bytes) << "step " << stopAt;
        // The map is put in place first, so a new descriptor means a new map.
        if (nowKmf == next[1].bytes) {
            EXPECT_EQ(nowMap, next[0].bytes) << "step " << stopAt;
        }
        // Whatever else is there is one of our clearly named temporaries.
        for (const auto& name : dir.entries()) {
            if (name != "town.map" && name != "town.kmf") {
                EXPECT_TRUE(std::regex_match(name, leftover)) << name;
            }
        }

        // The leftovers do not stand in the way of the next save...
        ASSERT_TRUE(SaveFiles(FileSystem::Native(), next)) << "step " << stopAt;
        EXPECT_EQ(kesh::test::ReadBytes(map), next[0].bytes);
        EXPECT_EQ(kesh::test::ReadBytes(kmf), next[1].bytes);
        // ...and that save clears them away.
        EXPECT_EQ(dir.entries(), (std::vector<std::string>{"town.kmf", "town.map"}));
    }
    // The child got through a whole save at the end, after dying at every step before.
    EXPECT_GT(stopAt, 10);
    EXPECT_LT(stopAt, 100);
}
