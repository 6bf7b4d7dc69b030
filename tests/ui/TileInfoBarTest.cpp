#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include "ViewHarness.h"

using kesh::ui::CTileInfoBar;

namespace {

QString CheckedBits(const CTileInfoBar& bar) {
    QString bits;
    for (int b = 0; b < 32; ++b) {
        bits += bar.bitBox(b)->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
    }
    return bits;
}

// Tile 0 has the attribute 0xFFFFFF00, tile 1 has 0x80000001.
void AddAttributeTiles(ViewHarness& h) {
    h.AddTiles(1, 1, 0xFFFFFF00u);
    h.AddTiles(1, 2, 0x80000001u);
}

} // namespace

class TileInfoBarTest : public QObject {
    Q_OBJECT
private slots:
    void previewKeepsTheTilesProportions() {
        QCOMPARE(CTileInfoBar::FitPreview({130, 104}, {32, 16}), QRect(0, 19, 130, 65));
        QCOMPARE(CTileInfoBar::FitPreview({130, 104}, {16, 32}), QRect(39, 0, 52, 104));
        QCOMPARE(CTileInfoBar::FitPreview({130, 104}, {32, 32}), QRect(13, 0, 104, 104));
        QVERIFY(CTileInfoBar::FitPreview({130, 104}, {0, 32}).isEmpty());
    }

    void startsEmptyWithDisabledBoxes() {
        kesh::Document doc;
        kesh::ui::TilePainter painter(doc.tiles());
        CTileInfoBar bar(doc, painter);
        QVERIFY(bar.numberBox()->text().isEmpty());
        QVERIFY(bar.numberBox()->isReadOnly());
        QCOMPARE(CheckedBits(bar), QString(32, QLatin1Char('0')));
        for (int b = 0; b < 32; ++b) {
            QVERIFY(!bar.bitBox(b)->isEnabled());
        }
        QCOMPARE(bar.bitBox(0)->objectName(), QStringLiteral("bit1020"));
        QCOMPARE(bar.bitBox(26)->objectName(), QStringLiteral("bit1046"));
        QCOMPARE(bar.bitBox(27)->objectName(), QStringLiteral("bit1049"));
        QCOMPARE(bar.bitBox(31)->objectName(), QStringLiteral("bit1053"));
        QCOMPARE(bar.allowedAreas(), Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
        QVERIFY(bar.features().testFlag(QDockWidget::DockWidgetFloatable));
    }

    void showsAllBitsOfTheClickedTile() {
        ViewHarness h(200, 100, 200);
        AddAttributeTiles(h);
        h.doc.tiles().format().attrWidth = 2;
        QTest::mouseClick(h.tiles->viewport(), Qt::LeftButton, {}, QPoint(40, 10));
        QCOMPARE(h.bar->tileNumber(), 1);
        QCOMPARE(h.bar->numberBox()->text(), QStringLiteral("1"));
        QCOMPARE(CheckedBits(*h.bar), QStringLiteral("10000000000000000000000000000001"));
        // The panel is a display: clicking a box changes nothing.
        QTest::mouseClick(h.bar->bitBox(3), Qt::LeftButton);
        QVERIFY(!h.bar->bitBox(3)->isChecked());
    }

    void narrowAttributesKeepTheHigherBoxes() {
        ViewHarness h(200, 100, 200);
        AddAttributeTiles(h);
        h.doc.tiles().format().attrWidth = 2;
        h.bar->Refresh(); // tile 0
        QCOMPARE(CheckedBits(*h.bar), QStringLiteral("00000000111111111111111111111111"));
        h.doc.tiles().format().attrWidth = 0;
        h.tiles->SelectTile(1);
        QCOMPARE(CheckedBits(*h.bar), QStringLiteral("10000000111111111111111111111111"));
        h.doc.tiles().format().attrWidth = 1;
        h.tiles->SelectTile(0);
        QCOMPARE(CheckedBits(*h.bar), QStringLiteral("00000000111111111111111111111111"));
        h.tiles->SelectTile(1);
        QCOMPARE(CheckedBits(*h.bar), QStringLiteral("10000000000000001111111111111111"));
    }

    void aNumberWithoutTileLeavesTheControls() {
        ViewHarness h(200, 100, 200);
        AddAttributeTiles(h);
        h.doc.tiles().format().attrWidth = 2;
        h.tiles->SelectTile(1);
        h.doc.SetCurrentTile(5);
        QCOMPARE(h.bar->tileNumber(), 5);
        QCOMPARE(h.bar->numberBox()->text(), QStringLiteral("1"));
        QCOMPARE(CheckedBits(*h.bar), QStringLiteral("10000000000000000000000000000001"));
    }

    void previewDrawsTheTileWithWhiteMargins() {
        ViewHarness h(200, 100, 200);
        kesh::TileSet& set = h.doc.tiles();
        set.format().width = 32;
        set.format().height = 16;
        set.InitTileSet();
        h.AddTiles(1, 9);
        h.bar->Refresh();
        QWidget* preview = h.bar->previewControl();
        const QImage shot = preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect fit = CTileInfoBar::FitPreview(preview->size(), {32, 16});
        QVERIFY(fit.y() > 1);
        const int midX = fit.center().x();
        QCOMPARE(shot.pixel(midX, fit.center().y()), h.Colour(9));
        QCOMPARE(shot.pixel(midX, 1), qRgb(255, 255, 255));
        QCOMPARE(shot.pixel(midX, fit.y() - 1), qRgb(255, 255, 255));
        QCOMPARE(shot.pixel(midX, fit.bottom() + 1), qRgb(255, 255, 255));
        QCOMPARE(shot.pixel(midX, shot.height() - 2), qRgb(255, 255, 255));
        QCOMPARE(shot.pixel(midX, shot.height() - 1), qRgb(0, 0, 0));
        QCOMPARE(shot.pixel(midX, 0), qRgb(0, 0, 0));
    }
};

QTEST_MAIN(TileInfoBarTest)
#include "TileInfoBarTest.moc"
