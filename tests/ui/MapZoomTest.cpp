#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "ViewHarness.h"
#include "mapview/ScaledTileCache.h"
#include "shell/ViewPrinting.h"
#include "widgets/GridLines.h"

using namespace kesh;
using namespace kesh::ui;

namespace {

// The offscreen platform cannot grab the mouse and says so at every grab.
QtMessageHandler g_previousHandler = nullptr;

void DropGrabWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (!text.contains(QLatin1String("does not support grabbing the mouse"))) {
        g_previousHandler(type, context, text);
    }
}

void CtrlWheel(QWidget* target, QPoint at, int delta) {
    QWheelEvent event(QPointF(at), QPointF(target->mapToGlobal(at)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

// The cell under client point `at` without moving the current cell.
int CellAt(CKeshView* map, QPoint at) {
    return map->HitTestCell(at);
}

// Tiles 0, 1, 2 in colours 10, 11, 12; cells (0, 0) = 0, (1, 0) = 1, (0, 1) = 2.
void ThreeTiles(ViewHarness& h) {
    h.AddTiles(3, 10);
    h.doc.map().cells()[0] = 0;
    h.doc.map().cells()[1] = 1;
    h.doc.map().cells()[64] = 2;
}

} // namespace

class MapZoomTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { g_previousHandler = qInstallMessageHandler(DropGrabWarnings); }
    void cleanupTestCase() { qInstallMessageHandler(g_previousHandler); }

    void zoomedMapDrawsEachCellAtItsSizeOnScreen() {
        ViewHarness h(300, 100, 200);
        ThreeTiles(h);
        h.map->viewState().m_nCurCell = 64 * 5 + 5; // the frame away from the cells looked at
        h.map->SetZoom(kZoomActual + 1);            // 2x: 64 x 64 pixel cells
        // Zoomed around the middle of the view: the map's corner moved away.
        QCOMPARE(h.map->GetScrollPosition(), QPoint(150, 100));
        h.map->ScrollToPosition({0, 0});
        QCOMPARE(h.map->cellWidth(), 64);
        QCOMPARE(h.map->pixelWidth(), 64 * 64);
        QImage shot = ViewHarness::Grab(h.map);
        QCOMPARE(shot.pixel(1, 1), h.Colour(10));
        QCOMPARE(shot.pixel(63, 63), h.Colour(10));
        QCOMPARE(shot.pixel(64, 0), h.Colour(11));
        QCOMPARE(shot.pixel(10, 70), h.Colour(12));
        // The empty cell's marker grows with it: 4 x 4 in the middle.
        QCOMPARE(shot.pixel(128 + 30, 30), qRgb(255, 255, 255));
        QCOMPARE(shot.pixel(128 + 33, 33), qRgb(255, 255, 255));
        QCOMPARE(shot.pixel(128 + 29, 30), qRgb(0, 0, 0));

        // 1/8: cells of 4 x 4, the whole 64 x 64 map is 256 pixels across.
        h.map->SetZoom(0);
        QCOMPARE(h.map->cellWidth(), 4);
        QCOMPARE(h.map->pixelWidth(), 256);
        shot = ViewHarness::Grab(h.map);
        QCOMPARE(shot.pixel(1, 1), h.Colour(10));
        QCOMPARE(shot.pixel(5, 2), h.Colour(11));
        QCOMPARE(shot.pixel(2, 6), h.Colour(12));
        // Right of the map the view is black.
        QCOMPARE(shot.pixel(280, 10), qRgb(0, 0, 0));
    }

    void onePixelCellsShowTheTilesAverageColour() {
        ViewHarness h(300, 100, 200);
        TileSet& set = h.doc.tiles();
        set.format().width = 8;
        set.format().height = 8;
        set.InitTileSet();
        // Left half colour 1, right half colour 2.
        std::vector<uint8_t> pixels(64);
        for (size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = i % 8 < 4 ? 1 : 2;
        }
        set.tiles().Append(pixels.data(), 0);
        set.touch();
        h.doc.map().cells()[0] = 0;
        h.map->viewState().m_nCurCell = 64 * 30 + 30; // its frame away from cell 0
        h.map->SetZoom(0);
        QCOMPARE(h.map->cellWidth(), 1);
        const QImage shot = ViewHarness::Grab(h.map);
        const QRgb a = h.Colour(1);
        const QRgb b = h.Colour(2);
        const QRgb mean = qRgb((qRed(a) + qRed(b) + 1) / 2, (qGreen(a) + qGreen(b) + 1) / 2,
                               (qBlue(a) + qBlue(b) + 1) / 2);
        QCOMPARE(shot.pixel(0, 0), mean);
    }

    void ctrlWheelZoomsAroundThePointer() {
        ViewHarness h(300, 100, 200);
        h.map->ScrollToPosition({640, 960}); // column 20, row 30 at the top-left
        const QPoint pointer(150, 90);
        const int before = CellAt(h.map, QPoint(pointer));
        CtrlWheel(h.map->viewport(), pointer, 120);
        QCOMPARE(h.map->zoomStep(), kZoomActual + 1);
        QCOMPARE(CellAt(h.map, QPoint(pointer)), before);
        CtrlWheel(h.map->viewport(), pointer, -120);
        CtrlWheel(h.map->viewport(), pointer, -120);
        QCOMPARE(h.map->zoomStep(), kZoomActual - 1);
        QCOMPARE(CellAt(h.map, QPoint(pointer)), before);
        // The plain wheel scrolls and leaves the zoom alone.
        QWheelEvent plain(QPointF(pointer), QPointF(h.map->viewport()->mapToGlobal(pointer)),
                          QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(h.map->viewport(), &plain);
        QCOMPARE(h.map->zoomStep(), kZoomActual - 1);
        // The ends of the steps hold.
        for (int i = 0; i < 12; ++i) {
            CtrlWheel(h.map->viewport(), pointer, 120);
        }
        QCOMPARE(h.map->zoomStep(), kZoomSteps - 1);
    }

    void selectionAndFillKeepTheirCellsAcrossZooms() {
        ViewHarness h(300, 100, 200);
        h.AddTiles(3, 10);
        h.tiles->SelectTile(2);
        QWidget* vp = h.map->viewport();
        // Columns 1-2, rows 1-3 at 1x.
        QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(40, 40));
        QTest::mouseMove(vp, QPoint(80, 110));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(80, 110));
        h.map->SetZoom(kZoomActual + 2); // 3x
        // The map keeps the selection at 1x, where opening a tile set (which
        // snaps it to the cells of the new tile size) expects it.
        QCOMPARE(h.map->viewState().m_rcSelect, (Rect{32, 32, 95, 127}));
        h.map->viewState().ClampSelection(h.doc.map(), 32, 32);
        QCOMPARE(h.map->viewState().m_rcSelect, (Rect{32, 32, 95, 127}));
        h.map->FillRegion();
        const MapModel& m = h.doc.map();
        QCOMPARE(m.cellAt(1, 1), uint16_t(2));
        QCOMPARE(m.cellAt(2, 3), uint16_t(2));
        QCOMPARE(m.cellAt(3, 3), kEmptyCell);
        QCOMPARE(m.cellAt(1, 4), kEmptyCell);
        // A click at 1/4 (8 x 8 cells) hits the cell under it; a drag there
        // selects cells, which the map holds at 1x.
        h.map->SetZoom(1);
        h.map->ScrollToPosition({0, 0});
        QTest::mouseClick(vp, Qt::LeftButton, {}, QPoint(8 * 9 + 3, 8 * 4 + 7));
        QCOMPARE(h.map->viewState().m_nCurCell, 4 * 64 + 9);
        QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(8 * 2 + 1, 8 * 3 + 1));
        QTest::mouseMove(vp, QPoint(8 * 5 + 1, 8 * 3 + 1));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(8 * 5 + 1, 8 * 3 + 1));
        QCOMPARE(h.map->viewState().m_rcSelect, (Rect{64, 96, 6 * 32 - 1, 4 * 32 - 1}));
    }

    void pointerReadoutNamesTheCellAndItsTile() {
        ViewHarness h(300, 100, 200);
        ThreeTiles(h);
        QSignalSpy changed(h.map, &CKeshView::readoutChanged);
        QWidget* vp = h.map->viewport();
        QTest::mouseMove(vp, QPoint(40, 5));
        QCOMPARE(h.map->pointerReadout(), QStringLiteral("(1, 0) 타일 1"));
        QVERIFY(!changed.isEmpty());
        QTest::mouseMove(vp, QPoint(70, 5));
        QCOMPARE(h.map->pointerReadout(), QStringLiteral("(2, 0) 빈 칸"));
        // During a selection drag the size follows.
        QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseMove(vp, QPoint(70, 40));
        QCOMPARE(h.map->pointerReadout(), QStringLiteral("(2, 1) 빈 칸  3 × 2"));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(70, 40));
        QCOMPARE(h.map->pointerReadout(), QStringLiteral("(2, 1) 빈 칸"));
        // At 1/8 the map ends at 256 pixels: right of it there is no cell.
        h.map->SetZoom(0);
        QTest::mouseMove(vp, QPoint(270, 10));
        QCOMPARE(h.map->pointerReadout(), QString());
        QTest::mouseMove(vp, QPoint(4, 1));
        QCOMPARE(h.map->pointerReadout(), QStringLiteral("(1, 0) 타일 1"));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(vp, &leave);
        QCOMPARE(h.map->pointerReadout(), QString());
    }

    void paintToolPaintsWithThePlainButtonAndAltSelects() {
        ViewHarness h(300, 100, 200);
        h.AddTiles(3, 10);
        h.tiles->SelectTile(1);
        QWidget* vp = h.map->viewport();
        const MapModel& m = h.doc.map();
        const MapViewState& vs = h.map->viewState();
        // Off: a plain click selects and paints nothing.
        QTest::mouseClick(vp, Qt::LeftButton, {}, QPoint(40, 40));
        QCOMPARE(m.cellAt(1, 1), kEmptyCell);
        QVERIFY(!h.doc.IsModified());

        h.map->SetPaintTool(true);
        QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(40, 40));
        QCOMPARE(h.map->dragMode(), int(DragPaint));
        QTest::mouseMove(vp, QPoint(72, 40));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(72, 40));
        QCOMPARE(m.cellAt(1, 1), uint16_t(1));
        QCOMPARE(m.cellAt(2, 1), uint16_t(1));
        QVERIFY(h.doc.IsModified());
        // Alt with the button selects instead.
        QTest::mousePress(vp, Qt::LeftButton, Qt::AltModifier, QPoint(5, 100));
        QCOMPARE(h.map->dragMode(), int(DragSelect));
        QTest::mouseRelease(vp, Qt::LeftButton, Qt::AltModifier, QPoint(5, 100));
        QCOMPARE(m.cellAt(0, 3), kEmptyCell);
        QCOMPARE(vs.m_rcSelect, (Rect{0, 96, 31, 127}));

        h.map->SetPaintTool(false);
        QTest::mouseClick(vp, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(m.cellAt(0, 0), kEmptyCell);
    }

    void gridDashesLieOnTheCellBorders() {
        ViewHarness h(300, 100, 200);
        h.AddTiles(1, 10);
        std::fill(h.doc.map().cells().begin(), h.doc.map().cells().end(), uint16_t(0));
        h.map->viewState().m_nCurCell = 64 * 5 + 8; // the frame off screen
        const QImage plain = ViewHarness::Grab(h.map);
        h.map->SetGrid(true);
        const QImage grid = ViewHarness::Grab(h.map);
        // On the top and left edge of every cell the dashes, counted from the
        // cell's corner; inside the cells the tiles as before.
        // (Left of and above the current cell's frame at (254, 158).)
        for (int y = 0; y < 150; ++y) {
            for (int x = 0; x < 250; ++x) {
                const bool line = x % 32 == 0 || y % 32 == 0;
                QCOMPARE(grid.pixel(x, y), line ? GridColour(x % 32, y % 32) : plain.pixel(x, y));
            }
        }
        // Both shades appear: the lines show on a light or a dark map.
        QVERIFY(grid.pixel(32, 0) != grid.pixel(32, 4));
        // The grid follows the zoom, and scrolling keeps it on the cells.
        h.map->SetZoom(kZoomActual + 1);
        h.map->ScrollToPosition({10, 7});
        const QImage zoomed = ViewHarness::Grab(h.map);
        QCOMPARE(zoomed.pixel(64 - 10, 30), GridColour(0, 37));
        QCOMPARE(zoomed.pixel(30, 128 - 7), GridColour(40, 0));
        QCOMPARE(zoomed.pixel(64 - 9, 30), h.Colour(10));
        // Switched off, it is gone.
        h.map->SetGrid(false);
        QCOMPARE(ViewHarness::Grab(h.map).pixel(64 - 10, 30), h.Colour(10));
        h.map->SetGrid(true);
        // Cells of 4 pixels still get it, smaller ones not.
        h.map->SetZoom(0);
        h.map->ScrollToPosition({0, 0});
        QCOMPARE(ViewHarness::Grab(h.map).pixel(4, 1), GridColour(0, 1));
        TileSet& set = h.doc.tiles();
        set.format().width = 16;
        set.format().height = 16;
        set.InitTileSet();
        h.AddTiles(1, 10);
        QCOMPARE(h.map->cellWidth(), 2);
        QCOMPARE(ViewHarness::Grab(h.map).pixel(2, 1), h.Colour(10));
    }

    void paintedGridMatchesTheBakedOne() {
        // Through a moved painter, as the tile set view draws in its logical
        // pixels: the same dashes as the cells' pictures get, at any cell size.
        const QSize sizes[] = {{8, 8}, {12, 10}};
        for (const QSize cell : sizes) {
            QImage image(40, 30, QImage::Format_RGB32);
            image.fill(Qt::black);
            QPainter dc(&image);
            dc.translate(-13, -7);
            PaintGrid(dc, QRect(13, 7, 40, 30), cell.width(), cell.height());
            dc.end();
            QImage baked(cell, QImage::Format_RGB32);
            baked.fill(Qt::black);
            BakeGrid(baked);
            for (int y = 0; y < 30; ++y) {
                for (int x = 0; x < 40; ++x) {
                    const int cx = (x + 13) % cell.width();
                    const int cy = (y + 7) % cell.height();
                    QCOMPARE(image.pixel(x, y), baked.pixel(cx, cy));
                }
            }
        }
    }

    void tileViewZoomsOnItsOwn() {
        ViewHarness h(300, 200, 200);
        h.AddTiles(20, 10);
        CtrlWheel(h.tiles->viewport(), QPoint(10, 10), -120); // 1/2: 16 x 16
        QCOMPARE(h.tiles->zoomStep(), kZoomActual - 1);
        QCOMPARE(h.map->zoomStep(), kZoomActual);
        h.tiles->OnPrepareDC();
        QCOMPARE(h.tiles->tilesPerRow(), 200 / 16);
        QCOMPARE(h.tiles->HitTest(QPoint(16 * 3 + 2, 16 + 2)), 12 + 3);
        QCOMPARE(ViewHarness::Grab(h.tiles).pixel(16 * 3 + 8, 16 + 8), h.Colour(10 + 15));
        // Arrows move by the rows of the zoomed layout.
        QTest::keyClick(h.tiles, Qt::Key_Down);
        QCOMPARE(h.tiles->current(), 15); // 27 is past the last tile
        h.tiles->SelectTile(2);
        QTest::keyClick(h.tiles, Qt::Key_Down);
        QCOMPARE(h.tiles->current(), 14);
        // At 3x six tiles of 96 fit no more than twice across.
        h.tiles->SetZoom(kZoomActual + 2);
        h.tiles->OnPrepareDC();
        QCOMPARE(h.tiles->tilesPerRow(), 2);
        QCOMPARE(h.tiles->HitTest(QPoint(100, 100)), 3);
        // Tile borders with the grid on.
        h.tiles->SetGrid(true);
        QCOMPARE(ViewHarness::Grab(h.tiles).pixel(96, 50), GridColour(0, 50));
    }

    void printingIsAtActualSize() {
        ViewHarness h(300, 200, 200);
        h.AddTiles(20, 10);
        const QSize map = PrintExtent(h.map);
        const QSize tiles = PrintExtent(h.tiles);
        h.map->SetZoom(kZoomActual + 3);
        h.tiles->SetZoom(kZoomActual - 2);
        h.tiles->ScrollToPosition({0, 8});
        QCOMPARE(PrintExtent(h.map), map);
        QCOMPARE(PrintExtent(h.tiles), tiles);
        // The tile view keeps its zoom and place afterwards.
        QCOMPARE(h.tiles->zoomStep(), kZoomActual - 2);
        QCOMPARE(h.tiles->cellWidth(), 8);
    }
};

QTEST_MAIN(MapZoomTest)
#include "MapZoomTest.moc"
