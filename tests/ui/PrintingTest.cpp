#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "FrameTestSupport.h"
#include "InstalledUserServices.h"
#include "mapview/CKeshView.h"
#include "shell/CKeshDoc.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/ViewPrinting.h"
#include "support/TestTiles.h"
#include "tileview/CTile1View.h"

using namespace kesh::ui;

class PrintingTest : public QObject {
    Q_OBJECT

    // A 4 x 3 map of 8 x 8 tiles: cell (c, r) holds tile (c + r) % 3, but
    // the last cell is empty.
    static void Fill(CMainFrame& frame) {
        kesh::TileSet& set = frame.document()->data().tiles();
        kesh::test::MakeTiles(set, 8, 8, 3);
        kesh::MapModel& map = frame.document()->data().map();
        QVERIFY(map.AllocateCells(4, 3));
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 4; ++c) {
                map.cells()[size_t(r * 4 + c)] = uint16_t((c + r) % 3);
            }
        }
        map.cells().back() = kesh::kEmptyCell;
    }

private slots:
    void initTestCase() { IsolateSettings(); }

    void theWholeMapIsDrawnForPrinting() {
        InstalledUserServices user;
        CMainFrame frame;
        frame.resize(300, 200);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        Fill(frame);
        // Scrolled away and narrower than the map: printing is not the window.
        frame.mapView()->resize(10, 10);
        QCOMPARE(PrintExtent(frame.mapView()), QSize(32, 24));

        QImage image(32, 24, QImage::Format_RGB32);
        image.fill(Qt::black);
        {
            QPainter dc(&image);
            DrawForPrint(dc, frame.mapView());
        }
        const kesh::TileSet& set = frame.document()->data().tiles();
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 4; ++c) {
                if (r == 2 && c == 3) {
                    continue;
                }
                // The pixel at (1, 0) of tile n is TilePixels(.., n)[1].
                const int tile = (c + r) % 3;
                const uint8_t index = kesh::test::TilePixels(8, 8, tile)[1];
                QCOMPARE(image.pixel(c * 8 + 1, r * 8), QRgb(set.argbOf(index)));
            }
        }
        // The empty cell shows the marker of a missing tile.
        QCOMPARE(image.pixel(3 * 8 + 4, 2 * 8 + 4), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(3 * 8 + 1, 2 * 8 + 1), qRgb(0, 0, 0));
    }

    void theTileSetPrintsAsItsViewLaysItOut() {
        InstalledUserServices user;
        CMainFrame frame;
        frame.resize(1200, 400);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        Fill(frame);
        CTile1View* tiles = frame.tileView();
        tiles->OnPrepareDC();
        const int perRow = tiles->tilesPerRow();
        QVERIFY(perRow > 0);
        const int rows = (3 + perRow - 1) / perRow;
        QCOMPARE(PrintExtent(tiles), QSize(perRow * 8, rows * 8));
        QVERIFY(PrintExtent(nullptr).isEmpty());
    }

    void printingToAPdfFileWritesIt() {
        InstalledUserServices user;
        CMainFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        Fill(frame);
        QTemporaryDir dir;
        for (QWidget* view :
             {static_cast<QWidget*>(frame.mapView()), static_cast<QWidget*>(frame.tileView())}) {
            const QString path = dir.filePath(view == frame.mapView() ? "map.pdf" : "tiles.pdf");
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            QVERIFY(PrintView(printer, view));
            QVERIFY(QFileInfo(path).size() > 0);
        }
        // A printer that cannot start says so.
        QPrinter broken(QPrinter::HighResolution);
        broken.setOutputFormat(QPrinter::PdfFormat);
        broken.setOutputFileName(QStringLiteral("/no/such/dir/out.pdf"));
        QVERIFY(!PrintView(broken, frame.mapView()));
    }

    void ctrlPAndThePreviewItemOpenTheirDialogs() {
        InstalledUserServices user;
        CMainFrame frame;
        QVERIFY(ShowActive(frame));
        Fill(frame);
        QStringList seen;
        auto closeNext = [&] {
            QTimer::singleShot(0, &frame, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                seen << (modal ? QString::fromLatin1(modal->metaObject()->className()) : QString());
                if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                    dialog->reject();
                }
            });
        };
        closeNext();
        QTest::keyClick(frame.mapView(), Qt::Key_P, Qt::ControlModifier);
        closeNext();
        frame.action(ID_FILE_PRINT_PREVIEW)->trigger();
        QCOMPARE(seen, (QStringList{QStringLiteral("QPrintDialog"),
                                    QStringLiteral("QPrintPreviewDialog")}));
        QVERIFY(user.calls().empty());
    }

    void printsAtScreenSizeOrShrunkToThePage() {
        // 1200 dpi: 12.5 printer pixels per screen pixel while it fits.
        QCOMPARE(PrintScale(QSize(100, 50), QSize(9000, 12000), 1200), 12.5);
        // Too wide, or too tall: the page decides.
        QCOMPARE(PrintScale(QSize(3000, 50), QSize(9000, 12000), 1200), 3.0);
        QCOMPARE(PrintScale(QSize(10, 6000), QSize(9000, 12000), 1200), 2.0);
    }
};

QTEST_MAIN(PrintingTest)
#include "PrintingTest.moc"
