#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>

#include "FrameTestSupport.h"
#include "InstalledUserServices.h"
#include "base/Messages.h"
#include "map/MapModel.h"
#include "mapview/CKeshView.h"
#include "shell/AppSettings.h"
#include "shell/CKeshApp.h"
#include "shell/CKeshDoc.h"
#include "shell/CMainFrame.h"
#include "shell/CommandLine.h"
#include "shell/FrameCommands.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"
#include "tileset/TileSetFile.h"
#include "tileview/CTile1View.h"
#include "tileview/CTileInfoBar.h"

using namespace kesh::ui;
using kesh::test::TileSetState;
using Info = CommandLineInfo;
using Lines = std::vector<std::string>;

class CommandLineTest : public QObject {
    Q_OBJECT

    QString m_settingsDir;

    static Info Parse(std::initializer_list<const char*> args) {
        QStringList list;
        for (const char* a : args) {
            list << QString::fromUtf8(a);
        }
        return ParseCommandLine(list);
    }

private slots:
    void initTestCase() { m_settingsDir = IsolateSettings(); }

    void aSlashBeginsAPathAndAHyphenAFlag() {
        QCOMPARE(Parse({}).m_nShellCommand, Info::FileNew);
        Info info = Parse({"/home/me/town.map"});
        QCOMPARE(info.m_nShellCommand, Info::FileOpen);
        QCOMPARE(info.m_strFileName, QStringLiteral("/home/me/town.map"));
        info = Parse({"/Unregister"});
        QCOMPARE(info.m_nShellCommand, Info::FileOpen);
        QCOMPARE(info.m_strFileName, QStringLiteral("/Unregister"));
        QCOMPARE(Parse({"/p", "x.map"}).m_nShellCommand, Info::Error); // two files
        QCOMPARE(Parse({"town.map"}).m_strFileName, QStringLiteral("town.map"));
        // "--" ends the flags.
        info = Parse({"--", "-odd.map"});
        QCOMPARE(info.m_nShellCommand, Info::FileOpen);
        QCOMPARE(info.m_strFileName, QStringLiteral("-odd.map"));
    }

    void printFlagsTakeTheFileAndThePrinter() {
        Info info = Parse({"-p", "/maps/a.map"});
        QCOMPARE(info.m_nShellCommand, Info::FilePrint);
        QCOMPARE(info.m_strFileName, QStringLiteral("/maps/a.map"));
        info = Parse({"-PT", "a.map", "Office"});
        QCOMPARE(info.m_nShellCommand, Info::FilePrintTo);
        QCOMPARE(info.m_strFileName, QStringLiteral("a.map"));
        QCOMPARE(info.m_strPrinterName, QStringLiteral("Office"));
        info = Parse({"-pt", "a.map", "Office", "drv", "port"});
        QCOMPARE(info.m_strDriverName, QStringLiteral("drv"));
        QCOMPARE(info.m_strPortName, QStringLiteral("port"));
        QCOMPARE(Parse({"-p"}).m_nShellCommand, Info::Error);
        QCOMPARE(Parse({"-pt", "a.map"}).m_nShellCommand, Info::Error);
        QCOMPARE(Parse({"-p", "a.map", "b.map"}).m_nShellCommand, Info::Error);
    }

    void otherFlags() {
        QCOMPARE(Parse({"-Unregister"}).m_nShellCommand, Info::AppUnregister);
        QCOMPARE(Parse({"-unregserver"}).m_nShellCommand, Info::AppUnregister);
        QCOMPARE(Parse({"-Unregister", "x.map"}).m_nShellCommand, Info::Error);
        QCOMPARE(Parse({"--help"}).m_nShellCommand, Info::Help);
        QCOMPARE(Parse({"a.map", "--version"}).m_nShellCommand, Info::Version);
        const Info bad = Parse({"-frobnicate"});
        QCOMPARE(bad.m_nShellCommand, Info::Error);
        QVERIFY(bad.m_strError.contains(QStringLiteral("-frobnicate")));
        QVERIFY(CommandLineUsage().contains(QStringLiteral("-pt 파일 프린터")));
        QVERIFY(CommandLineUsage().startsWith(QStringLiteral("사용법: kesh")));

        // Help and version are answered before the window system is opened.
        char program[] = "kesh", version[] = "--version", file[] = "a.map", dashes[] = "--";
        char* versionArgs[] = {program, version};
        char* fileArgs[] = {program, file};
        char* escapedArgs[] = {program, dashes, version};
        QVERIFY(AnswerWithoutWindow(2, versionArgs));
        QVERIFY(!AnswerWithoutWindow(2, fileArgs));
        QVERIFY(!AnswerWithoutWindow(3, escapedArgs)); // a file named "--version"
    }

