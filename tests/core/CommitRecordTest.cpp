#include <gtest/gtest.h>

#include <filesystem>

#include "base/Messages.h"
#include "io/AbsolutePath.h"
#include "io/CommitRecord.h"
#include "io/SaveRecovery.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

using namespace kesh;
using kesh::test::FaultyFileSystem;
using kesh::test::ReadBytes;
using kesh::test::WriteBytes;
using Bytes = std::vector<uint8_t>;
using Names = std::vector<std::string>;

namespace {

std::vector<CommitEntry> Entries(const std::string& folder) {
    return {{folder + "/a map.map.kesh-0123abcd.tmp", folder + "/a map.map.kesh-89abcdef.tmp",
             folder + "/a map.map"},
            {"/elsewhere/b\nc.kmf.kesh-00000000.tmp", "", "/elsewhere/b\nc.kmf"}};
}

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

} // namespace

TEST(CommitRecord, ReadsBackWhatItWroteWithNamesInItsFolderBare) {
    const auto bytes = CommitRecord::Encode("/maps", Entries("/maps"));
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.rfind("kesh commit record 1\nfiles 2\ntemp 27:a map.map.kesh-0123abcd.tmp\n", 0),
              0u);
    EXPECT_EQ(CommitRecord::Decode(bytes, "/maps"), Entries("/maps"));
    // Found through another spelling of its folder, the bare names follow it.
    const auto moved = CommitRecord::Decode(bytes, "/mnt/maps");
    ASSERT_TRUE(moved);
    EXPECT_EQ((*moved)[0].target, "/mnt/maps/a map.map");
    EXPECT_EQ((*moved)[1].target, "/elsewhere/b\nc.kmf");
}

TEST(CommitRecord, ADamagedRecordIsRefusedWhole) {
    const auto good = CommitRecord::Encode("/maps", Entries("/maps"));
    // Cut anywhere, or with anything after its end.
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(CommitRecord::Decode(std::span(good.data(), n), "/maps")) << n;
    Bytes longer = good;
    longer.push_back('x');
    EXPECT_FALSE(CommitRecord::Decode(longer, "/maps"));
    // Every byte changed in turn never crashes, and never names a file that
    // is not a temporary of its target.
    for (size_t i = 0; i < good.size(); ++i) {
        Bytes bad = good;
        bad[i] ^= 0x5a;
        if (const auto entries = CommitRecord::Decode(bad, "/maps")) {
            for (const auto& e : *entries) {
                EXPECT_EQ(e.temp.rfind(e.target + ".kesh-", 0), 0u);
            }
        }
    }
    const std::vector<std::string> wrong = {
        "kesh commit record 2\nfiles 1\ntemp 5:x.tmp\nbackup 0:\ntarget 1:x\nend\n",
        "kesh commit record 1\nfiles 0\nend\n",
        "kesh commit record 1\nfiles 65\n",
        "kesh commit record 1\nfiles 1\ntemp 99999999999:x\n",
        // A temporary that is not named after its target: it could be any file.
        "kesh commit record 1\nfiles 1\ntemp 6:passwd\nbackup 0:\ntarget 5:a.map\nend\n",
        // Names that climb out of the folder.
        "kesh commit record 1\nfiles 1\ntemp 23:../a.kesh-01234567.tmp\nbackup 0:\ntarget "
        "4:../a\nend\n",
        "kesh commit record 1\nfiles 1\ntemp 2:..\nbackup 0:\ntarget 2:..\nend\n",
    };
    for (const auto& text : wrong)
        EXPECT_FALSE(CommitRecord::Decode(Text(text), "/maps")) << text;
}

// A backup is only ever a second name of its own target: a record naming any
// other file there would have a recovery move that file onto the target, or
// remove it.
TEST(CommitRecord, ABackupThatIsNotATemporaryOfItsTargetIsRefused) {
    auto record = [](const std::string& backup) {
        return Text("kesh commit record 1\nfiles 1\ntemp 23:a.map.kesh-01234567.tmp\nbackup " +
                    std::to_string(backup.size()) + ":" + backup + "\ntarget 5:a.map\nend\n");
    };
    for (const std::string backup : {
             "passwd",                             // any file in the folder
             "/etc/passwd",                        // any file anywhere
             "b.map.kesh-89abcdef.tmp",            // another target's temporary
             "/elsewhere/a.map.kesh-89abcdef.tmp", // a temporary of another a.map
             "a.map.kesh-89abcdef.commit",         // a record
             "a.map.kesh-89ABCDEF.tmp",            // not a name a save makes
             "a.map",                              // the target itself
         })
        EXPECT_FALSE(CommitRecord::Decode(record(backup), "/maps")) << backup;
    EXPECT_TRUE(CommitRecord::Decode(record("a.map.kesh-89abcdef.tmp"), "/maps"));
}

