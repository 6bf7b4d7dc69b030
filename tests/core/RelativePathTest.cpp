// A map opened by a relative path or through a symbolic link keeps an
// absolute path, so the next save goes back to that file without a dialog.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "app/MapProcedures.h"
#include "io/AbsolutePath.h"
#include "support/ScriptedUserServices.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"

using namespace kesh;
using kesh::test::ReadBytes;
using kesh::test::ScriptedUserServices;

namespace {

// Runs the test inside `<temp>/work`, and goes back to the old folder after.
struct RelativePathTest : ::testing::Test {
    kesh::test::TempDir dir;
    std::string real; // the temporary folder with its links resolved, as getcwd names it
    std::filesystem::path oldCwd = std::filesystem::current_path();
    Document doc;
    MapModel& map = doc.map();
    TileSet& tiles = doc.tiles();
    ScriptedUserServices user;

    MapProcedures procs() { return MapProcedures(doc, user, FileSystem::Native()); }

    void SetUp() override {
        real = std::filesystem::canonical(dir.path()).string();
        std::filesystem::create_directories(real + "/work");
        std::filesystem::create_directories(real + "/maps");
        std::filesystem::current_path(real + "/work");
        kesh::test::MakeTiles(tiles, 16, 16, 3);
        map.cells()[3] = 1;
    }
    void TearDown() override { std::filesystem::current_path(oldCwd); }

    // Writes a map at `path`, then opens it by `opened` and saves a change:
    // the change must land in `path` with no question asked.
    void OpenThenSave(const std::string& path, const std::string& opened,
                      const std::string& expectedPath) {
        user.saveFile(path);
        ASSERT_TRUE(procs().SaveMapAs());
        user.clearCalls();
        map = MapModel();
        ASSERT_TRUE(procs().OpenMapPath(opened)) << opened;
        EXPECT_EQ(doc.file().path, expectedPath) << opened;
        EXPECT_EQ(map.cells()[3], 1);

        map.cells()[3] = 2;
        doc.MarkChanged();
        ASSERT_TRUE(procs().SaveMap()) << opened;
        EXPECT_TRUE(user.calls().empty()) << opened; // no Save As dialog
        EXPECT_FALSE(doc.IsModified());
        EXPECT_EQ(ReadBytes(path).at(2 + 3), 2) << opened; // two size bytes, then a byte a cell
    }
};

} // namespace

TEST(AbsolutePath, KeepsTheUsersNamesAndDropsOnlyWhatIsSafe) {
    const std::string cwd = std::filesystem::current_path().string();
    const std::string parent = std::filesystem::current_path().parent_path().string();
    EXPECT_EQ(AbsolutePath("town.map"), cwd + "/town.map");
    EXPECT_EQ(AbsolutePath("./town.map"), cwd + "/town.map");
    EXPECT_EQ(AbsolutePath(".//a/./town.map"), cwd + "/a/town.map");
    EXPECT_EQ(AbsolutePath("../town.map"), parent + "/town.map");
    // A ".." after a folder the user named may climb out of a linked folder: kept.
    EXPECT_EQ(AbsolutePath("a/../town.map"), cwd + "/a/../town.map");
    EXPECT_EQ(AbsolutePath("/maps/town.map"), "/maps/town.map");
    EXPECT_EQ(AbsolutePath("/../maps//town.map"), "/maps/town.map");
    EXPECT_EQ(AbsolutePath(""), "");
}

TEST_F(RelativePathTest, AMapOpenedByABareNameSavesWithoutADialog) {
    OpenThenSave(real + "/work/town.map", "town.map", real + "/work/town.map");
}

TEST_F(RelativePathTest, AMapOpenedByDotSlashSavesWithoutADialog) {
    OpenThenSave(real + "/work/town.map", "./town.map", real + "/work/town.map");
}

TEST_F(RelativePathTest, AMapOpenedFromAnotherFolderSavesWithoutADialog) {
    OpenThenSave(real + "/maps/town.map", "../maps/town.map", real + "/maps/town.map");
}

TEST_F(RelativePathTest, AMapOpenedThroughALinkKeepsTheLinkAndSavesThroughIt) {
    std::filesystem::create_symlink(real + "/maps/town.map", real + "/work/link.map");
    std::filesystem::create_symlink(real + "/maps/town.kmf", real + "/work/link.kmf");
    OpenThenSave(real + "/maps/town.map", "link.map", real + "/work/link.map");
    EXPECT_TRUE(std::filesystem::is_symlink(real + "/work/link.map"));
}

TEST_F(RelativePathTest, SaveAsUnderARelativeNameKeepsTheAbsolutePath) {
    user.saveFile("new.map");
    ASSERT_TRUE(procs().SaveMapAs());
    EXPECT_EQ(doc.file().path, real + "/work/new.map");
    EXPECT_EQ(doc.file().name, "new.map");
    user.clearCalls();
    // Leaving the folder does not change where the map is saved.
    std::filesystem::current_path(real);
    doc.MarkChanged();
    ASSERT_TRUE(procs().SaveMap());
    EXPECT_TRUE(user.calls().empty());
    EXPECT_FALSE(std::filesystem::exists(real + "/new.map"));
}
