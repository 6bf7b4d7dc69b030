// "변경된 파일을 저장할까요?" answered Yes: when that save fails or its file
// dialog is cancelled, the procedure that asked stops and the map stays.
#include <functional>

#include <gtest/gtest.h>

#include "app/MapProcedures.h"
#include "base/Messages.h"
#include "support/FaultyFileSystem.h"
#include "support/ScriptedUserServices.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"

using namespace kesh;
using kesh::test::FaultyFileSystem;
using kesh::test::ScriptedUserServices;
using Lines = std::vector<std::string>;

namespace {

const std::string kAskSave = std::string("yesno: ") + msg::kAskSaveChanged;

struct SaveQuestionTest : ::testing::Test {
    kesh::test::TempDir dir;
    Document doc;
    MapModel& map = doc.map();
    TileSet& tiles = doc.tiles();
    ScriptedUserServices user;
    FaultyFileSystem faulty;

    MapProcedures procs(FileSystem& fs) { return MapProcedures(doc, user, fs); }

    void SetUp() override {
        kesh::test::MakeTiles(tiles, 16, 16, 3);
        map.cells()[0] = 1;
    }
    // A map saved as "old.map" and changed since, whose next save fails.
    void ChangedMapWhoseSaveFails() {
        user.saveFile(dir.file("old.map"));
        ASSERT_TRUE(procs(FileSystem::Native()).SaveMapAs());
        user.clearCalls();
        map.cells()[0] = 2;
        doc.MarkChanged();
        faulty.fault = FaultyFileSystem::Fault::Rename;
    }
    std::string SaveFailed() const {
        return "message: " + std::string(msg::kSaveFailed) + "\n" + dir.file("old.map");
    }
    void ExpectMapKept() {
        EXPECT_EQ(map.cells()[0], 2);
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(doc.file().path, dir.file("old.map"));
    }
};

} // namespace

TEST_F(SaveQuestionTest, NewStopsWhenTheSaveItOfferedFails) {
    ChangedMapWhoseSaveFails();
    user.yes();
    EXPECT_FALSE(procs(faulty).NewMap());
    EXPECT_EQ(user.transcript(), (Lines{kAskSave, SaveFailed()})); // no layout dialog
    ExpectMapKept();
}

TEST_F(SaveQuestionTest, NewStopsWhenTheLastChanceSaveFails) {
    ChangedMapWhoseSaveFails();
    user.no().acceptMap().yes();
    EXPECT_FALSE(procs(faulty).NewMap());
    EXPECT_EQ(user.transcript(), (Lines{kAskSave, "map format", kAskSave, SaveFailed()}));
    ExpectMapKept();
}

TEST_F(SaveQuestionTest, NewStopsWhenTheSaveDialogIsCancelled) {
    doc.MarkChanged(); // untitled: Yes asks for a name
    user.yes().cancelSave();
    EXPECT_FALSE(procs(FileSystem::Native()).NewMap());
    EXPECT_EQ(user.transcript(), (Lines{kAskSave, "save: *.map"}));
    EXPECT_EQ(map.cells()[0], 1);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(SaveQuestionTest, OpenStopsWhenTheSaveItOfferedFails) {
    ChangedMapWhoseSaveFails();
    user.yes();
    EXPECT_FALSE(procs(faulty).OpenMap());
    EXPECT_EQ(user.transcript(), (Lines{kAskSave, SaveFailed()})); // no open dialog
    ExpectMapKept();
}

TEST_F(SaveQuestionTest, OpenStopsWhenTheSaveDialogIsCancelled) {
    doc.MarkChanged();
    user.yes().cancelSave();
    EXPECT_FALSE(procs(FileSystem::Native()).OpenMap());
    EXPECT_EQ(user.transcript(), (Lines{kAskSave, "save: *.map"}));
    EXPECT_EQ(map.cells()[0], 1);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(SaveQuestionTest, ASuccessfulSaveLetsTheOpenGoOn) {
    ChangedMapWhoseSaveFails();
    faulty.fault = FaultyFileSystem::Fault::None;
    user.yes().cancelOpen();
    EXPECT_FALSE(procs(faulty).OpenMap());
    EXPECT_EQ(user.transcript(), (Lines{kAskSave, "open: *.map"}));
    EXPECT_FALSE(doc.IsModified());
}

// Escape (Cancel) at the question stops whichever procedure asked, at its
// first question or New's last chance, and the question names the map.
TEST_F(SaveQuestionTest, CancelStopsTheProcedureAndKeepsTheMap) {
    struct Case {
        const char* name;
        std::function<void(ScriptedUserServices&)> script;
        std::function<bool(MapProcedures&)> run;
        Lines transcript;
    };
    const Case cases[] = {
        {"new",
         [](auto& u) { u.cancelQuestion(); },
         [](auto& p) { return p.NewMap(); },
         {kAskSave}},
        {"new, last chance",
         [](auto& u) { u.no().acceptMap().cancelQuestion(); },
         [](auto& p) { return p.NewMap(); },
         {kAskSave, "map format", kAskSave}},
        {"open",
         [](auto& u) { u.cancelQuestion(); },
         [](auto& p) { return p.OpenMap(); },
         {kAskSave}},
        {"close",
         [](auto& u) { u.cancelQuestion(); },
         [](auto& p) { return p.AskSaveChanges(); },
         {kAskSave}},
    };
    ChangedMapWhoseSaveFails();
    faulty.fault = FaultyFileSystem::Fault::None;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        user.clearCalls();
        c.script(user);
        MapProcedures p = procs(faulty);
        EXPECT_FALSE(c.run(p));
        EXPECT_EQ(user.transcript(), c.transcript);
        EXPECT_EQ(user.calls().front().detail, "old.map");
        ExpectMapKept();
    }
    EXPECT_TRUE(user.allUsed());
}

TEST_F(SaveQuestionTest, AnUntitledMapIsNamedAsTheCaptionNamesIt) {
    doc.MarkChanged();
    user.cancelQuestion();
    EXPECT_FALSE(procs(FileSystem::Native()).AskSaveChanges());
    EXPECT_EQ(user.calls().at(0).detail, msg::kUntitled);
}
