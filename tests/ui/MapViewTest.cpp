#include <QScrollBar>
#include <QTest>

#include "ViewHarness.h"

namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

} // namespace

class MapViewTest : public QObject {
    Q_OBJECT
private slots:
    void newMapShowsEmptyCellsAndTheFrameOfCellZero() {
        ViewHarness h(300, 100, 200);
        const QImage shot = ViewHarness::Grab(h.map);
        QCOMPARE(h.doc.map().width(), 64);
        QCOMPARE(h.doc.map().height(), 64);
        QCOMPARE(h.map->pixelWidth(), 2048);
        QCOMPARE(h.map->pixelHeight(), 2048);
        QCOMPARE(h.map->horizontalScrollBar()->maximum(), 2048 - 300);
        QCOMPARE(h.map->verticalScrollBar()->maximum(), 2048 - 200);
        // A dot in the middle of every visible cell, black around it.
        for (int row = 0; row < 6; ++row) {
            for (int col = 0; col < 9; ++col) {
                const int x = col * 32;
                const int y = row * 32;
                QCOMPARE(shot.pixel(x + 15, y + 15), kWhite);
                QCOMPARE(shot.pixel(x + 16, y + 16), kWhite);
                QCOMPARE(shot.pixel(x + 14, y + 15), kBlack);
                QCOMPARE(shot.pixel(x + 15, y + 17), kBlack);
                QCOMPARE(shot.pixel(x + 25, y + 8), kBlack);
            }
        }
        // Cell 0's frame shows its dark right and bottom sides.
        QCOMPARE(shot.pixel(32, 10), qRgb(160, 160, 160));
        QCOMPARE(shot.pixel(33, 10), qRgb(105, 105, 105));
        QCOMPARE(shot.pixel(10, 33), qRgb(105, 105, 105));
        QCOMPARE(shot.pixel(34, 10), kBlack);
    }

    void currentCellHasARaisedFrame() {
        ViewHarness h(300, 100, 200);
        h.map->viewState().m_nCurCell = 65; // column 1, row 1: x, y 32..63
        const QImage shot = ViewHarness::Grab(h.map);
        QCOMPARE(shot.pixel(30, 40), qRgb(227, 227, 227));
        QCOMPARE(shot.pixel(31, 40), kWhite);
        QCOMPARE(shot.pixel(40, 30), qRgb(227, 227, 227));
        QCOMPARE(shot.pixel(64, 40), qRgb(160, 160, 160));
        QCOMPARE(shot.pixel(65, 40), qRgb(105, 105, 105));
        QCOMPARE(shot.pixel(40, 65), qRgb(105, 105, 105));
        QCOMPARE(shot.pixel(33, 10), kBlack); // cell 0 lost its frame
    }

    void cellsAreDrawnThroughTheTileView() {
        ViewHarness h(300, 100, 200);
        h.AddTiles(3, 10);
        auto& cells = h.doc.map().cells();
        cells[0] = 0;
        cells[1] = 1;
        cells[2] = 2;
        cells[3] = 7; // names no tile
        h.map->viewState().m_nCurCell = 64 * 3;
        const QImage shot = ViewHarness::Grab(h.map);
        QCOMPARE(shot.pixel(5, 5), h.Colour(10));
        QCOMPARE(shot.pixel(40, 20), h.Colour(11));
        QCOMPARE(shot.pixel(90, 30), h.Colour(12));
        QCOMPARE(shot.pixel(96 + 15, 15), kWhite);
        QCOMPARE(shot.pixel(100, 5), kBlack);
    }

    void emptyCellsStayEmptyBesideTile65535() {
        ViewHarness h(300, 100, 200);
        kesh::TileSet& set = h.doc.tiles();
        set.format().width = 2;
        set.format().height = 2;
        set.InitTileSet();
        h.AddTiles(65537, 3); // tile 65535 has colour 2
        QCOMPARE(h.tiles->GetTileCount(), 65537);
        h.doc.map().cells()[1] = 65534;
        h.map->viewState().m_nCurCell = 64 * 10;
        const QImage shot = ViewHarness::Grab(h.map);
        QCOMPARE(shot.pixel(2, 0), h.Colour(1));
        QCOMPARE(shot.pixel(0, 0), kWhite);
        QCOMPARE(shot.pixel(5, 1), kWhite);
    }

    void blackBeyondASmallMap() {
        ViewHarness h(300, 100, 200);
        h.AddTiles(1);
        QVERIFY(h.doc.map().AllocateCells(2, 2).ok());
        std::fill(h.doc.map().cells().begin(), h.doc.map().cells().end(), uint16_t(0));
        const QImage shot = ViewHarness::Grab(h.map);
        QCOMPARE(shot.pixel(60, 60), h.Colour(1));
        QCOMPARE(shot.pixel(70, 10), kBlack);
        QCOMPARE(shot.pixel(10, 70), kBlack);
        QCOMPARE(shot.pixel(250, 150), kBlack);
        QCOMPARE(h.map->horizontalScrollBar()->maximum(), 0);
    }

