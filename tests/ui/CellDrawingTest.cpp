// A cell's flip bits mirror its tile and its palette number moves its
// colours, wherever the map is drawn: the view at every zoom and with the
// grid, and printing. Each pixel is checked against the index worked out by
// hand (tests/support/CellMaps.h).
#include <QPainter>
#include <QTest>

#include "ViewHarness.h"
#include "edit/Zoom.h"
#include "shell/ViewPrinting.h"
#include "support/CellMaps.h"

namespace {

constexpr int kSide = 4;

class CellDrawingTest : public QObject {
    Q_OBJECT

    // A row of cells, tile 1 with each sample's bits, in a view wide enough.
    static void Fill(ViewHarness& h) {
        cellmaps::MakePatternTiles(h.doc.tiles(), kSide, 2);
        kesh::MapModel& map = h.doc.map();
        const auto& attrs = cellmaps::SampleAttrs();
        cellmaps::UseSnesCells(map, int32_t(attrs.size()), 8);
        for (size_t i = 0; i < attrs.size(); ++i) {
            map.SetCell(i, {1, attrs[i]});
        }
        // The current cell's frame away from the sample row.
        h.map->viewState().m_nCurCell = 7 * map.width();
        h.map->OnPrepareDC();
    }

    // Every pixel of the sample row, drawn `scale` screen pixels a map pixel
    // (from `image` at `origin`), against the hand-made expectations.
    static void Check(ViewHarness& h, const QImage& image, QPoint origin, int scale,
                      const char* where) {
        const auto& attrs = cellmaps::SampleAttrs();
        for (size_t i = 0; i < attrs.size(); ++i) {
            for (int y = 0; y < kSide * scale; ++y) {
                for (int x = 0; x < kSide * scale; ++x) {
                    const uint8_t want =
                        cellmaps::ExpectedIndex(1, attrs[i], kSide, x / scale, y / scale);
                    const QPoint at = origin + QPoint(int(i) * kSide * scale + x, y);
                    if (image.pixel(at) != h.Colour(want)) {
                        QFAIL(qPrintable(QStringLiteral("%1: cell %2 pixel (%3, %4)")
                                             .arg(where)
                                             .arg(i)
                                             .arg(x)
                                             .arg(y)));
                    }
                }
            }
        }
    }

private slots:
    void viewAtEachZoom_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("scale");
        QTest::newRow("1x, strips") << kesh::kZoomActual << 1;
        QTest::newRow("2x") << kesh::kZoomActual + 1 << 2;
        QTest::newRow("3x") << kesh::kZoomActual + 2 << 3;
    }
    void viewAtEachZoom() {
        QFETCH(int, step);
        QFETCH(int, scale);
        ViewHarness h(400, 100, 200);
        Fill(h);
        h.map->SetZoom(step);
        h.map->ScrollToPosition({0, 0});
        Check(h, ViewHarness::Grab(h.map), {0, 0}, scale, "view");
    }

    // At a pixel a cell the colour is the average of what the cell shows:
    // a flip keeps the plain cell's colour, a palette changes it.
    void onePixelCells() {
        ViewHarness h(400, 100, 200);
        Fill(h);
        h.map->SetZoom(kesh::kZoomActual - 2); // 1/4: tiles of 4 become a pixel
        h.map->ScrollToPosition({0, 0});
        const QImage image = ViewHarness::Grab(h.map);
        QCOMPARE(image.pixel(1, 0), image.pixel(0, 0));
        QCOMPARE(image.pixel(3, 0), image.pixel(0, 0));
        QVERIFY(image.pixel(4, 0) != image.pixel(0, 0));
        QVERIFY(image.pixel(5, 0) != image.pixel(4, 0));
    }

    void printing() {
        ViewHarness h(400, 100, 200);
        Fill(h);
        QImage image(kSide * 7, kSide * 8, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter dc(&image);
        kesh::ui::DrawForPrint(dc, h.map);
        dc.end();
        Check(h, image, {0, 0}, 1, "print");
    }

    // A map whose layout has no fields draws as it always did.
    void plainMapUnchanged() {
        ViewHarness h(400, 100, 200);
        cellmaps::MakePatternTiles(h.doc.tiles(), kSide, 2);
        h.doc.map().AllocateCells(3, 3);
        h.doc.map().SetCell(1, {1, 0});
        QVERIFY(!h.doc.map().hasAttrs());
        h.map->viewState().m_nCurCell = 2;
        h.map->OnPrepareDC();
        h.map->ScrollToPosition({0, 0});
        const QImage image = ViewHarness::Grab(h.map);
        QCOMPARE(image.pixel(kSide + 1, 2), h.Colour(cellmaps::PatternIndex(1, kSide, 1, 2)));
    }
};

} // namespace

QTEST_MAIN(CellDrawingTest)
#include "CellDrawingTest.moc"