    void aNamedMapIsOpenedAndAnUnreadableOneIsReported() {
        InstalledUserServices user;
        kesh::test::TempDir dir;
        int exitCode = -1;
        {
            CMainFrame frame;
            kesh::test::MakeTiles(frame.document()->data().tiles(), 8, 8, 2);
            frame.document()->data().map().cells()[0] = 1;
            user.saveFile(dir.file("start.map"));
            frame.commands().OnFileSaveAs();
            QVERIFY(user.messages().empty());
        }
        CMainFrame frame;
        Info info = Parse({dir.file("start.map").c_str()});
        QVERIFY(CKeshApp::ProcessShellCommand(info, frame, exitCode));
        QCOMPARE(exitCode, 0);
        QVERIFY(frame.isVisible());
        QCOMPARE(frame.document()->data().map().cells()[0], uint16_t(1));
        QCOMPARE(frame.windowTitle(), QStringLiteral("start.map - kesh"));

        // Not there: the open's message, then the editor runs on.
        CMainFrame second;
        user.clearCalls();
        info = Parse({dir.file("gone.map").c_str()});
        QVERIFY(CKeshApp::ProcessShellCommand(info, second, exitCode));
        QVERIFY(second.isVisible());
        QCOMPARE(user.messages(),
                 Lines{std::string(kesh::msg::kOpenFailed) + "\n" + dir.file("gone.map")});
        QCOMPARE(second.windowTitle(), QStringLiteral("제목없음 - kesh"));
        QCOMPARE(second.mapView()->map().width(), 64);
        second.close();
        frame.close();
    }

    void aTileFileOrADescriptorOpensItsDataFile() {
        InstalledUserServices user;
        kesh::test::TempDir dir;
        kesh::TileSet saved;
        kesh::test::MakeTiles(saved, 8, 8, 3);
        for (const char* name : {"set.til", "up.TIL"}) {
            QVERIFY(SaveTileSetFiles(kesh::FileSystem::Native(), dir.file(name), saved,
                                     kesh::EmptyTileSet::Refuse));
        }
        int exitCode = -1;
        {
            CMainFrame frame;
            kesh::test::MakeTiles(frame.document()->data().tiles(), 8, 8, 2);
            frame.document()->data().map().cells()[0] = 1;
            user.saveFile(dir.file("start.map"));
            frame.commands().OnFileSaveAs();
            QVERIFY(user.messages().empty());
        }
        user.clearCalls();

        // The .til (its extension in any case), or its .ktf, replaces the tile
        // set; the map keeps its cells and counts as changed.
        for (const char* name : {"up.TIL", "set.ktf"}) {
            CMainFrame frame;
            frame.document()->data().map().cells()[0] = 2;
            QVERIFY(
                CKeshApp::ProcessShellCommand(Parse({dir.file(name).c_str()}), frame, exitCode));
            QVERIFY(user.calls().empty());
            QCOMPARE(TileSetState(frame.tileView()->tileSet()), TileSetState(saved));
            QCOMPARE(frame.document()->data().map().cells()[0], uint16_t(2));
            QVERIFY(frame.document()->data().IsModified());
            // Still untitled, and changed: the map now draws another tile set.
            QCOMPARE(frame.windowTitle(), QStringLiteral("제목없음* - kesh"));
            QCOMPARE(frame.tileInfoBar()->attribute(), 100u); // tile 0 is shown
            frame.document()->data().MarkSaved();
            frame.close();
        }

        // A .kmf opens the .map beside it.
        CMainFrame frame;
        QVERIFY(
            CKeshApp::ProcessShellCommand(Parse({dir.file("start.kmf").c_str()}), frame, exitCode));
        QCOMPARE(frame.document()->data().map().cells()[0], uint16_t(1));
        QCOMPARE(frame.windowTitle(), QStringLiteral("start.map - kesh"));
        frame.close();
    }

