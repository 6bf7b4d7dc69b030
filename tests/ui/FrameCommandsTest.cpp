#include <functional>

#include <QAction>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QStatusBar>
#include <QTest>

#include "FrameTestSupport.h"
#include "InstalledUserServices.h"
#include "base/Messages.h"
#include "mapview/CKeshView.h"
#include "shell/CKeshDoc.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/FrameCommands.h"
#include "shell/StatusNotice.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"
#include "tileview/CTile1View.h"
#include "tileview/CTileInfoBar.h"
#include "widgets/CSplitterWnd.h"

using namespace kesh::ui;
using kesh::test::TileSetState;
using Lines = std::vector<std::string>;

namespace {

// Little-endian 32-bit value at `offset` of a file (a BMP's width is at 18).
int32_t ReadInt32(const std::string& path, int offset) {
    const std::vector<uint8_t> bytes = kesh::test::ReadBytes(path);
    if (bytes.size() < size_t(offset) + 4) {
        return -1;
    }
    return int32_t(bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
                   uint32_t(bytes[offset + 3]) << 24);
}

struct MapState {
    kesh::MapFormat format;
    std::vector<uint16_t> cells;
    int modified;
    explicit MapState(const kesh::Document& d)
        : format(d.map().format()), cells(d.map().cells()), modified(d.IsModified()) {}
    bool operator==(const MapState&) const = default;
};

} // namespace

class FrameCommandsTest : public QObject {
    Q_OBJECT

    InstalledUserServices* user = nullptr;
    CMainFrame* frame = nullptr;
    kesh::test::TempDir* dir = nullptr;

    kesh::Document& doc() { return frame->document()->data(); }
    kesh::MapModel& map() { return doc().map(); }
    kesh::MapViewState& state() { return frame->mapView()->viewState(); }
    kesh::TileSet& tiles() { return doc().tiles(); }
    void run(int id) { frame->action(id)->trigger(); }
    Lines transcript() const { return user->transcript(); }

private slots:
    void initTestCase() { IsolateSettings(); }

    void init() {
        user = new InstalledUserServices;
        dir = new kesh::test::TempDir;
        frame = new CMainFrame;
        frame->resize(900, 600);
        QVERIFY(ShowActive(*frame));
        kesh::test::MakeTiles(tiles(), 32, 32, 3);
    }

    void cleanup() {
        QVERIFY(user->allUsed());
        doc().MarkSaved(); // nothing to ask about when the window goes
        delete frame;
        delete dir;
        delete user;
    }

    void mapMenuItemsReachTheMapProcedures() {
        user->cancelMap().cancelOpen().cancelSave().cancelSave().cancelMap();
        for (int id : {ID_FILE_NEW, ID_MAP_OPEN, ID_MAP_SAVE, ID_FILE_SAVE_AS, ID_MAP_FORMAT}) {
            run(id);
        }
        QCOMPARE(transcript(),
                 (Lines{"map format", "open: *.map", "save: *.map", "save: *.map", "map format"}));
        QVERIFY(!doc().IsModified()); // a cancelled format change changes nothing

        // Saved for real: the map's own files, and a bitmap as wide as the map.
        user->saveFile(dir->file("town.map"))
            .saveFile(dir->file("town.bmp"))
            .saveFile(dir->file("town.png"))
            .saveFile(dir->file("town.tmx"));
        run(ID_MAP_SAVE);
        run(ID_MAP_SAVEBMP);
        run(ID_MAP_SAVEPNG);
        run(ID_MAP_EXPORTTMX);
        QVERIFY(QFile::exists(QString::fromStdString(dir->file("town.tmx"))));
        QVERIFY(QFile::exists(QString::fromStdString(dir->file("town-tiles.png"))));
        QVERIFY(QFile::exists(QString::fromStdString(dir->file("town.kmf"))));
        QCOMPARE(ReadInt32(dir->file("town.bmp"), 18), 64 * 32);
        QCOMPARE(QImage(QString::fromStdString(dir->file("town.png"))).width(), 64 * 32);
        QVERIFY(!doc().IsModified());
    }

    void tileMenuItemsReachTheTileProcedures() {
        user->cancelOpen().cancelOpen().cancelTile();
        for (int id : {ID_TILE_ADDFILE, ID_TILE_LOADPALETTE, ID_TILE_FORMAT}) {
            run(id);
        }
        QCOMPARE(transcript(), (Lines{"open: *.til", "open: *.bmp", "tile format"}));

        user->saveFile(dir->file("set.til")).saveFile(dir->file("sheet.bmp"));
        run(ID_TILE_SAVE);
        run(ID_TILE_SAVEBMP);
        QVERIFY(QFile::exists(QString::fromStdString(dir->file("set.ktf"))));
        QCOMPARE(ReadInt32(dir->file("sheet.bmp"), 18), 10 * 32); // a sheet ten tiles wide
    }