    void scrollRangeFollowsTheTileSize() {
        ViewHarness h(300, 100, 200);
        h.doc.map().cells()[5] = 1;
        kesh::TileSet& set = h.doc.tiles();
        set.format().width = 16;
        set.format().height = 8;
        set.InitTileSet();
        h.map->viewport()->repaint();
        QCOMPARE(h.map->pixelWidth(), 1024);
        QCOMPARE(h.map->pixelHeight(), 512);
        QCOMPARE(h.map->horizontalScrollBar()->maximum(), 1024 - 300);
        QCOMPARE(h.map->verticalScrollBar()->maximum(), 512 - 200);
        QCOMPARE(h.doc.map().cells()[5], uint16_t(1));
        // Cells are now 16 x 8: the dot of cell (1, 1) sits at (16 + 7, 8 + 3).
        const QImage shot = ViewHarness::Grab(h.map);
        QCOMPARE(shot.pixel(23, 11), kWhite);
        QCOMPARE(shot.pixel(24, 12), kWhite);
    }

    void scrolledViewDrawsFromTheScrollPosition() {
        ViewHarness h(300, 100, 200);
        h.AddTiles(1, 20);
        h.doc.map().cells()[64 * 3 + 4] = 0; // x 128..159, y 96..127
        h.map->ScrollToPosition({120, 90});
        QCOMPARE(h.map->GetScrollPosition(), QPoint(120, 90));
        const QImage shot = ViewHarness::Grab(h.map);
        QCOMPARE(shot.pixel(8, 6), h.Colour(20));
        QCOMPARE(shot.pixel(39, 37), h.Colour(20));
        QCOMPARE(shot.pixel(40, 20), kBlack);
        // Cell (5, 4) at x 160, y 128: its dot at client (55, 53).
        QCOMPARE(shot.pixel(55, 53), kWhite);
    }

    void selectionIsADottedInvertedRectangle() {
        ViewHarness h(300, 100, 200);
        h.map->viewState().m_nCurCell = 64 * 5;
        const QImage plain = ViewHarness::Grab(h.map);
        h.map->viewState().m_rcSelect = {64, 32, 95, 63};
        const QImage dotted = ViewHarness::Grab(h.map);
        int inverted = 0;
        for (int x = 64; x < 95; ++x) {
            const bool changed = dotted.pixel(x, 32) != plain.pixel(x, 32);
            if (changed) {
                QCOMPARE(dotted.pixel(x, 32),
                         (qRgb(255, 255, 255) ^ plain.pixel(x, 32)) | 0xFF000000);
                ++inverted;
            }
            QVERIFY(changed != (dotted.pixel(x + 1, 32) != plain.pixel(x + 1, 32)) || x == 94);
        }
        QVERIFY(inverted >= 15 && inverted <= 16);
        // The right edge is the column before `right`; nothing beyond it changes.
        int rightEdge = 0;
        for (int y = 33; y < 62; ++y) {
            rightEdge += dotted.pixel(94, y) != plain.pixel(94, y) ? 1 : 0;
            QCOMPARE(dotted.pixel(95, y), plain.pixel(95, y));
            QCOMPARE(dotted.pixel(70, y), plain.pixel(70, y));
        }
        QVERIFY(rightEdge >= 14);
    }

    void hitTestClampsToTheNearestEdgeCell() {
        ViewHarness h(300, 100, 200);
        QVERIFY(h.doc.map().AllocateCells(10, 5).ok());
        QPoint pt(1000, 40);
        QCOMPARE(h.map->HitTestCell(pt), 19);
        QCOMPARE(pt, QPoint(288, 32));
        pt = {40, 1000};
        QCOMPARE(h.map->HitTestCell(pt), 41);
        QCOMPARE(pt, QPoint(32, 128));
        pt = {-5, -5};
        QCOMPARE(h.map->HitTestCell(pt), 0);
        QCOMPARE(h.map->viewState().m_nCurCell, 0);

        h.map->viewState().m_nCurCell = 12;
        QPoint prev;
        pt = {100, 70};
        QCOMPARE(h.map->HitTestCell(pt, &prev), 23);
        QCOMPARE(prev, QPoint(64, 32));
        QCOMPARE(h.map->viewState().m_nCurCell, 23);
    }

    void hitTestAddsTheScrollPosition() {
        ViewHarness h(300, 100, 200);
        h.map->ScrollToPosition({100, 64});
        QPoint pt(0, 0);
        QCOMPARE(h.map->HitTestCell(pt), 2 * 64 + 3);
        QCOMPARE(pt, QPoint(-4, 0));
    }

    void timerRunsOnlyDuringADrag() {
        ViewHarness h(300, 100, 200);
        h.AddTiles(2);
        QCOMPARE(h.map->timerId(), 1);
        QVERIFY(!h.map->timerRunning()); // idle: no wake-ups

        QWidget* viewport = h.map->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::ShiftModifier, QPoint(40, 40));
        QCOMPARE(h.map->dragMode(), int(kesh::DragPaint));
        QVERIFY(h.map->timerRunning());
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
        QVERIFY(!h.map->timerRunning());

        // A selection drag, and a right-button pan, which does not scroll by itself.
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
        QCOMPARE(h.map->timerRunning(), h.map->dragMode() == int(kesh::DragSelect));
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
        QTest::mousePress(viewport, Qt::RightButton, Qt::NoModifier, QPoint(40, 40));
        QVERIFY(!h.map->timerRunning());
        QTest::mouseRelease(viewport, Qt::RightButton, Qt::NoModifier, QPoint(40, 40));

        // Enter held paints until it is let go.
        h.map->setFocus();
        QTest::keyPress(h.map, Qt::Key_Return);
        QCOMPARE(h.map->timerRunning(), h.map->dragMode() == int(kesh::DragPaint));
        QTest::keyRelease(h.map, Qt::Key_Return);
        QVERIFY(!h.map->timerRunning());
    }
};

QTEST_MAIN(MapViewTest)
#include "MapViewTest.moc"
