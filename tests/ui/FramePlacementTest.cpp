#include <QSettings>
#include <QTest>
#include <QToolBar>

#include "FrameTestSupport.h"
#include "InstalledUserServices.h"
#include "shell/AppSettings.h"
#include "shell/CMainFrame.h"
#include "tileview/CTile1View.h"
#include "tileview/CTileInfoBar.h"
#include "widgets/CSplitterWnd.h"

using namespace kesh::ui;

class FramePlacementTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { IsolateSettings(); }
    void init() { RemoveSettings(); }

    void theSettingsStoreIsTheProgramsOwn() {
        const auto settings = OpenSettings();
        QCOMPARE(settings->organizationName(),
                 QStringLiteral("Local AppWizard-Generated Applications"));
        QCOMPARE(settings->applicationName(), QStringLiteral("kesh"));
    }

    void placementComesBackAfterARestart() {
        InstalledUserServices user;
        QSize size;
        QPoint pos;
        {
            CMainFrame frame;
            frame.resize(760, 520);
            frame.move(40, 30);
            QVERIFY(ShowActive(frame));
            frame.splitter()->setSizes({250, 200});
            frame.addDockWidget(Qt::LeftDockWidgetArea, frame.tileInfoBar());
            frame.addToolBar(Qt::BottomToolBarArea, frame.toolBar());
            QCoreApplication::processEvents();
            size = frame.size();
            pos = frame.pos();
            QVERIFY(frame.close());
        }
        CMainFrame frame;
        QVERIFY(ShowActive(frame));
        QCOMPARE(frame.size(), size);
        QCOMPARE(frame.pos(), pos);
        QCOMPARE(frame.splitter()->sizes().first(), 250);
        QCOMPARE(frame.dockWidgetArea(frame.tileInfoBar()), Qt::LeftDockWidgetArea);
        QCOMPARE(frame.toolBarArea(frame.toolBar()), Qt::BottomToolBarArea);
    }

    // A first start, and a start on settings that are no placement at all.
    void withoutAUsablePlacementTheDefaultsAreUsed_data() {
        QTest::addColumn<bool>("damaged");
        QTest::newRow("first start") << false;
        QTest::newRow("damaged settings") << true;
    }

    void withoutAUsablePlacementTheDefaultsAreUsed() {
        QFETCH(bool, damaged);
        if (damaged) {
            const auto settings = OpenSettings();
            settings->setValue(QStringLiteral("Frame/Geometry"), QByteArray("junk"));
            settings->setValue(QStringLiteral("Frame/State"), QByteArray("junk"));
            settings->setValue(QStringLiteral("Frame/MapColumn"), QStringLiteral("wide"));
        }
        InstalledUserServices user;
        CMainFrame frame;
        const int createdWidth = frame.width();
        QVERIFY(ShowActive(frame));
        const QList<int> sizes = frame.splitter()->sizes();
        QCOMPARE(sizes[0], std::min(CMainFrame::MapColumnWidth(createdWidth), sizes[0] + sizes[1]));
        QCOMPARE(frame.dockWidgetArea(frame.tileInfoBar()), Qt::RightDockWidgetArea);
        QCOMPARE(frame.toolBarArea(frame.toolBar()), Qt::TopToolBarArea);
    }
};

QTEST_MAIN(FramePlacementTest)
#include "FramePlacementTest.moc"
