#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QTest>
#include <QUrl>

#include "FrameTestSupport.h"
#include "InstalledUserServices.h"
#include "base/Messages.h"
#include "map/MapFile.h"
#include "mapview/CKeshView.h"
#include "shell/AppSettings.h"
#include "shell/CKeshDoc.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/FrameCommands.h"
#include "shell/FrameRecovery.h"
#include "shell/RecentFiles.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"
#include "tileset/TileSetFile.h"
#include "tileview/CTile1View.h"

using namespace kesh::ui;
using Lines = std::vector<std::string>;

namespace {

QString Q(const std::string& path) {
    return QString::fromStdString(path);
}

// Drops the files `paths` on `target` as a file manager would.
bool Drop(QWidget* target, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls << QUrl::fromLocalFile(path);
    }
    data.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents(); // the open runs once the drop is over
    return drop.isAccepted();
}

} // namespace

class FrameFilesTest : public QObject {
    Q_OBJECT

    InstalledUserServices* user = nullptr;
    CMainFrame* frame = nullptr;
    kesh::test::TempDir* dir = nullptr;
    QString state;

    kesh::Document& doc() { return frame->document()->data(); }
    kesh::MapModel& map() { return doc().map(); }
    kesh::TileSet& tiles() { return doc().tiles(); }
    Lines transcript() const { return user->transcript(); }

    void newFrame() {
        frame = new CMainFrame;
        frame->resize(900, 600);
        QVERIFY(ShowActive(*frame));
    }

    // A saved map at `name` in the test folder whose cell 3 holds `value`.
    std::string savedMap(const std::string& name, uint16_t value) {
        kesh::MapModel m;
        m.cells()[3] = value;
        kesh::TileSet set;
        kesh::test::MakeTiles(set, 32, 32, 3);
        const std::string path = dir->file(name);
        [&] { QVERIFY(kesh::SaveMapFiles(kesh::FileSystem::Native(), path, m, set)); }();
        return path;
    }

    kesh::RecoveryStore store() {
        return kesh::RecoveryStore(kesh::FileSystem::Native(),
                                   kesh::RecoveryStore::DefaultFolder());
    }

private slots:
    void initTestCase() { state = IsolateSettings() + QStringLiteral("/state"); }

    void init() {
        user = new InstalledUserServices;
        dir = new kesh::test::TempDir;
        OpenSettings()->clear();
        QDir(state).removeRecursively();
        newFrame();
        kesh::test::MakeTiles(tiles(), 32, 32, 3);
    }

    void cleanup() {
        QVERIFY(user->allUsed());
        if (frame) {
            doc().MarkSaved();
            delete frame;
        }
        delete dir;
        delete user;
    }

    void theRecentListKeepsEightMostRecentFirst() {
        RecentFiles recent;
        for (int i = 1; i <= 10; ++i) {
            recent.Add(QStringLiteral("/maps/%1.map").arg(i));
        }
        QCOMPARE(recent.files().size(), RecentFiles::kMaxCount);
        QCOMPARE(recent.files().first(), QStringLiteral("/maps/10.map"));
        QCOMPARE(recent.files().last(), QStringLiteral("/maps/3.map"));

        // Used again: to the front, listed once, however it is spelt.
        recent.Add(QStringLiteral("/maps/x/../5.map"));
        QCOMPARE(recent.files().first(), QStringLiteral("/maps/5.map"));
        QCOMPARE(recent.files().count(QStringLiteral("/maps/5.map")), 1);
        QCOMPARE(recent.files().size(), RecentFiles::kMaxCount);
        // A relative name is kept absolute.
        recent.Add(QStringLiteral("here.map"));
        QCOMPARE(recent.files().first(),
                 QDir::current().absoluteFilePath(QStringLiteral("here.map")));

        recent.Remove(QStringLiteral("/maps/5.map"));
        QVERIFY(!recent.files().contains(QStringLiteral("/maps/5.map")));

        // Through the settings store, in the same order.
        QSettings settings(dir->file("recent.ini").c_str(), QSettings::IniFormat);
        recent.Save(settings);
        QCOMPARE(RecentFiles::Load(settings).files(), recent.files());
    }

