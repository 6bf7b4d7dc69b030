#include <QKeyEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QScrollBar>
#include <QTest>

#include "InstalledUserServices.h"
#include "ViewHarness.h"

using kesh::DragNone;
using kesh::DragPaint;
using kesh::DragPan;
using kesh::DragSelect;
using kesh::kEmptyCell;
using kesh::Rect;

namespace {

// Collects the region of every paint event a widget gets.
class PaintSpy : public QObject {
public:
    explicit PaintSpy(QWidget* widget) : m_widget(widget) { widget->installEventFilter(this); }
    ~PaintSpy() override { m_widget->removeEventFilter(this); }

    // Lets pending repaints happen and returns what they covered since the last call.
    QRegion take() {
        QCoreApplication::processEvents();
        QRegion painted = m_painted;
        m_painted = QRegion();
        return painted;
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (object == m_widget && event->type() == QEvent::Paint) {
            m_painted += static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }

private:
    QWidget* m_widget;
    QRegion m_painted;
};

// The point in the middle of cell (col, row) with the view not scrolled; 32 x 32 tiles.
QPoint CellPoint(int col, int row) {
    return {col * 32 + 16, row * 32 + 16};
}

int Cell(int col, int row) {
    return row * 64 + col;
}

// Three tiles (colours 10, 11, 12) with tile `current` current.
void UseTiles(ViewHarness& h, int current) {
    h.AddTiles(3, 10);
    h.tiles->SelectTile(current);
}

void SendKey(QWidget* widget, QEvent::Type type, int key, bool autoRepeat) {
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(widget, &event);
}

// The offscreen platform cannot grab the mouse and says so at every grab;
// the tests look at the view's own record of the grab instead.
QtMessageHandler g_previousHandler = nullptr;

void DropGrabWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (!text.contains(QLatin1String("does not support grabbing the mouse"))) {
        g_previousHandler(type, context, text);
    }
}

} // namespace

class MapEditingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { g_previousHandler = qInstallMessageHandler(DropGrabWarnings); }
    void cleanupTestCase() { qInstallMessageHandler(g_previousHandler); }

    void plainClickSelectsTheCellAndPaintsNothing() {
        InstalledUserServices services;
        ViewHarness h(300, 100, 200);
        UseTiles(h, 1);
        h.tiles->setFocus();
        PaintSpy spy(h.map->viewport());
        spy.take();

        QTest::mousePress(h.map->viewport(), Qt::LeftButton, {}, QPoint(70, 40));
        QCOMPARE(h.map->dragMode(), int(DragSelect));
        QCOMPARE(QWidget::mouseGrabber(), h.map->viewport());
        QCOMPARE(h.splitter->focusWidget(), h.map); // the map view is now the active one
        QTest::mouseRelease(h.map->viewport(), Qt::LeftButton, {}, QPoint(70, 40));
        QCOMPARE(h.map->dragMode(), int(DragNone));
        QCOMPARE(QWidget::mouseGrabber(), nullptr);

        const kesh::MapModel& map = h.doc.map();
        const kesh::MapViewState& state = h.map->viewState();
        QCOMPARE(state.m_nCurCell, Cell(2, 1));
        QCOMPARE(state.m_rcSelect, (Rect{64, 32, 95, 63}));
        QVERIFY(!h.doc.IsModified());
        QVERIFY(std::all_of(map.cells().begin(), map.cells().end(),
                            [](uint16_t c) { return c == kEmptyCell; }));
        // The old and the new frame were repainted.
        const QRegion painted = spy.take();
        QVERIFY(painted.contains(QRect(-2, -2, 36, 36) & h.map->viewport()->rect()));
        QVERIFY(painted.contains(QRect(62, 30, 36, 36)));

        const QImage shot = ViewHarness::Grab(h.map);
        QCOMPARE(shot.pixel(96, 40), qRgb(160, 160, 160)); // new frame, dark inner side
        QCOMPARE(shot.pixel(33, 10), qRgb(0, 0, 0));       // cell 0 lost its frame
    }

    void shiftDragPaintsATrail() {
        InstalledUserServices services;
        ViewHarness h(300, 100, 200);
        UseTiles(h, 1);
        PaintSpy spy(h.map->viewport());
        QWidget* vp = h.map->viewport();

        QTest::mousePress(vp, Qt::LeftButton, Qt::ShiftModifier, CellPoint(0, 0));
        QCOMPARE(h.map->dragMode(), int(DragPaint));
        QCOMPARE(QWidget::mouseGrabber(), vp);
        spy.take();
        QTest::mouseMove(vp, CellPoint(1, 0));
        QVERIFY(spy.take().contains(QRect(32, 0, 32, 32)));
        QTest::mouseMove(vp, CellPoint(2, 0));
        QTest::mouseMove(vp, CellPoint(2, 2));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, CellPoint(2, 2));
        QCOMPARE(h.map->dragMode(), int(DragNone));
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        // Moving without a drag paints nothing.
        QTest::mouseMove(vp, CellPoint(4, 4));

        const kesh::MapModel& map = h.doc.map();
        const kesh::MapViewState& state = h.map->viewState();
        for (int cell : {Cell(0, 0), Cell(1, 0), Cell(2, 0), Cell(2, 2)}) {
            QCOMPARE(map.cells()[size_t(cell)], uint16_t(1));
        }
        QCOMPARE(map.cells()[size_t(Cell(2, 1))], kEmptyCell); // skipped by the pointer
        QCOMPARE(map.cells()[size_t(Cell(4, 4))], kEmptyCell);
        QCOMPARE(state.m_nCurCell, Cell(2, 2));
        QVERIFY(h.doc.IsModified());
        const QImage shot = ViewHarness::Grab(h.map);
        QCOMPARE(shot.pixel(40, 10), h.Colour(11));
        QCOMPARE(shot.pixel(70, 74), h.Colour(11));
        QCOMPARE(shot.pixel(70, 40), qRgb(0, 0, 0));
    }

    void shiftClickOnAPaintedCellKeepsTheMapUnchanged() {
        InstalledUserServices services;
        ViewHarness h(300, 100, 200);
        UseTiles(h, 2);
        h.doc.map().cells()[0] = 2;
        QTest::mousePress(h.map->viewport(), Qt::LeftButton, Qt::ShiftModifier, CellPoint(0, 0));
        QVERIFY(!h.doc.IsModified());
        // Still a paint drag until the button goes up.
        QCOMPARE(h.map->dragMode(), int(DragPaint));
        QCOMPARE(QWidget::mouseGrabber(), h.map->viewport());
        QTest::mouseRelease(h.map->viewport(), Qt::LeftButton, {}, CellPoint(0, 0));
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
    }

    void selectionDragCoversWholeCellsInAnyDirection() {
        InstalledUserServices services;
        ViewHarness h(300, 100, 200);
        UseTiles(h, 1);
        QWidget* vp = h.map->viewport();
        PaintSpy spy(vp);
        const kesh::MapViewState& state = h.map->viewState();

        QTest::mousePress(vp, Qt::LeftButton, {}, CellPoint(5, 5));
        QCOMPARE(state.m_rcSelect, (Rect{160, 160, 191, 191}));
        spy.take();
        QTest::mouseMove(vp, CellPoint(2, 3) + QPoint(10, -12));
        QCOMPARE(state.m_rcSelect, (Rect{64, 96, 191, 191}));
        QVERIFY(spy.take().contains(QRect(64, 96, 128, 96)));
        QTest::mouseMove(vp, CellPoint(7, 4));
        QCOMPARE(state.m_rcSelect, (Rect{160, 128, 255, 191}));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, CellPoint(7, 4));

        QCOMPARE(state.m_nCurCell, Cell(5, 5)); // the anchor cell stays current
        QVERIFY(!h.doc.IsModified());
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        // The dotted border inverts every other pixel of the rectangle's edge.
        const QImage shot = ViewHarness::Grab(h.map);
        const bool first = shot.pixel(170, 128) == qRgb(255, 255, 255);
        const bool second = shot.pixel(171, 128) == qRgb(255, 255, 255);
        QVERIFY(first != second);
    }

    void rightDragPansWithTheHand() {
        InstalledUserServices services;
        ViewHarness h(300, 100, 200);
        UseTiles(h, 1);
        QWidget* vp = h.map->viewport();

        QTest::mousePress(vp, Qt::RightButton, {}, QPoint(150, 100));
        QCOMPARE(h.map->dragMode(), int(DragPan));
        QCOMPARE(QWidget::mouseGrabber(), vp);
        // The left button does nothing while panning.
        QTest::mousePress(vp, Qt::LeftButton, Qt::ShiftModifier, QPoint(150, 100));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(150, 100));
        QCOMPARE(h.map->dragMode(), int(DragPan));
        QTest::mouseMove(vp, QPoint(100, 60));
        QCOMPARE(h.map->GetScrollPosition(), QPoint(50, 40));
        QTest::mouseMove(vp, QPoint(200, 140)); // back past the start: held at 0
        QCOMPARE(h.map->GetScrollPosition(), QPoint(0, 0));
        QTest::mouseRelease(vp, Qt::RightButton, {}, QPoint(200, 140));
        QCOMPARE(h.map->dragMode(), int(DragNone));
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        QVERIFY(!h.doc.IsModified());
        QCOMPARE(h.map->viewState().m_nCurCell, 0);
    }

    void enterStampsAndPaintsATrailWithTheArrows() {
        InstalledUserServices services;
        ViewHarness h(300, 100, 200);
        UseTiles(h, 2);
        const kesh::MapModel& map = h.doc.map();
        const kesh::MapViewState& state = h.map->viewState();
        QWidget* view = h.map;

        QTest::keyPress(view, Qt::Key_Return);
        QCOMPARE(map.cells()[0], uint16_t(2));
        for (int i = 0; i < 3; ++i) {
            QTest::keyPress(view, Qt::Key_Right);
        }
        // The key repeats while held; that is no release.
        SendKey(view, QEvent::KeyRelease, Qt::Key_Return, true);
        SendKey(view, QEvent::KeyPress, Qt::Key_Return, true);
        QTest::keyPress(view, Qt::Key_Down);
        QTest::keyRelease(view, Qt::Key_Return);
        QTest::keyPress(view, Qt::Key_Right);
        QTest::keyPress(view, Qt::Key_Right);

        for (int cell : {Cell(0, 0), Cell(1, 0), Cell(2, 0), Cell(3, 0), Cell(3, 1)}) {
            QCOMPARE(map.cells()[size_t(cell)], uint16_t(2));
        }
        QCOMPARE(map.cells()[size_t(Cell(4, 1))], kEmptyCell);
        QCOMPARE(map.cells()[size_t(Cell(5, 1))], kEmptyCell);
        QCOMPARE(state.m_nCurCell, Cell(5, 1));
        QCOMPARE(h.map->GetScrollPosition(), QPoint(0, 0));

        // Home, then Left in column 0 does nothing, not even a repaint.
        QTest::keyPress(view, Qt::Key_Home);
        QCOMPARE(state.m_nCurCell, Cell(0, 1));
        PaintSpy spy(h.map->viewport());
        spy.take();
        QTest::keyPress(view, Qt::Key_Left);
        QCOMPARE(state.m_nCurCell, Cell(0, 1));
        QVERIFY(spy.take().isEmpty());
    }

    void pageKeysKeepTheCurrentCellInPlace() {
        InstalledUserServices services;
        ViewHarness h(300, 100, 200);
        UseTiles(h, 2);
        const kesh::MapModel& map = h.doc.map();
        const kesh::MapViewState& state = h.map->viewState();
        QWidget* view = h.map;
        h.map->viewState().m_nCurCell = Cell(4, 1);

        QTest::keyPress(view, Qt::Key_PageDown); // six rows fit in 200 pixels
        QCOMPARE(state.m_nCurCell, Cell(4, 7));
        QCOMPARE(h.map->GetScrollPosition(), QPoint(0, 192));
        QTest::keyPress(view, Qt::Key_End);
        QCOMPARE(state.m_nCurCell, Cell(63, 7));
        QCOMPARE(h.map->GetScrollPosition(), QPoint(64 * 32 - 300, 192));
        QTest::keyPress(view, Qt::Key_PageUp);
        QTest::keyPress(view, Qt::Key_PageUp);
        QCOMPARE(state.m_nCurCell, Cell(63, 0));
        QCOMPARE(h.map->GetScrollPosition(), QPoint(64 * 32 - 300, 0));
        QVERIFY(!h.doc.IsModified());
        // Page keys never paint, even with Enter held.
        QTest::keyPress(view, Qt::Key_Return);
        QTest::keyPress(view, Qt::Key_PageDown);
        QTest::keyRelease(view, Qt::Key_Return);
        QCOMPARE(state.m_nCurCell, Cell(63, 6));
        QCOMPARE(map.cells()[size_t(Cell(63, 6))], kEmptyCell);
    }

    void releasingShiftOrEnterEndsPaintingAndEnterResumesIt() {
        InstalledUserServices services;
        ViewHarness h(300, 100, 200);
        UseTiles(h, 1);
        const kesh::MapModel& map = h.doc.map();
        const kesh::MapViewState& state = h.map->viewState();
        QWidget* vp = h.map->viewport();

        QTest::mousePress(vp, Qt::LeftButton, Qt::ShiftModifier, CellPoint(1, 1));
        QTest::keyRelease(h.map, Qt::Key_Shift);
        QCOMPARE(h.map->dragMode(), int(DragNone));
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        QTest::mouseMove(vp, CellPoint(2, 1)); // the button is still down
        QCOMPARE(map.cells()[size_t(Cell(2, 1))], kEmptyCell);
        QCOMPARE(state.m_nCurCell, Cell(1, 1));

        QTest::keyPress(h.map, Qt::Key_Return); // paints where the pointer is
        QCOMPARE(h.map->dragMode(), int(DragPaint));
        QCOMPARE(QWidget::mouseGrabber(), vp);
        QCOMPARE(map.cells()[size_t(Cell(2, 1))], uint16_t(1));
        QTest::mouseMove(vp, CellPoint(3, 1));
        QTest::keyRelease(h.map, Qt::Key_Return);
        QCOMPARE(h.map->dragMode(), int(DragNone));
        QTest::mouseMove(vp, CellPoint(4, 1));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, CellPoint(4, 1));

        QCOMPARE(map.cells()[size_t(Cell(1, 1))], uint16_t(1));
        QCOMPARE(map.cells()[size_t(Cell(3, 1))], uint16_t(1));
        QCOMPARE(map.cells()[size_t(Cell(4, 1))], kEmptyCell);
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
    }

    void doubleClickPicksTheCellsTile() {
        InstalledUserServices services;
        ViewHarness h(300, 100, 200);
        UseTiles(h, 0);
        h.doc.map().cells()[size_t(Cell(2, 1))] = 2;
        QWidget* vp = h.map->viewport();

        // Empty cells name no tile: nothing is picked.
        QTest::mousePress(vp, Qt::LeftButton, {}, CellPoint(4, 4));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, CellPoint(4, 4));
        QTest::mouseDClick(vp, Qt::LeftButton, {}, CellPoint(4, 4));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, CellPoint(4, 4));
        QCOMPARE(h.tiles->current(), 0);
        QCOMPARE(h.map->viewState().m_nCurCell, Cell(4, 4));

        QTest::mousePress(vp, Qt::LeftButton, {}, CellPoint(2, 1));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, CellPoint(2, 1));
        QTest::mouseDClick(vp, Qt::LeftButton, {}, CellPoint(2, 1));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, CellPoint(2, 1));
        QCOMPARE(h.tiles->current(), 2);
        QCOMPARE(h.bar->tileNumber(), 2);
        QCOMPARE(h.map->viewState().m_nCurCell, Cell(2, 1));
        QVERIFY(!h.doc.IsModified());
        QCOMPARE(h.map->dragMode(), int(DragNone));
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
    }

    void dragsNearTheEdgeScrollOneTileAtATime() {
        InstalledUserServices services;
        ViewHarness h(300, 100, 200);
        UseTiles(h, 1);
        QWidget* vp = h.map->viewport();
        const kesh::MapModel& map = h.doc.map();
        const kesh::MapViewState& state = h.map->viewState();

        // No drag: the pointer at the edge scrolls nothing.
        QTest::mouseMove(vp, QPoint(295, 100));
        QTest::qWait(50);
        QCOMPARE(h.map->GetScrollPosition(), QPoint(0, 0));

        // A selection drag to the right edge.
        QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(150, 100));
        QTest::mouseMove(vp, QPoint(295, 100));
        QTRY_VERIFY(h.map->GetScrollPosition().x() >= 64);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(295, 100));
        const QPoint scroll = h.map->GetScrollPosition();
        QCOMPARE(scroll.x() % 32, 0);
        QCOMPARE(scroll.y(), 0);
        // The selection followed the pointer over the scrolled map.
        const int underPointer = (295 + scroll.x()) / 32 * 32;
        QCOMPARE(state.m_rcSelect, (Rect{128, 96, underPointer + 31, 127}));
        QTest::qWait(30);
        QCOMPARE(h.map->GetScrollPosition(), scroll); // stopped with the drag

        // A paint drag beyond the bottom edge paints the row under the pointer.
        QTest::mousePress(vp, Qt::LeftButton, Qt::ShiftModifier, QPoint(150, 100));
        QTest::mouseMove(vp, QPoint(150, 230));
        QTRY_VERIFY(h.map->GetScrollPosition().y() >= 64);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(150, 230));
        const QPoint down = h.map->GetScrollPosition();
        QCOMPARE(down.x(), scroll.x());
        QCOMPARE(down.y() % 32, 0);
        // Painting takes the cell under the pointer, below the window's edge.
        const int col = (150 + down.x()) / 32;
        const int row = (230 + down.y()) / 32;
        QCOMPARE(state.m_nCurCell, Cell(col, row));
        QCOMPARE(map.cells()[size_t(Cell(col, row))], uint16_t(1));
        QCOMPARE(map.cells()[size_t(Cell(col, row - 1))], uint16_t(1));
    }

    void regionCommandsRepaintTheMap() {
        InstalledUserServices services;
        ViewHarness h(300, 100, 200);
        UseTiles(h, 1);
        QWidget* vp = h.map->viewport();
        kesh::MapModel& map = h.doc.map();

        // Fill a 2 x 2 selection at (1, 1) with tile 1, then paste it at (5, 0).
        QTest::mousePress(vp, Qt::LeftButton, {}, CellPoint(1, 1));
        QTest::mouseMove(vp, CellPoint(2, 2));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, CellPoint(2, 2));
        h.map->FillRegion();
        h.map->RememberRegion();
        h.tiles->SelectTile(2);
        map.cells()[size_t(Cell(2, 2))] = 0;
        QTest::mouseClick(vp, Qt::LeftButton, {}, CellPoint(5, 0));
        h.map->PasteRegion();

        QCOMPARE(map.cells()[size_t(Cell(1, 1))], uint16_t(1));
        QCOMPARE(map.cells()[size_t(Cell(3, 3))], kEmptyCell);
        QCOMPARE(map.cells()[size_t(Cell(5, 0))], uint16_t(1));
        QCOMPARE(map.cells()[size_t(Cell(6, 1))], uint16_t(0)); // as the source is now
        QVERIFY(h.doc.IsModified());
        const QImage shot = ViewHarness::Grab(h.map);
        QCOMPARE(shot.pixel(40, 40), h.Colour(11));
        QCOMPARE(shot.pixel(170, 20), h.Colour(11));
        QCOMPARE(shot.pixel(200, 40), h.Colour(10));
    }
};

QTEST_MAIN(MapEditingTest)
#include "MapEditingTest.moc"
