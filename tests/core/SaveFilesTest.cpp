#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/Messages.h"
#include "io/FileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

using namespace kesh;
using kesh::test::FaultyFileSystem;
using Fault = FaultyFileSystem::Fault;

namespace {

struct SaveFixture : ::testing::Test {
    kesh::test::TempDir dir;
    std::string map = dir.file("town.map");
    std::string kmf = dir.file("town.kmf");
    std::vector<uint8_t> oldMap{1, 2, 3};
    std::vector<uint8_t> oldKmf{9, 9};
    std::vector<FileContents> next() const {
        return {{map, std::vector<uint8_t>(100, 0xAB)}, {kmf, std::vector<uint8_t>(13, 0xCD)}};
    }
    void writeOld() {
        kesh::test::WriteBytes(map, oldMap);
        kesh::test::WriteBytes(kmf, oldKmf);
    }
    void expectOldUntouched() {
        EXPECT_EQ(kesh::test::ReadBytes(map), oldMap);
        EXPECT_EQ(kesh::test::ReadBytes(kmf), oldKmf);
        EXPECT_EQ(dir.entries(), (std::vector<std::string>{"town.kmf", "town.map"}));
    }
};

} // namespace

TEST_F(SaveFixture, WritesEveryFileAndLeavesNoTemporaries) {
    writeOld();
    ASSERT_TRUE(SaveFiles(FileSystem::Native(), next()));
    EXPECT_EQ(kesh::test::ReadBytes(map), std::vector<uint8_t>(100, 0xAB));
    EXPECT_EQ(kesh::test::ReadBytes(kmf), std::vector<uint8_t>(13, 0xCD));
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"town.kmf", "town.map"}));
}

TEST_F(SaveFixture, AWriteThatStopsAtAnyByteLeavesTheOldFiles) {
    writeOld();
    for (int64_t n = 0; n < 113; ++n) {
        FaultyFileSystem fs;
        fs.fault = Fault::Write;
        fs.writeBudget = n;
        Status st = SaveFiles(fs, next());
        ASSERT_FALSE(st) << "budget " << n;
        EXPECT_EQ(st.message().rfind(msg::kSaveFailed, 0), 0u);
        expectOldUntouched();
    }
}

TEST_F(SaveFixture, EveryFailingStepLeavesTheOldFilesAndSaysWhere) {
    writeOld();
    struct Case {
        Fault fault;
        int succeedFirst;
        std::string blamed;
    };
    const Case cases[] = {
        {Fault::Create, 0, map}, {Fault::Create, 1, kmf}, {Fault::Sync, 0, map},
        {Fault::Close, 0, map},  {Fault::Rename, 0, map}, {Fault::Rename, 1, kmf},
        {Fault::Link, 0, map},   {Fault::Link, 1, kmf},
    };
    for (const auto& c : cases) {
        FaultyFileSystem fs;
        fs.fault = c.fault;
        fs.succeedFirst = c.succeedFirst;
        Status st = SaveFiles(fs, next());
        ASSERT_FALSE(st);
        EXPECT_EQ(st.message(), std::string(msg::kSaveFailed) + "\n" + c.blamed);
        expectOldUntouched();
    }
}

TEST_F(SaveFixture, AFailedFirstSaveCreatesNothing) {
    FaultyFileSystem fs;
    fs.fault = Fault::Rename;
    fs.succeedFirst = 1; // the .map lands, the .kmf does not: the .map must go again
    EXPECT_FALSE(SaveFiles(fs, next()));
    EXPECT_TRUE(dir.entries().empty());
}

TEST(SaveFiles, AMissingFolderFailsWithThePath) {
    Status st = SaveFiles(FileSystem::Native(), {{"/nonexistent-kesh-dir/a.map", {1}}});
    ASSERT_FALSE(st);
    EXPECT_EQ(st.message(), std::string(msg::kSaveFailed) +
                                "\n/nonexistent-kesh-dir/a.map\n파일이나 폴더가 없습니다.");
}

