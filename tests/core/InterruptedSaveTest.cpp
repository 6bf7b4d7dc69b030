// A save cut short by the process dying (a crash, a kill, a power cut seen from
// the files' side): after every single step of a save, a child process that is
// saving is ended on the spot, and what it left on disk is checked.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "io/FileSystem.h"
#include "io/SaveRecovery.h"
#include "support/DyingFileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

using namespace kesh;
using kesh::test::DyingFileSystem;
using kesh::test::FaultyFileSystem;

namespace {

constexpr int kSaved = 3; // the child's exit code when the save ran to its end

// Saves `files` in a child that dies at step `stopAt`; true when it died.
// With `fault`, that step of the save fails on the way (its first rename
// after `succeedFirst` ones, say), so the deaths also cut the undoing short.
bool SaveAndDieAt(const std::vector<FileContents>& files, int stopAt,
                  FaultyFileSystem::Fault fault = FaultyFileSystem::Fault::None,
                  int succeedFirst = 0) {
    pid_t child = ::fork();
    if (child == 0) {
        DyingFileSystem fs(stopAt);
        fs.fault = fault;
        fs.succeedFirst = succeedFirst;
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
    const std::regex leftover(R"(town\.(map|kmf)\.kesh-[0-9a-f]{8}\.(tmp|commit|abort))");

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

namespace {

// One save of a pair, cut short at every step in turn, then the pair opened
// again (which finishes or undoes what the record left): both old or both new.
struct PairDeaths {
    kesh::test::TempDir dir;
    std::string map = dir.file("town.map"), kmf = dir.file("town.kmf");
    std::vector<uint8_t> oldMap = std::vector<uint8_t>(3000, 0x11),
                         oldKmf = std::vector<uint8_t>(12, 0x22);
    std::vector<FileContents> next = {{map, std::vector<uint8_t>(5000, 0xAB)},
                                      {kmf, std::vector<uint8_t>(13, 0xCD)}};
    bool kmfExisted = true; // false: the save makes the .kmf for the first time
    int oldSeen = 0, newSeen = 0, abortedSeen = 0;

    // Returns the number of steps it took the save to finish.
    int Run(FaultyFileSystem::Fault fault, int succeedFirst) {
        int stopAt = 0;
        for (; stopAt < 200; ++stopAt) {
            kesh::test::WriteBytes(map, oldMap);
            if (kmfExisted)
                kesh::test::WriteBytes(kmf, oldKmf);
            else
                std::filesystem::remove(kmf);
            if (!SaveAndDieAt(next, stopAt, fault, succeedFirst))
                break;
            const auto left = dir.entries();
            const bool aborted = std::any_of(left.begin(), left.end(), [](const std::string& n) {
                return n.ends_with(".abort");
            });
            EXPECT_TRUE(FinishInterruptedSaves(FileSystem::Native(), {map, kmf}));
            const auto nowMap = kesh::test::ReadBytes(map);
            const auto nowKmf = kesh::test::ReadBytes(kmf);
            const bool allOld =
                nowMap == oldMap && (kmfExisted ? nowKmf == oldKmf : !std::filesystem::exists(kmf));
            const bool allNew = nowMap == next[0].bytes && nowKmf == next[1].bytes;
            EXPECT_TRUE(allOld || allNew) << "step " << stopAt;
            oldSeen += allOld;
            newSeen += allNew;
            // A save that died while undoing itself is undone.
            abortedSeen += aborted;
            EXPECT_TRUE(allOld || !aborted) << "step " << stopAt;
            // Nothing of the record is left to the next save but plain temporaries.
            for (const auto& name : dir.entries()) {
                EXPECT_EQ(name.find(".commit"), std::string::npos) << "step " << stopAt;
                EXPECT_EQ(name.find(".abort"), std::string::npos) << "step " << stopAt;
            }

            EXPECT_TRUE(SaveFiles(FileSystem::Native(), next)) << "step " << stopAt;
            EXPECT_EQ(dir.entries(), (std::vector<std::string>{"town.kmf", "town.map"}))
                << "step " << stopAt;
        }
        return stopAt;
    }
};

} // namespace

TEST(InterruptedSave, AfterADeathAtAnyStepTheReopenedPairIsAllOldOrAllNew) {
    PairDeaths deaths;
    const int steps = deaths.Run(FaultyFileSystem::Fault::None, 0);
    EXPECT_GT(steps, 15);
    EXPECT_LT(steps, 200);
    // Deaths before the record stand leave the old pair; those after, the new one.
    EXPECT_GT(deaths.oldSeen, 0);
    EXPECT_GT(deaths.newSeen, 0);
}

TEST(InterruptedSave, ADeathWhileAFailedSaveIsUndoneStillLeavesAWholePair) {
    // The second rename fails and the save starts putting the old map back:
    // a death from there on must leave the old pair (one before it, either).
    PairDeaths deaths;
    const int steps = deaths.Run(FaultyFileSystem::Fault::Rename, 1);
    EXPECT_LT(steps, 200);
    EXPECT_GT(deaths.abortedSeen, 2);
    // The flush of the folder after the renames fails: the same.
    PairDeaths flush;
    EXPECT_LT(flush.Run(FaultyFileSystem::Fault::SyncFolder, 1), 200);
    EXPECT_GT(flush.abortedSeen, 2);
}

TEST(InterruptedSave, ASecondFileThatWasNotThereBeforeIsLeftOnlyWithTheNewPair) {
    // Cut short as it runs, while it fails at a rename, and while it fails
    // at the flush after both new files were in place (the undoing then has
    // a placed new .kmf to take away).
    const struct {
        FaultyFileSystem::Fault fault;
        int succeedFirst;
    } runs[] = {{FaultyFileSystem::Fault::None, 0},
                {FaultyFileSystem::Fault::Rename, 1},
                {FaultyFileSystem::Fault::SyncFolder, 1}};
    for (const auto& run : runs) {
        SCOPED_TRACE(static_cast<int>(run.fault));
        PairDeaths deaths;
        deaths.kmfExisted = false;
        EXPECT_LT(deaths.Run(run.fault, run.succeedFirst), 200);
        EXPECT_GT(deaths.oldSeen, 0);
        if (run.fault == FaultyFileSystem::Fault::SyncFolder) {
            EXPECT_GT(deaths.abortedSeen, 2);
        }
    }
}