    void editMenuItemsWorkOnTheMapRegion() {
        kesh::MapModel& m = map();
        kesh::MapViewState& vs = state();
        vs.m_rcSelect = {0, 0, 63, 63}; // cells (0, 0) to (1, 1)
        doc().SetCurrentTile(2);
        run(ID_EDIT_FILL);
        QCOMPARE(m.cells()[0], uint16_t(2));
        QCOMPARE(m.cells()[65], uint16_t(2));
        QVERIFY(doc().IsModified());

        run(ID_EDIT_COPY);
        QVERIFY(vs.m_rcCopySource.has_value());
        vs.m_nCurCell = 10;
        run(ID_EDIT_PASTE);
        QCOMPARE(m.cells()[10], uint16_t(2));
        QCOMPARE(m.cells()[75], uint16_t(2));
        QVERIFY(transcript().empty());
    }

    void keysOpenAndSaveTheMap() {
        user->cancelOpen().saveFile(dir->file("keys.map"));
        QTest::keyClick(frame, Qt::Key_O, Qt::ControlModifier);
        QTest::keyClick(frame, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(transcript(), (Lines{"open: *.map", "save: *.map"}));
        QVERIFY(QFile::exists(QString::fromStdString(dir->file("keys.map"))));
        QCOMPARE(QString::fromStdString(doc().file().name), QStringLiteral("keys.map"));

        user->cancelMap();
        QTest::keyClick(frame, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(transcript().back(), "map format");
    }

    void copyAndPasteHaveTheirSecondKeys() {
        kesh::MapModel& m = map();
        kesh::MapViewState& vs = state();
        vs.m_rcSelect = {0, 0, 31, 31};
        m.cells()[0] = 1;
        QTest::keyClick(frame, Qt::Key_Insert, Qt::ControlModifier);
        QVERIFY(vs.m_rcCopySource.has_value());
        vs.m_nCurCell = 5;
        QTest::keyClick(frame, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(m.cells()[5], uint16_t(1));
    }

    void undoWithNothingToTakeBackAndCutKeysDoNothing() {
        kesh::MapModel& m = map();
        kesh::MapViewState& vs = state();
        vs.m_rcSelect = {0, 0, 63, 63};
        m.cells()[0] = 1;
        const MapState before(doc());
        const TileSetState tilesBefore(tiles());
        // Sent to each view in turn; the tile set view would otherwise take
        // Shift+Delete as its Delete key and offer to delete the current tile.
        for (QWidget* view :
             {static_cast<QWidget*>(frame->mapView()), static_cast<QWidget*>(frame->tileView())}) {
            frame->SetActiveView(view);
            QCOMPARE(QApplication::focusWidget(), view);
            QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
            QTest::keyClick(view, Qt::Key_X, Qt::ControlModifier);
            QTest::keyClick(view, Qt::Key_Backspace, Qt::AltModifier);
            QTest::keyClick(view, Qt::Key_Delete, Qt::ShiftModifier);
        }
        QVERIFY(MapState(doc()) == before);
        QVERIFY(TileSetState(tiles()) == tilesBefore);
        QCOMPARE(tiles().count(), 3);
        QVERIFY(transcript().empty());
    }

    void cancellingTheNewMapDialogChangesNothing() {
        const MapState before(doc());
        const TileSetState tilesBefore(tiles());
        user->cancelMap();
        run(ID_FILE_NEW);
        QCOMPARE(transcript(), Lines{"map format"}); // no tile layout dialog
        QVERIFY(MapState(doc()) == before);
        QVERIFY(TileSetState(tiles()) == tilesBefore);
    }

    void aNewMapCanKeepTheOldTileSet() {
        const TileSetState tilesBefore(tiles());
        user->acceptMap([](kesh::MapFormatEdit& e) {
                e.width = 10;
                e.height = 5;
            })
            .cancelTile();
        run(ID_FILE_NEW);
        QCOMPARE(transcript(), (Lines{"map format", "tile format"}));
        QCOMPARE(map().width(), 10);
        QCOMPARE(map().height(), 5);
        QVERIFY(TileSetState(tiles()) == tilesBefore);

        // Confirmed too: a new empty tile set of the chosen size.
        user->acceptMap().acceptTile([](kesh::TileFormatEdit& e) { e.width = e.height = 8; });
        run(ID_FILE_NEW);
        QCOMPARE(tiles().count(), 0);
        QCOMPARE(tiles().tileWidth(), 8);
    }

    // A cancelled dialog leaves the changed flag (and the caption's "*") as
    // it was, whether the map was changed before or not.
    void cancelledDialogsLeaveTheChangedFlagAsItWas() {
        QCOMPARE(frame->GetActiveView(), static_cast<QWidget*>(frame->mapView()));
        const std::function<void()> cancels[] = {
            [this] { user->cancelOpen(); }, [this] { user->cancelOpen(); },
            [this] { user->cancelTile(); }, [this] { user->cancelMap(); }};
        const int ids[] = {ID_TILE_LOADPALETTE, ID_TILE_ADDFILE, ID_TILE_FORMAT, ID_MAP_FORMAT};
        for (const bool changed : {false, true}) {
            for (size_t i = 0; i < std::size(ids); ++i) {
                changed ? doc().MarkChanged() : doc().MarkSaved();
                const QString caption = frame->windowTitle();
                cancels[i]();
                run(ids[i]);
                QCOMPARE(doc().IsModified(), changed);
                QCOMPARE(frame->windowTitle(), caption);
            }
        }
        QVERIFY(user->allUsed());
    }

    void withTheTileViewActiveThePaletteLeavesTheMapAlone() {
        QTest::mouseClick(frame->tileView()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(frame->GetActiveView(), static_cast<QWidget*>(frame->tileView()));
        user->cancelOpen().cancelOpen();
        run(ID_TILE_LOADPALETTE);
        run(ID_TILE_ADDFILE);
        QVERIFY(!doc().IsModified());
        // The other tile commands always go through the frame.
        user->cancelTile();
        run(ID_TILE_FORMAT);
        QVERIFY(!doc().IsModified());
    }

    void readerCodeIsSavedForTheMapsLayoutAndChangesNothing() {
        map().format().items = {kesh::MapItem::SizeWord, kesh::MapItem::CellsWord};
        const MapState before(doc());
        user->saveFile(dir->file("reader.py")).cancelSave();
        run(ID_MAP_READERCODE);
        run(ID_MAP_READERCODE);
        QCOMPARE(transcript(), (Lines{"save: kesh_reader.h", "save: kesh_reader.h"}));
        const std::vector<uint8_t> code = kesh::test::ReadBytes(dir->file("reader.py"));
        const std::string text(code.begin(), code.end());
        QVERIFY(text.find("MAP_ITEMS = [\"SizeWord\", \"CellsWord\"]") != std::string::npos);
        QVERIFY(before == MapState(doc()));
    }

    void saveAsWorksWhicheverViewIsActive() {
        frame->SetActiveView(frame->tileView());
        user->saveFile(dir->file("other.map"));
        run(ID_FILE_SAVE_AS);
        QVERIFY(QFile::exists(QString::fromStdString(dir->file("other.map"))));
    }

    // What a command did stays in the status bar for a moment.
    void theStatusBarTellsWhatWasDone() {
        QStatusBar* bar = frame->statusBarWidget();
        map().cells()[0] = 1;
        struct Step {
            std::function<void()> before;
            int id;
            QString notice;
        };
        const Step steps[] = {
            {[this] { user->saveFile(dir->file("town.map")); }, ID_MAP_SAVE,
             QStringLiteral("town.map을 저장했습니다.")},
            {[this] { user->saveFile(dir->file("town.bmp")); }, ID_MAP_SAVEBMP,
             QStringLiteral("town.bmp를 저장했습니다.")},
            {[this] { user->saveFile(dir->file("set.til")); }, ID_TILE_SAVE,
             QStringLiteral("set.til을 저장했습니다.")},
            {[this] {
                 state().m_rcSelect = {0, 0, 31, 31};
             },
             ID_EDIT_COPY, QStringLiteral("선택영역을 기억했습니다.")},
            {[this] { state().m_nCurCell = 10; }, ID_EDIT_PASTE,
             QStringLiteral("기억된 선택영역을 붙여넣었습니다.")},
        };
        for (const Step& s : steps) {
            bar->clearMessage();
            s.before();
            run(s.id);
            QCOMPARE(bar->currentMessage(), s.notice);
        }
        // A cancelled save tells nothing.
        bar->clearMessage();
        user->cancelSave();
        run(ID_FILE_SAVE_AS);
        QVERIFY(bar->currentMessage().isEmpty());

        // A double click on a cell picks its tile and says so.
        map().cells()[0] = 2;
        QTest::mouseDClick(frame->mapView()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(doc().currentTile(), 2);
        QCOMPARE(bar->currentMessage(), QStringLiteral("현재 타일: 타일 2"));

        // The zoom has a pane of its own.
        QCOMPARE(frame->zoomPane()->text(), QStringLiteral("100%"));
        run(ID_VIEW_ZOOMIN);
        QCOMPARE(frame->zoomPane()->text(), QStringLiteral("200%"));
        run(ID_VIEW_ZOOMACTUAL);
    }

    void theObjectParticleFollowsHowTheNameReads() {
        const std::pair<const char*, const char*> words[] = {
            {"town.map", "을"}, {"sheet.png", "를"}, {"set.til", "을"}, {"a.tmx", "를"},
            {"지도", "를"},     {"타일", "을"},      {"room7", "을"},   {"room2", "를"},
            {"hall", "을"},     {"cave", "를"},
        };
        for (const auto& [word, particle] : words) {
            QCOMPARE(notice::ObjectParticle(QString::fromUtf8(word)), QString::fromUtf8(particle));
        }
    }

    void f6MovesTheFocusBetweenTheViews() {
        QWidget* start = frame->GetActiveView();
        QCOMPARE(start, static_cast<QWidget*>(frame->mapView()));
        QTest::keyClick(frame, Qt::Key_F6);
        QCOMPARE(frame->GetActiveView(), static_cast<QWidget*>(frame->tileView()));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(frame->tileView()));
        QTest::keyClick(frame, Qt::Key_F6);
        QCOMPARE(frame->GetActiveView(), start);
        QTest::keyClick(frame, Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(frame->GetActiveView(), static_cast<QWidget*>(frame->tileView()));
        QTest::keyClick(frame, Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(frame->GetActiveView(), start);
    }

    void theCaptionNamesTheFileOpenedOrSavedUnderANewName() {
        QCOMPARE(frame->windowTitle(), QStringLiteral("제목없음 - kesh"));
        user->saveFile(dir->file("first.map"));
        run(ID_FILE_SAVE_AS);
        QCOMPARE(frame->windowTitle(), QStringLiteral("first.map - kesh"));

        user->openFile(dir->file("first.map"));
        run(ID_MAP_OPEN);
        QCOMPARE(frame->windowTitle(), QStringLiteral("first.map - kesh"));
        QCOMPARE(frame->document()->GetTitle(), QStringLiteral("first.map"));

        user->acceptMap().cancelTile();
        run(ID_FILE_NEW);
        QCOMPARE(frame->windowTitle(), QStringLiteral("first.map - kesh"));
        user->saveFile(dir->file("second.map"));
        run(ID_FILE_SAVE_AS);
        QCOMPARE(frame->windowTitle(), QStringLiteral("second.map - kesh"));
        // A failed open leaves it too.
        user->openFile(dir->file("missing.map"));
        run(ID_MAP_OPEN);
        QCOMPARE(frame->windowTitle(), QStringLiteral("second.map - kesh"));
        QCOMPARE(user->messages().back(),
                 std::string(kesh::msg::kOpenFailed) + "\n" + dir->file("missing.map"));
    }

    void aMapFileCanBeOpenedWithoutTheDialog() {
        map().cells()[3] = 2;
        user->saveFile(dir->file("named.map"));
        run(ID_FILE_SAVE_AS);
        map().cells()[3] = kesh::kEmptyCell;
        doc().MarkSaved();

        QVERIFY(frame->commands().OpenMapFile(QString::fromStdString(dir->file("named.map"))));
        QCOMPARE(map().cells()[3], uint16_t(2));
        QCOMPARE(frame->windowTitle(), QStringLiteral("named.map - kesh"));
        QCOMPARE(transcript(), Lines{"save: *.map"}); // no open dialog

        // Unreadable: the open's message, and the map as it was.
        const MapState before(doc());
        QVERIFY(!frame->commands().OpenMapFile(QStringLiteral("/no/such/dir/x.map")));
        QCOMPARE(user->messages(),
                 Lines{std::string(kesh::msg::kOpenFailed) + "\n/no/such/dir/x.map"});
        QVERIFY(MapState(doc()) == before);
    }

    void closingAsksAboutAChangedMapOnce() {
        doc().MarkChanged();
        user->no();
        QVERIFY(frame->close());
        QCOMPARE(transcript(), Lines{std::string("yesno: ") + kesh::msg::kAskSaveChanged});
    }

    void theWindowStaysWhenTheMapWasNotSavedAsAsked() {
        doc().MarkChanged();
        user->yes().cancelSave();
        QVERIFY(!frame->close());
        QVERIFY(frame->isVisible());
        QVERIFY(doc().IsModified());

        // Saved this time: the window closes.
        user->yes().saveFile(dir->file("kept.map"));
        QVERIFY(frame->close());
        QVERIFY(QFile::exists(QString::fromStdString(dir->file("kept.map"))));
        QVERIFY(!doc().IsModified());
    }

    void withoutAMapViewTheRegionCommandsEndQuietly() {
        for (int id : {ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_FILL}) {
            FrameCommands commands(doc(), {});
            QVERIFY(commands.Run(id, nullptr));
        }
        QVERIFY(transcript().empty());
        QVERIFY(!doc().IsModified());
    }
};

QTEST_MAIN(FrameCommandsTest)
#include "FrameCommandsTest.moc"