    void aTileFileWithoutItsDescriptorAsksForTheLayout() {
        InstalledUserServices user;
        kesh::test::TempDir dir;
        kesh::TileSet saved;
        kesh::test::MakeTiles(saved, 8, 8, 3);
        saved.format().items = {kesh::TileItem::CountByte, kesh::TileItem::TileData};
        kesh::ByteWriter out;
        QVERIFY(saved.WriteTileFile(out));
        kesh::test::WriteBytes(dir.file("raw.til"), out.bytes());
        const std::string asked = std::string("okcancel: ") + kesh::msg::kAskKtfMissing;
        int exitCode = -1;

        // Cancelled: the editor starts with the defaults, the map unchanged.
        CMainFrame frame;
        const TileSetState defaults(frame.tileView()->tileSet());
        user.cancel();
        QVERIFY(
            CKeshApp::ProcessShellCommand(Parse({dir.file("raw.til").c_str()}), frame, exitCode));
        QVERIFY(frame.isVisible());
        QCOMPARE(user.transcript(), Lines{asked});
        QCOMPARE(TileSetState(frame.tileView()->tileSet()), defaults);
        QVERIFY(!frame.document()->data().IsModified());

        // OK: the layout and the tile size come from the dialog.
        CMainFrame second;
        user.clearCalls();
        user.ok().acceptTile([](kesh::TileFormatEdit& e) {
            e.width = 8;
            e.height = 8;
            e.items = {kesh::TileItem::CountByte, kesh::TileItem::TileData};
        });
        QVERIFY(
            CKeshApp::ProcessShellCommand(Parse({dir.file("raw.til").c_str()}), second, exitCode));
        QCOMPARE(user.transcript(), (Lines{asked, "tile format"}));
        QCOMPARE(TileSetState(second.tileView()->tileSet()).pixels, TileSetState(saved).pixels);
        second.document()->data().MarkSaved();
        second.close();
        frame.close();
    }

    void printingAnUnreadableMapEndsWithAFailure() {
        InstalledUserServices user;
        CMainFrame frame;
        int exitCode = 0;
        QVERIFY(
            !CKeshApp::ProcessShellCommand(Parse({"-p", "/no/such/file.map"}), frame, exitCode));
        QCOMPARE(exitCode, 1);
        QVERIFY(!frame.isVisible());
        QCOMPARE(user.messages(),
                 Lines{std::string(kesh::msg::kOpenFailed) + "\n/no/such/file.map"});
    }

