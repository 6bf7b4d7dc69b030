#include <gtest/gtest.h>

#include <filesystem>

#include "app/MapProcedures.h"
#include "base/Messages.h"
#include "support/ScriptedUserServices.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"

using namespace kesh;
using kesh::test::ScriptedUserServices;
using Lines = std::vector<std::string>;

namespace {

struct MapOpenPathTest : ::testing::Test {
    kesh::test::TempDir dir;
    Document doc;
    MapModel& map = doc.map();
    TileSet& tiles = doc.tiles();
    ScriptedUserServices user;
    Lines titles;

    MapProcedures procs() {
        return MapProcedures(doc, user, FileSystem::Native(),
                             [this](const std::string& t) { titles.push_back(t); });
    }

    void SetUp() override {
        kesh::test::MakeTiles(tiles, 16, 16, 3);
        map.cells()[5] = 2;
        user.saveFile(dir.file("road.map"));
        ASSERT_TRUE(procs().SaveMapAs());
        user.clearCalls();
        titles.clear();
        map.cells()[5] = kEmptyCell;
    }
};

} // namespace

TEST_F(MapOpenPathTest, ReadsTheNamedFileWithoutAFileDialogOrSaveQuestion) {
    doc.MarkChanged(); // the caller decides about unsaved changes
    ASSERT_TRUE(procs().OpenMapPath(dir.file("road.map")));
    EXPECT_TRUE(user.calls().empty());
    EXPECT_EQ(map.cells()[5], 2);
    EXPECT_EQ(doc.file().path, dir.file("road.map"));
    EXPECT_EQ(titles, Lines{"road.map"});
}

TEST_F(MapOpenPathTest, AMissingFileIsReportedBeforeAnyLayoutQuestion) {
    const auto before = map.cells();
    EXPECT_FALSE(procs().OpenMapPath(dir.file("nowhere.map")));
    EXPECT_EQ(user.transcript(),
              Lines{"message: " + std::string(msg::kOpenFailed) + "\n" + dir.file("nowhere.map")});
    EXPECT_EQ(map.cells(), before);
    EXPECT_TRUE(titles.empty());
}

TEST_F(MapOpenPathTest, WithoutItsKmfTheSameQuestionAsTheMenuOpen) {
    std::filesystem::remove(dir.file("road.kmf"));
    user.no();
    EXPECT_FALSE(procs().OpenMapPath(dir.file("road.map")));
    EXPECT_EQ(user.transcript(), Lines{std::string("yesno: ") + msg::kAskKmfMissing});
}

TEST_F(MapOpenPathTest, TheMenuOpenAsksChoosesThenReadsTheSameWay) {
    doc.MarkChanged();
    user.no().openFile(dir.file("road.map"));
    ASSERT_TRUE(procs().OpenMap());
    EXPECT_EQ(user.transcript(),
              (Lines{std::string("yesno: ") + msg::kAskSaveChanged, "open: *.map"}));
    EXPECT_EQ(map.cells()[5], 2);
}

TEST_F(MapOpenPathTest, AskSaveChangesSaysWhetherTheMapMayGo) {
    EXPECT_TRUE(procs().AskSaveChanges()); // unchanged: nothing asked
    doc.MarkChanged();
    user.no();
    EXPECT_TRUE(procs().AskSaveChanges());
    user.yes();
    EXPECT_TRUE(procs().AskSaveChanges()); // saved under its name
    EXPECT_FALSE(doc.IsModified());
    doc.MarkChanged();
    doc.SetFile({doc.file().name, doc.file().name}); // no file yet: a name is asked for
    user.yes().cancelSave();
    EXPECT_FALSE(procs().AskSaveChanges());
    EXPECT_TRUE(doc.IsModified());
}
