#include <QApplication>
#include <QMessageBox>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "FrameTestSupport.h"
#include "InstalledUserServices.h"
#include "base/Messages.h"
#include "mapview/CKeshView.h"
#include "shell/CKeshDoc.h"
#include "shell/CMainFrame.h"
#include "tileview/CTile1View.h"
#include "tileview/CTileInfoBar.h"
#include "widgets/CSplitterWnd.h"

using namespace kesh::ui;

namespace {

void ShowAndSettle(CMainFrame& frame) {
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QCoreApplication::processEvents();
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { IsolateSettings(); }

    void mapColumnIsTwoThirdsOfTheClientWidth() {
        QCOMPARE(CMainFrame::MapColumnWidth(900), 600);
        QCOMPARE(CMainFrame::MapColumnWidth(1000), 666);
        QCOMPARE(CMainFrame::MapColumnWidth(1), 0);
    }

    void startsWithAnUntitledMapAndEmptyTileSet() {
        InstalledUserServices user;
        CMainFrame frame;
        const int createdWidth = frame.width();
        ShowAndSettle(frame);

        QCOMPARE(frame.windowTitle(), QStringLiteral("제목없음 - kesh"));
        QVERIFY(qobject_cast<CKeshView*>(frame.splitter()->GetPane(0, 0)));
        QVERIFY(qobject_cast<CTile1View*>(frame.splitter()->GetPane(0, 1)));
        QVERIFY(!frame.splitter()->GetPane(0, 2));
        QVERIFY(!frame.splitter()->GetPane(1, 0));
        QCOMPARE(frame.GetActiveView(), frame.splitter()->GetPane(0, 0));

        const kesh::MapModel& map = frame.mapView()->map();
        QCOMPARE(map.width(), 64);
        QCOMPARE(map.height(), 64);
        QVERIFY(std::all_of(map.cells().begin(), map.cells().end(),
                            [](uint16_t c) { return c == kesh::kEmptyCell; }));
        QVERIFY(!frame.document()->data().IsModified());
        QCOMPARE(frame.tileView()->tileWidth(), 32);
        QCOMPARE(frame.tileView()->tileHeight(), 32);
        QCOMPARE(frame.tileView()->GetTileCount(), 0);

        QCOMPARE(frame.dockWidgetArea(frame.tileInfoBar()), Qt::RightDockWidgetArea);
        QVERIFY(frame.toolBar()->isVisible());
        QVERIFY(frame.statusBarWidget()->isVisible());
        QVERIFY(user.calls().empty());

        const QList<int> sizes = frame.splitter()->sizes();
        const int room = sizes[0] + sizes[1];
        QCOMPARE(sizes[0], std::min(CMainFrame::MapColumnWidth(createdWidth), room));
    }

    void onlyTheTileColumnFollowsTheWindowWidth() {
        InstalledUserServices user;
        CMainFrame frame;
        frame.resize(900, 500);
        ShowAndSettle(frame);
        frame.splitter()->setSizes({300, 400});
        QCoreApplication::processEvents();
        const QList<int> before = frame.splitter()->sizes();
        frame.resize(1100, 500);
        QCoreApplication::processEvents();
        QList<int> after = frame.splitter()->sizes();
        QCOMPARE(after[0], before[0]);
        QCOMPARE(after[1], before[1] + 200);
        // Narrower than the map column: the map fills the splitter.
        frame.resize(frame.width() - frame.splitter()->width() + 200, 500);
        QCoreApplication::processEvents();
        after = frame.splitter()->sizes();
        QCOMPARE(after[1], 0);
    }

    void focusMakesAViewActive() {
        InstalledUserServices user;
        CMainFrame frame;
        frame.resize(1000, 600);
        ShowAndSettle(frame);
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QTest::mouseClick(frame.tileView()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(frame.GetActiveView(), static_cast<QWidget*>(frame.tileView()));
        frame.SetActiveView(frame.mapView());
        QCOMPARE(frame.GetActiveView(), static_cast<QWidget*>(frame.mapView()));
    }

    void closingAsksOnlyAboutAChangedMap() {
        InstalledUserServices user;
        {
            CMainFrame frame;
            ShowAndSettle(frame);
            frame.close();
            QVERIFY(user.calls().empty());
        }
        CMainFrame frame;
        ShowAndSettle(frame);
        frame.document()->data().MarkChanged();
        user.no();
        frame.close();
        QCOMPARE(user.transcript(),
                 std::vector<std::string>{std::string("yesno: ") + kesh::msg::kAskSaveChanged});
    }

    // The real question box: Escape and its close box keep the editor open
    // with the change; the question names the map on its second line.
    void escapeAtTheSaveQuestionKeepsTheEditorAndTheChange() {
        for (const bool closeBox : {false, true}) {
            CMainFrame frame;
            ShowAndSettle(frame);
            frame.document()->data().MarkChanged();
            QString text;
            WhenModalShows([&](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                QVERIFY(box);
                text = box->text();
                closeBox ? (void)box->close() : QTest::keyClick(box, Qt::Key_Escape);
            });
            QVERIFY(!frame.close());
            QCOMPARE(text, QStringLiteral("변경된 파일을 저장할까요?\n제목없음"));
            QVERIFY(frame.isVisible());
            QVERIFY(frame.document()->data().IsModified());
            frame.document()->data().MarkSaved();
        }
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
