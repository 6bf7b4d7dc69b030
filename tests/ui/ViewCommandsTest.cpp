#include <memory>

#include <QAction>
#include <QLabel>
#include <QSettings>
#include <QTest>
#include <QToolBar>

#include "FrameTestSupport.h"
#include "InstalledUserServices.h"
#include "mapview/CKeshView.h"
#include "shell/AppSettings.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "tileview/CTile1View.h"

using namespace kesh;
using namespace kesh::ui;

class ViewCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { IsolateSettings(); }
    void init() { OpenSettings()->clear(); }

    void zoomKeysStepTheMapAndComeBackAtTheNextStart() {
        InstalledUserServices user;
        {
            CMainFrame frame;
            QVERIFY(ShowActive(frame));
            CKeshView* map = frame.mapView();
            QCOMPARE(map->zoomStep(), kZoomActual);
            QTest::keyClick(&frame, Qt::Key_Plus, Qt::ControlModifier);
            QCOMPARE(map->zoomStep(), kZoomActual + 1);
            QTest::keyClick(&frame, Qt::Key_Equal, Qt::ControlModifier);
            QCOMPARE(map->zoomStep(), kZoomActual + 2);
            QTest::keyClick(&frame, Qt::Key_Minus, Qt::ControlModifier);
            QCOMPARE(map->zoomStep(), kZoomActual + 1);
            QTest::keyClick(&frame, Qt::Key_0, Qt::ControlModifier);
            QCOMPARE(map->zoomStep(), kZoomActual);
            for (int i = 0; i < 5; ++i) {
                frame.action(ID_VIEW_ZOOMOUT)->trigger();
            }
            QCOMPARE(map->zoomStep(), 0);
            // The tile set view keeps its own zoom.
            QCOMPARE(frame.tileView()->zoomStep(), kZoomActual);
            frame.tileView()->SetZoom(kZoomActual + 1);
        }
        CMainFrame again;
        QCOMPARE(again.mapView()->zoomStep(), 0);
        QCOMPARE(again.tileView()->zoomStep(), kZoomActual + 1);
    }

    void gridItemTicksDrawsInBothViewsAndIsRemembered() {
        InstalledUserServices user;
        {
            CMainFrame frame;
            QVERIFY(ShowActive(frame));
            QAction* grid = frame.action(ID_VIEW_GRID);
            QVERIFY(!grid->isChecked());
            QVERIFY(!frame.mapView()->gridShown());
            QTest::keyClick(&frame, Qt::Key_G, Qt::ControlModifier);
            QVERIFY(grid->isChecked());
            QVERIFY(frame.mapView()->gridShown());
            QVERIFY(frame.tileView()->gridShown());
        }
        {
            CMainFrame again;
            QVERIFY(again.action(ID_VIEW_GRID)->isChecked());
            QVERIFY(again.mapView()->gridShown());
            again.action(ID_VIEW_GRID)->trigger();
            QVERIFY(!again.tileView()->gridShown());
        }
        CMainFrame third;
        QVERIFY(!third.mapView()->gridShown());
    }

    void paintToolIsATickedButtonThatStartsOff() {
        InstalledUserServices user;
        CMainFrame frame;
        QAction* tool = frame.action(ID_EDIT_PAINTTOOL);
        QVERIFY(tool->isCheckable());
        QVERIFY(!tool->isChecked());
        QVERIFY(frame.toolBar()->actions().contains(tool));
        QVERIFY(!frame.mapView()->paintTool());
        tool->trigger();
        QVERIFY(frame.mapView()->paintTool());
        tool->trigger();
        QVERIFY(!frame.mapView()->paintTool());
    }

    void pointerPaneShowsTheReadout() {
        InstalledUserServices user;
        CMainFrame frame;
        QVERIFY(ShowActive(frame));
        QLabel* pane = frame.pointerPane();
        QVERIFY(pane);
        QVERIFY(pane->text().isEmpty());
        QWidget* vp = frame.mapView()->viewport();
        QTest::mouseMove(vp, QPoint(40, 70));
        QCOMPARE(pane->text(), QStringLiteral("(1, 2) 빈 칸"));
        QCOMPARE(pane->text(), frame.mapView()->pointerReadout());
    }

    void damagedStoredZoomFallsBackToActualSize() {
        OpenSettings()->setValue(QStringLiteral("View/MapZoom"), QStringLiteral("huge"));
        OpenSettings()->setValue(QStringLiteral("View/TileZoom"), 1000);
        InstalledUserServices user;
        CMainFrame frame;
        QCOMPARE(frame.mapView()->zoomStep(), kZoomActual);
        QCOMPARE(frame.tileView()->zoomStep(), kZoomSteps - 1);
    }
};

QTEST_MAIN(ViewCommandsTest)
#include "ViewCommandsTest.moc"