TEST(CommitRecord, OnlyItsOwnNamesCountAsRecords) {
    EXPECT_EQ(CommitRecord::StateOfName("w.map.kesh-0123abcd.commit"), CommitRecord::State::Commit);
    EXPECT_EQ(CommitRecord::StateOfName("w.map.kesh-0123abcd.abort"), CommitRecord::State::Abort);
    for (const char* name : {".kesh-0123abcd.commit", "w.map.kesh-0123abcd.tmp",
                             "w.map.kesh-0123ABCD.commit", "w.map.kesh-0123abc.commit", "w.commit"})
        EXPECT_FALSE(CommitRecord::StateOfName(name)) << name;
}

namespace {

struct SaveRecoveryTest : ::testing::Test {
    kesh::test::TempDir dir;
    std::string map = dir.file("town.map"), kmf = dir.file("town.kmf");
    const Bytes oldMap = Bytes(10, 1), oldKmf = Bytes(4, 2), newMap = Bytes(20, 3),
                newKmf = Bytes(5, 4);

    // What a save killed after renaming the map (and before the .kmf) leaves.
    std::string KilledBetweenTheRenames() {
        WriteBytes(map + ".kesh-11111111.tmp", oldMap); // the old map's second name
        WriteBytes(map, newMap);
        WriteBytes(kmf, oldKmf);
        std::filesystem::copy_file(kmf, kmf + ".kesh-22222222.tmp"); // the old .kmf's
        WriteBytes(kmf + ".kesh-33333333.tmp", newKmf);              // the new .kmf
        const std::vector<CommitEntry> entries = {
            {map + ".kesh-44444444.tmp", map + ".kesh-11111111.tmp", map},
            {kmf + ".kesh-33333333.tmp", kmf + ".kesh-22222222.tmp", kmf}};
        const std::string record = map + ".kesh-55555555.commit";
        WriteBytes(record, CommitRecord::Encode(dir.path(), entries));
        return record;
    }
};

} // namespace

TEST_F(SaveRecoveryTest, ARecordIsFinishedAndAnAbortedOneUndone) {
    KilledBetweenTheRenames();
    ASSERT_TRUE(FinishInterruptedSaves(FileSystem::Native(), {kmf}));
    EXPECT_EQ(ReadBytes(map), newMap);
    EXPECT_EQ(ReadBytes(kmf), newKmf);
    EXPECT_EQ(dir.entries(), (Names{"town.kmf", "town.map"}));

    const std::string record = KilledBetweenTheRenames();
    std::filesystem::rename(record, map + ".kesh-55555555.abort");
    ASSERT_TRUE(FinishInterruptedSaves(FileSystem::Native(), {map}));
    EXPECT_EQ(ReadBytes(map), oldMap);
    EXPECT_EQ(ReadBytes(kmf), oldKmf);
    EXPECT_EQ(dir.entries(), (Names{"town.kmf", "town.map"}));
}

// The same, from the disk's side: an aborted record that names an unrelated
// file as the backup leaves that file and the target alone.
TEST_F(SaveRecoveryTest, ARecordNamingAnotherFileAsBackupMovesNothing) {
    const std::string notes = dir.file("notes.txt");
    WriteBytes(notes, oldKmf);
    WriteBytes(map, newMap);
    const std::string record = map + ".kesh-55555555.abort";
    WriteBytes(record,
               CommitRecord::Encode(dir.path(), {{map + ".kesh-44444444.tmp", notes, map}}));
    const auto before = dir.entries();
    EXPECT_TRUE(FinishInterruptedSaves(FileSystem::Native(), {map}));
    EXPECT_EQ(dir.entries(), before);
    EXPECT_EQ(ReadBytes(notes), oldKmf);
    EXPECT_EQ(ReadBytes(map), newMap);
}

// A save of a file that had no old version, undone after the new file was put
// in place: the new file goes, and the pair is as it was before the save.
TEST_F(SaveRecoveryTest, AnUndoneSaveRemovesANewFileThatHadNoOldOne) {
    WriteBytes(map + ".kesh-11111111.tmp", oldMap); // the old map's second name
    WriteBytes(map, newMap);
    WriteBytes(kmf, newKmf); // placed; there was no .kmf before
    const std::vector<CommitEntry> entries = {
        {map + ".kesh-44444444.tmp", map + ".kesh-11111111.tmp", map},
        {kmf + ".kesh-33333333.tmp", "", kmf}};
    WriteBytes(map + ".kesh-55555555.abort", CommitRecord::Encode(dir.path(), entries));
    ASSERT_TRUE(FinishInterruptedSaves(FileSystem::Native(), {kmf}));
    EXPECT_EQ(ReadBytes(map), oldMap);
    EXPECT_EQ(dir.entries(), (Names{"town.map"}));
}