    void openedAndSavedMapsGoToTheRecentMenu() {
        QMenu* menu = frame->recentFilesMenu();
        QVERIFY(menu);
        QCOMPARE(menu->title(), QStringLiteral("최근 파일"));
        QVERIFY(!menu->isEnabled()); // nothing yet

        const std::string first = savedMap("first.map", 1);
        QVERIFY(frame->commands().OpenFile(Q(first))); // as from the command line
        user->saveFile(dir->file("second.map"));
        frame->OnCommand(ID_FILE_SAVE_AS); // saved under a new name
        QCOMPARE(frame->recentFiles().files(), (QStringList{Q(dir->file("second.map")), Q(first)}));
        QVERIFY(menu->isEnabled());
        QCOMPARE(menu->actions().size(), 2);
        QCOMPARE(menu->actions()[0]->text(), QStringLiteral("&1 ") + Q(dir->file("second.map")));
        // Kept for the next session.
        QCOMPARE(RecentFiles::Load(*OpenSettings()).files(), frame->recentFiles().files());

        // Chosen: opened as the command line opens it.
        map().cells()[3] = 7;
        menu->actions()[1]->trigger();
        QCOMPARE(map().cells()[3], uint16_t(1));
        QCOMPARE(frame->recentFiles().files().first(), Q(first));

        // Gone since: the open failure, and off the list.
        QFile::remove(Q(dir->file("second.map")));
        menu->actions()[1]->trigger();
        QCOMPARE(user->messages(),
                 Lines{std::string(kesh::msg::kOpenFailed) + "\n" + dir->file("second.map")});
        QCOMPARE(frame->recentFiles().files(), QStringList{Q(first)});
        QCOMPARE(menu->actions().size(), 1);
    }

    void aDroppedFileOpensAsFromTheCommandLine() {
        const std::string dropped = savedMap("dropped.map", 2);
        // Other files are refused at the door.
        QVERIFY(!Drop(frame, {Q(dir->file("notes.txt"))}));
        QVERIFY(transcript().empty());

        // A changed map is offered for saving first; a save that does not
        // happen keeps it.
        doc().MarkChanged();
        map().cells()[3] = 9;
        user->yes().cancelSave();
        QVERIFY(Drop(frame, {Q(dir->file("notes.txt")), Q(dropped)}));
        QCOMPARE(transcript(),
                 (Lines{std::string("yesno: ") + kesh::msg::kAskSaveChanged, "save: *.map"}));
        QCOMPARE(map().cells()[3], uint16_t(9));

        user->clearCalls();
        user->no();
        QVERIFY(Drop(frame, {Q(dropped)}));
        QCOMPARE(map().cells()[3], uint16_t(2));
        QCOMPARE(frame->windowTitle(), QStringLiteral("dropped.map - kesh"));
        QCOMPARE(frame->recentFiles().files().first(), Q(dropped));

        // A tile file, through its descriptor, in any case of the name.
        QVERIFY(kesh::SaveTileSetFiles(kesh::FileSystem::Native(), dir->file("SET.TIL"), tiles(),
                                       kesh::EmptyTileSet::Refuse));
        QVERIFY(QFile::rename(Q(dir->file("SET.ktf")), Q(dir->file("SET.KTF"))) ||
                QFile::exists(Q(dir->file("SET.KTF"))));
        QCOMPARE(CMainFrame::DroppedFile(nullptr), QString());
        QMimeData data;
        data.setUrls({QUrl(QStringLiteral("https://example.org/a.map")),
                      QUrl::fromLocalFile(Q(dir->file("SET.TIL")))});
        QCOMPARE(CMainFrame::DroppedFile(&data), Q(dir->file("SET.TIL")));
    }

    void aCopyIsKeptWhileTheMapIsChangedAndGoesWhenItIsSaved() {
        FrameRecovery& recovery = frame->recovery();
        QCOMPARE(recovery.timer().interval(), 60 * 1000);
        QVERIFY(recovery.timer().isActive());
        QVERIFY(!recovery.WriteNow()); // unchanged: nothing to keep
        QVERIFY(store().List().empty());

        doc().MarkChanged();
        QVERIFY(recovery.WriteNow());
        QVERIFY(QFile::exists(state + QStringLiteral("/kesh/recovery/") + Q(recovery.slot()) +
                              QStringLiteral(".map")));
        QCOMPARE(store().List().size(), size_t(1));
        user->saveFile(dir->file("saved.map"));
        frame->OnCommand(ID_MAP_SAVE);
        QVERIFY(store().List().empty());

        // Changed again, then closed cleanly after No: gone as well.
        doc().MarkChanged();
        QVERIFY(recovery.WriteNow());
        user->no();
        QVERIFY(frame->close());
        QVERIFY(store().List().empty());
    }