// Read-only files (say, ones a version control checkout has locked) are not
// replaced, not even by root, and the save fails before anything is written.
TEST_F(SaveFixture, AReadOnlyTargetIsRefusedBeforeAnythingIsWritten) {
    namespace fs = std::filesystem;
    writeOld();
    fs::permissions(kmf, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    Status st = SaveFiles(FileSystem::Native(), next());
    ASSERT_FALSE(st);
    EXPECT_EQ(st.message(), std::string(msg::kSaveFailed) + "\n" + kmf + "\n" + msg::kReadOnlyFile);
    expectOldUntouched();

    // A file that merely is not there yet, or is writable again, saves as usual.
    fs::permissions(kmf, fs::perms::owner_write, fs::perm_options::add);
    fs::remove(map);
    EXPECT_TRUE(SaveFiles(FileSystem::Native(), next()));
    EXPECT_EQ(kesh::test::ReadBytes(kmf), std::vector<uint8_t>(13, 0xCD));
}

// A target that is a symbolic link (an asset linked into a game's folder)
// stays a link: the file it leads to gets the new contents.
TEST_F(SaveFixture, ASymbolicLinkKeepsLeadingToTheSavedFile) {
    namespace fs = std::filesystem;
    const std::string shared = dir.file("shared");
    fs::create_directory(shared);
    kesh::test::WriteBytes(shared + "/town.map", oldMap);
    fs::create_symlink(shared + "/town.map", map);
    ASSERT_TRUE(SaveFiles(FileSystem::Native(), next()));
    EXPECT_TRUE(fs::is_symlink(map));
    EXPECT_EQ(kesh::test::ReadBytes(shared + "/town.map"), std::vector<uint8_t>(100, 0xAB));
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"shared", "town.kmf", "town.map"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(shared), fs::directory_iterator()), 1);

    // A failed save leaves the linked file as it was.
    FaultyFileSystem failing;
    failing.fault = Fault::Rename;
    failing.succeedFirst = 1;
    EXPECT_FALSE(SaveFiles(failing, {{map, {7}}, {kmf, {8}}}));
    EXPECT_TRUE(fs::is_symlink(map));
    EXPECT_EQ(kesh::test::ReadBytes(shared + "/town.map"), std::vector<uint8_t>(100, 0xAB));
}

TEST_F(SaveFixture, AReplacedFileKeepsItsPermissions) {
    namespace fs = std::filesystem;
    writeOld();
    const auto privateMode = fs::perms::owner_read | fs::perms::owner_write;
    const auto sharedMode = privateMode | fs::perms::group_read | fs::perms::group_write;
    fs::permissions(map, privateMode);
    fs::permissions(kmf, sharedMode);
    ASSERT_TRUE(SaveFiles(FileSystem::Native(), next()));
    EXPECT_EQ(fs::status(map).permissions(), privateMode);
    EXPECT_EQ(fs::status(kmf).permissions(), sharedMode);
}

// What a killed save left beside its target goes with the next save of that
// target; anything else, even with a similar name, stays.
TEST_F(SaveFixture, ASuccessfulSaveClearsOnlyItsOwnLeftovers) {
    writeOld();
    const std::vector<std::string> others = {
        "other.map.kesh-0123abcd.tmp", "town.map.kesh-0123abc.tmp", "town.map.kesh-0123abcg.tmp",
        "town.map.kesh-0123abcd.tmp.bak", "town.mapx.kesh-0123abcd.tmp"};
    for (const auto& name : others)
        kesh::test::WriteBytes(dir.file(name), {1});
    kesh::test::WriteBytes(dir.file("town.map.kesh-0123abcd.tmp"), {2});
    kesh::test::WriteBytes(dir.file("town.kmf.kesh-ffffffff.tmp"), {3});

    FaultyFileSystem failing;
    failing.fault = Fault::Rename;
    ASSERT_FALSE(SaveFiles(failing, next()));
    EXPECT_EQ(dir.entries().size(), others.size() + 4); // a failed save clears nothing

    ASSERT_TRUE(SaveFiles(FileSystem::Native(), next()));
    auto expected = others;
    expected.insert(expected.end(), {"town.kmf", "town.map"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dir.entries(), expected);
}