TEST_F(SaveRecoveryTest, ARecordASaveStillHoldsIsLeftToIt) {
    const std::string record = KilledBetweenTheRenames();
    const auto before = dir.entries();
    FileSystem& fs = FileSystem::Native();
    const int held = fs.lockFile(record); // as the saving process holds it
    ASSERT_GE(held, 0);
    EXPECT_TRUE(FinishInterruptedSaves(fs, {map, kmf}));
    EXPECT_EQ(dir.entries(), before);
    EXPECT_EQ(ReadBytes(kmf), oldKmf);
    fs.close(held); // the save died
    EXPECT_TRUE(FinishInterruptedSaves(fs, {map, kmf}));
    EXPECT_EQ(ReadBytes(kmf), newKmf);
    EXPECT_EQ(dir.entries(), (Names{"town.kmf", "town.map"}));
}

TEST_F(SaveRecoveryTest, ARecordOfOtherFilesIsLeftToThem) {
    KilledBetweenTheRenames();
    const auto before = dir.entries();
    WriteBytes(dir.file("other.map"), oldMap);
    ASSERT_TRUE(FinishInterruptedSaves(FileSystem::Native(), {dir.file("other.map")}));
    ASSERT_TRUE(SaveFiles(FileSystem::Native(), {{dir.file("other.map"), newMap}}));
    auto after = dir.entries();
    after.erase(std::find(after.begin(), after.end(), "other.map"));
    EXPECT_EQ(after, before);
}

TEST_F(SaveRecoveryTest, ARecordThatCannotBeCarriedOutStopsTheSaveAndStays) {
    const std::string record = KilledBetweenTheRenames();
    FaultyFileSystem faulty;
    faulty.fault = FaultyFileSystem::Fault::Rename;
    const Status st = SaveFiles(faulty, {{map, Bytes(7, 9)}, {kmf, Bytes(7, 9)}});
    ASSERT_FALSE(st);
    EXPECT_EQ(st.message(),
              std::string(msg::kSaveFailed) + "\n" + map + "\n" + msg::kUnfinishedSave);
    EXPECT_TRUE(std::filesystem::exists(record));
    // The next attempt, on a sound disk, finishes it and saves.
    ASSERT_TRUE(SaveFiles(FileSystem::Native(), {{map, Bytes(7, 9)}, {kmf, Bytes(7, 9)}}));
    EXPECT_EQ(dir.entries(), (Names{"town.kmf", "town.map"}));
}

TEST_F(SaveRecoveryTest, ADamagedRecordLeavesEveryFileWhereItIs) {
    KilledBetweenTheRenames();
    const std::string garbage = dir.file("town.map.kesh-66666666.commit");
    WriteBytes(garbage, Text("kesh commit record 1\nfiles 2\ntemp 9999:"));
    std::filesystem::remove(map + ".kesh-55555555.commit");
    const auto before = dir.entries();
    EXPECT_TRUE(FinishInterruptedSaves(FileSystem::Native(), {map, kmf}));
    EXPECT_EQ(dir.entries(), before);
    // A save still works, and clears no leftover a record might still need.
    ASSERT_TRUE(SaveFiles(FileSystem::Native(), {{map, newMap}, {kmf, newKmf}}));
    EXPECT_EQ(dir.entries(), before);
    EXPECT_EQ(ReadBytes(map), newMap);
    EXPECT_TRUE(std::filesystem::exists(garbage));
}

TEST_F(SaveRecoveryTest, AFailingFolderFlushFailsTheSaveWithTheOldFilesBack) {
    WriteBytes(map, oldMap);
    WriteBytes(kmf, oldKmf);
    for (int first : {0, 1}) {
        FaultyFileSystem faulty;
        faulty.fault = FaultyFileSystem::Fault::SyncFolder;
        faulty.succeedFirst = first; // the record's folder, then the renamed files'
        EXPECT_FALSE(SaveFiles(faulty, {{map, newMap}, {kmf, newKmf}}));
        EXPECT_EQ(ReadBytes(map), oldMap);
        EXPECT_EQ(ReadBytes(kmf), oldKmf);
        EXPECT_EQ(dir.entries(), (Names{"town.kmf", "town.map"}));
    }
}
