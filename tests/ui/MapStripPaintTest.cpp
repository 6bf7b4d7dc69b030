// The map view composes its cells into strips; what it draws must be exactly
// what drawing every cell by itself through the tile set view gives.
#include <QPainter>
#include <QTest>

#include "ViewHarness.h"
#include "widgets/EdgePainting.h"

namespace {

// Tiles of w x h whose every pixel differs from its neighbours, so a strip
// shifted by a pixel or a row cannot pass.
void MakeTiles(ViewHarness& h, int w, int hgt, int count) {
    kesh::TileSet& set = h.doc.tiles();
    set.format().width = w;
    set.format().height = hgt;
    set.InitTileSet();
    std::vector<uint8_t> pixels(size_t(w) * size_t(hgt));
    for (int t = 0; t < count; ++t) {
        for (size_t p = 0; p < pixels.size(); ++p) {
            pixels[p] = uint8_t((t * 37 + p * 11 + p / size_t(w)) % 128);
        }
        set.tiles().Append(pixels.data(), 0);
    }
    set.touch();
}

// Cells naming tiles, some empty, some naming tiles the set does not have.
void FillMap(ViewHarness& h, int32_t cols, int32_t rows, int tileCount) {
    kesh::MapModel& map = h.doc.map();
    map.AllocateCells(cols, rows);
    uint32_t seed = 99;
    for (uint16_t& cell : map.cells()) {
        seed = seed * 1664525u + 1013904223u;
        const uint32_t r = seed >> 8;
        cell = r % 11 == 0 ? kesh::kEmptyCell : uint16_t(r % uint32_t(tileCount + 2));
    }
}

// The view's client area drawn cell by cell, as the map view drew it before:
// black, every cell through DrawTile, the current cell's frame, the selection.
QImage Reference(ViewHarness& h, QSize size, QRect damage,
                 QImage::Format format = QImage::Format_ARGB32_Premultiplied) {
    QImage image(size, format);
    image.fill(Qt::green);
    QPainter dc(&image);
    dc.setClipRect(damage);
    dc.fillRect(damage, Qt::black);
    const QPoint scroll = h.map->GetScrollPosition();
    dc.translate(-scroll);
    const kesh::MapModel& map = h.doc.map();
    const kesh::MapViewState& state = h.map->viewState();
    const int w = h.tiles->tileWidth();
    const int hgt = h.tiles->tileHeight();
    for (int row = 0; row < map.height(); ++row) {
        for (int col = 0; col < map.width(); ++col) {
            const QRect cell(col * w - scroll.x(), row * hgt - scroll.y(), w, hgt);
            if (cell.intersects(damage)) {
                const uint16_t value = map.cellAt(col, row);
                h.tiles->DrawTile(dc, value == kesh::kEmptyCell ? -1 : value, col * w, row * hgt);
            }
        }
    }
    const int x = state.curCol(map) * w;
    const int y = state.curRow(map) * hgt;
    kesh::ui::DrawRaisedEdge(dc, x - 2, y - 2, x + w + 2, y + hgt + 2);
    const kesh::Rect& sel = state.m_rcSelect;
    kesh::ui::DrawFocusRect(dc, sel.left, sel.top, sel.right, sel.bottom);
    return image;
}

// Into an image of a 32-bit format the rows are composed in place; into any
// other they go through a strip image.
QImage Drawn(ViewHarness& h, QSize size, QRect damage,
             QImage::Format format = QImage::Format_ARGB32_Premultiplied) {
    QImage image(size, format);
    image.fill(Qt::green);
    // The region is drawn with its top-left corner at the offset given.
    h.map->viewport()->render(&image, damage.topLeft(), QRegion(damage));
    return image;
}

} // namespace

class MapStripPaintTest : public QObject {
    Q_OBJECT
private slots:
    void stripsDrawWhatCellByCellDraws_data() {
        QTest::addColumn<int>("tileWidth");
        QTest::addColumn<int>("tileHeight");
        QTest::addColumn<QPoint>("scroll");
        QTest::addColumn<int>("format");
        const int argb = QImage::Format_ARGB32_Premultiplied;
        const int rgb888 = QImage::Format_RGB888;
        QTest::newRow("16x16 at the origin") << 16 << 16 << QPoint(0, 0) << argb;
        QTest::newRow("16x16 scrolled by odd amounts") << 16 << 16 << QPoint(37, 21) << argb;
        QTest::newRow("8x8 scrolled") << 8 << 8 << QPoint(203, 95) << argb;
        QTest::newRow("5x3 scrolled") << 5 << 3 << QPoint(11, 7) << argb;
        QTest::newRow("32x24 at the far corner") << 32 << 24 << QPoint(100000, 100000) << argb;
        QTest::newRow("2x2") << 2 << 2 << QPoint(3, 1) << argb;
        QTest::newRow("1x4, cell by cell") << 1 << 4 << QPoint(5, 5) << argb;
        QTest::newRow("RGB32 target") << 16 << 16 << QPoint(37, 21) << int(QImage::Format_RGB32);
        QTest::newRow("16x16 through a strip") << 16 << 16 << QPoint(37, 21) << rgb888;
        QTest::newRow("8x8 through a strip") << 8 << 8 << QPoint(203, 95) << rgb888;
    }

    void stripsDrawWhatCellByCellDraws() {
        QFETCH(int, tileWidth);
        QFETCH(int, tileHeight);
        QFETCH(QPoint, scroll);
        QFETCH(int, format);
        ViewHarness h(300, 100, 200);
        QVERIFY(h.exposed);
        MakeTiles(h, tileWidth, tileHeight, 20);
        FillMap(h, 120, 90, 20);
        h.map->viewState().m_nCurCell = 3 * 120 + 4;
        h.map->viewState().m_rcSelect = {tileWidth, tileHeight, 5 * tileWidth - 1,
                                         4 * tileHeight - 1};
        h.map->OnPrepareDC();
        h.map->ScrollToPosition(scroll);
        const QSize size = h.map->viewport()->size();
        // The whole area, then damaged parts that cut cells anywhere.
        for (const QRect& damage :
             {QRect(QPoint(0, 0), size), QRect(7, 3, 31, 45), QRect(1, 50, 298, 1),
              QRect(150, 0, 1, 200), QRect(299, 199, 1, 1)}) {
            const auto f = QImage::Format(format);
            const QImage drawn = Drawn(h, size, damage, f);
            const QImage reference = Reference(h, size, damage, f);
            QVERIFY2(drawn == reference, qPrintable(QStringLiteral("damage %1,%2 %3x%4")
                                                        .arg(damage.x())
                                                        .arg(damage.y())
                                                        .arg(damage.width())
                                                        .arg(damage.height())));
        }
    }

    void aTileListOfAnotherSizeIsStillDrawnScaled() {
        ViewHarness h(300, 100, 200);
        QVERIFY(h.exposed);
        MakeTiles(h, 8, 8, 4);
        FillMap(h, 60, 40, 4);
        // The set's tile size changed without its tiles: DrawTile scales them.
        h.doc.tiles().format().width = 12;
        h.map->OnPrepareDC();
        const QSize size = h.map->viewport()->size();
        const QRect all(QPoint(0, 0), size);
        QVERIFY(Drawn(h, size, all) == Reference(h, size, all));
    }
};

QTEST_MAIN(MapStripPaintTest)
#include "MapStripPaintTest.moc"