    void unregisterRemovesTheSettingsAndSaysSo() {
        {
            const auto settings = OpenSettings();
            settings->setValue(QStringLiteral("Frame/MapColumn"), 123);
        }
        InstalledUserServices user;
        CMainFrame frame;
        int exitCode = -1;
        QVERIFY(!CKeshApp::ProcessShellCommand(Parse({"-Unregister"}), frame, exitCode));
        QCOMPARE(exitCode, 0);
        QCOMPARE(user.messages(),
                 Lines{"시스템 레지스트리 항목과 INI 파일(만약 있다면)이 삭제되었습니다."});
        QVERIFY(OpenSettings()->allKeys().isEmpty());
        QVERIFY(!QFile::exists(OpenSettings()->fileName()));
        QVERIFY(!frame.isVisible());

        // A store that cannot be removed (here a folder where the file should be).
        QVERIFY(QDir().mkpath(OpenSettings()->fileName()));
        user.clearCalls();
        QVERIFY(!CKeshApp::ProcessShellCommand(Parse({"-Unregserver"}), frame, exitCode));
        QCOMPARE(exitCode, 1);
        QCOMPARE(user.messages(),
                 Lines{"모든 시스템 레지스트리 항목(또는 INI 파일)이 삭제되지는 않았습니다."});
        QVERIFY(QDir().rmdir(OpenSettings()->fileName()));
    }
    // `kesh town.map` in the map's folder: Ctrl+S saves back to it, no dialog,
    // even after the editor's current folder changed.
    void aMapNamedByARelativePathSavesWithoutADialog() {
        InstalledUserServices user;
        kesh::test::TempDir dir;
        {
            CMainFrame frame;
            kesh::test::MakeTiles(frame.document()->data().tiles(), 8, 8, 2);
            frame.document()->data().map().cells()[0] = 1;
            user.saveFile(dir.file("town.map"));
            frame.commands().OnFileSaveAs();
            QVERIFY(user.messages().empty());
        }
        user.clearCalls();
        const QString oldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QString::fromStdString(dir.path())));
        CMainFrame frame;
        int exitCode = -1;
        QVERIFY(CKeshApp::ProcessShellCommand(Parse({"./town.map"}), frame, exitCode));
        QVERIFY(QDir::setCurrent(oldCwd));
        QCOMPARE(frame.document()->data().map().cells()[0], uint16_t(1));
        frame.document()->data().map().cells()[0] = 2;
        frame.document()->data().MarkChanged();
        frame.commands().OnMapSave();
        QVERIFY(user.calls().empty()); // no Save As dialog
        QVERIFY(!frame.document()->data().IsModified());
        QCOMPARE(kesh::test::ReadBytes(dir.file("town.map")).at(2), uint8_t(2));
        frame.close();
    }

    // Opening a file handed to the editor (as a drop does) asks about a
    // changed map first, and opens nothing when the save it offered fails.
    void anOpenByPathStopsWhenTheOfferedSaveFails() {
        InstalledUserServices user;
        kesh::test::TempDir dir;
        kesh::TileSet other;
        kesh::test::MakeTiles(other, 8, 8, 3);
        QVERIFY(SaveTileSetFiles(kesh::FileSystem::Native(), dir.file("set.til"), other,
                                 kesh::EmptyTileSet::Refuse));
        CMainFrame frame;
        kesh::test::MakeTiles(frame.document()->data().tiles(), 8, 8, 2);
        const TileSetState tilesBefore(frame.tileView()->tileSet());
        kesh::Document& doc = frame.document()->data();
        kesh::MapModel& map = doc.map();
        map.cells()[0] = 1;
        user.saveFile(dir.file("other.map"));
        frame.commands().OnFileSaveAs();
        map.cells()[0] = 2;
        doc.MarkChanged();
        user.clearCalls();
        const std::string ask = std::string("yesno: ") + kesh::msg::kAskSaveChanged;

        // Yes, and the save fails (the map file was made read-only meanwhile).
        QFile::setPermissions(QString::fromStdString(dir.file("other.map")),
                              QFile::ReadOwner | QFile::ReadGroup);
        for (const char* name : {"other.map", "set.til"}) {
            user.yes();
            QVERIFY(!frame.commands().OpenFile(QString::fromStdString(dir.file(name))));
            QCOMPARE(user.transcript().size(), size_t(2));
            QCOMPARE(user.transcript().front(), ask);
            QCOMPARE(user.messages().size(), size_t(1));
            QCOMPARE(map.cells()[0], uint16_t(2));
            QVERIFY(doc.IsModified());
            QCOMPARE(TileSetState(frame.tileView()->tileSet()), tilesBefore);
            user.clearCalls();
        }

        // Yes on an untitled map, and its Save As dialog cancelled.
        doc.SetFile({});
        user.yes().cancelSave();
        QVERIFY(!frame.commands().OpenFile(QString::fromStdString(dir.file("set.til"))));
        QCOMPARE(user.transcript(), (Lines{ask, "save: *.map"}));
        QCOMPARE(TileSetState(frame.tileView()->tileSet()), tilesBefore);

        // No: the file is opened and the change is dropped.
        user.clearCalls();
        user.no();
        QVERIFY(frame.commands().OpenFile(QString::fromStdString(dir.file("other.map"))));
        QCOMPARE(map.cells()[0], uint16_t(1));
        doc.MarkSaved();
        frame.close();
    }
};

QTEST_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
