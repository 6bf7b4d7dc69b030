#include <QDir>
#include <QSettings>
#include <QTest>

#include "FrameTestSupport.h"
#include "InstalledUserServices.h"
#include "app/AppSettings.h"
#include "app/CKeshApp.h"
#include "app/CMainFrame.h"
#include "app/CommandLine.h"
#include "app/FrameCommands.h"
#include "app/Messages.h"
#include "map/CKeshView.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"
#include "tileset/CTile1View.h"

using namespace kesh::ui;
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
        QVERIFY(CommandLineUsage().contains(QStringLiteral("-pt FILE PRINTER")));
    }

    void aNamedMapIsOpenedAndAnUnreadableOneIsReported() {
        InstalledUserServices user;
        kesh::test::TempDir dir;
        int exitCode = -1;
        {
            CMainFrame frame;
            kesh::test::MakeTiles(frame.tileView()->tileSet(), 8, 8, 2);
            frame.mapView()->map().cells()[0] = 1;
            user.saveFile(dir.file("start.map"));
            frame.commands().OnFileSaveAs();
            QVERIFY(user.messages().empty());
        }
        CMainFrame frame;
        Info info = Parse({dir.file("start.map").c_str()});
        QVERIFY(CKeshApp::ProcessShellCommand(info, frame, exitCode));
        QCOMPARE(exitCode, 0);
        QVERIFY(frame.isVisible());
        QCOMPARE(frame.mapView()->map().cells()[0], uint16_t(1));
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
};

QTEST_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