    void aCopyLeftBehindIsOfferedBackAsAnUnsavedChange() {
        const std::string path = savedMap("town.map", 1);
        QVERIFY(frame->commands().OpenFile(Q(path)));
        map().cells()[3] = 2;
        map().cells()[4] = 2;
        doc().MarkChanged();
        QVERIFY(frame->recovery().WriteNow());
        // The file is older than the copy.
        QFile file(Q(path));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                 QFileDevice::FileModificationTime));
        file.close();
        // The editor dies: nothing removes the copy.
        delete frame;
        frame = nullptr;
        newFrame();

        user->yes();
        QVERIFY(frame->recovery().OfferRecovery());
        QCOMPARE(user->calls().size(), size_t(1));
        const QStringList lines = Q(user->calls()[0].text).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("저장하지 않은 작업이 남아 있습니다. 복구할까요?"));
        QCOMPARE(lines[1], QStringLiteral("town.map"));
        QCOMPARE(lines[2].size(), 19); // yyyy-MM-dd HH:mm:ss

        QCOMPARE(map().cells()[3], uint16_t(2));
        QCOMPARE(map().cells()[4], uint16_t(2));
        QVERIFY(doc().IsModified());
        QCOMPARE(tiles().count(), 3);
        QCOMPARE(frame->windowTitle(), QStringLiteral("town.map* - kesh")); // not saved yet
        // Saved without a dialog, to its own file.
        frame->OnCommand(ID_MAP_SAVE);
        QVERIFY(!doc().IsModified());
        kesh::MapModel reread;
        kesh::TileSet set;
        bool missing = false;
        QVERIFY(kesh::OpenMapFiles(kesh::FileSystem::Native(), path, reread, set, missing));
        QCOMPARE(reread.cells()[4], uint16_t(2));
        QVERIFY(store().List().empty());
    }

    void noRemovesTheCopyAndAnUntitledMapComesBackUntitled() {
        map().cells()[5] = 1;
        doc().MarkChanged();
        QVERIFY(frame->recovery().WriteNow());
        delete frame;
        frame = nullptr;
        newFrame();

        user->no();
        QVERIFY(!frame->recovery().OfferRecovery());
        QCOMPARE(map().cells()[5], kesh::kEmptyCell);
        QVERIFY(!doc().IsModified());
        QVERIFY(store().List().empty());
        QVERIFY(!frame->recovery().OfferRecovery()); // asked once only

        // Again, answered Yes: untitled, so Save asks for a name.
        kesh::test::MakeTiles(tiles(), 16, 16, 2);
        map().cells()[5] = 1;
        doc().MarkChanged();
        QVERIFY(frame->recovery().WriteNow());
        delete frame;
        frame = nullptr;
        newFrame();
        user->yes();
        QVERIFY(frame->recovery().OfferRecovery());
        QCOMPARE(Q(user->calls()[0].text).split(QLatin1Char('\n')).value(1),
                 QStringLiteral("제목없음"));
        QCOMPARE(map().cells()[5], uint16_t(1));
        QCOMPARE(tiles().tileWidth(), 16);
        QCOMPARE(doc().file().path, std::string("Untitled.map"));
        QCOMPARE(frame->windowTitle(), QStringLiteral("제목없음* - kesh"));
        user->cancelSave();
        frame->OnCommand(ID_MAP_SAVE);
        QCOMPARE(transcript().back(), "save: *.map");
    }

    // SIGTERM while a question is open: the copy is written, the question
    // closes as if answered No, and what follows removes nothing.
    void aTerminationSignalKeepsTheCopy() {
        doc().MarkChanged();
        map().cells()[6] = 2;
        frame->recovery().OnTerminationSignal();
        // A save question still open then closes as No, and the open replaces
        // the map, which would otherwise discard the copy.
        user->no();
        QVERIFY(frame->commands().OpenFile(Q(savedMap("other.map", 1))));
        const auto entries = store().List();
        QCOMPARE(entries.size(), size_t(1));
        kesh::MapModel copy;
        kesh::TileSet set;
        QVERIFY(store().Load(entries[0], copy, set));
        QCOMPARE(copy.cells()[6], uint16_t(2));
    }

    void aCopyOlderThanItsFileGoesWithoutAQuestion() {
        const std::string path = savedMap("newer.map", 1);
        QVERIFY(frame->commands().OpenFile(Q(path)));
        doc().MarkChanged();
        QVERIFY(frame->recovery().WriteNow());
        QFile file(Q(path));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(3600),
                                 QFileDevice::FileModificationTime));
        file.close();
        delete frame;
        frame = nullptr;
        newFrame();
        QVERIFY(!frame->recovery().OfferRecovery());
        QVERIFY(transcript().empty());
        QVERIFY(store().List().empty());
    }
};

QTEST_MAIN(FrameFilesTest)
#include "FrameFilesTest.moc"
