#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

#include "InstalledUserServices.h"
#include "ViewHarness.h"
#include "base/Messages.h"
#include "edit/Zoom.h"

using kesh::kEmptyCell;

namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

bool AllBlack(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != kBlack) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

class TileViewTest : public QObject {
    Q_OBJECT
private slots:
    void sevenTilesWrapToThreePerRow() {
        ViewHarness h(200, 100, 200);
        h.AddTiles(7);
        const QImage shot = ViewHarness::Grab(h.tiles);
        QCOMPARE(h.tiles->tilesPerRow(), 3);
        QCOMPARE(h.tiles->scrollHeight(), 96);
        QCOMPARE(shot.pixel(16, 16), h.Colour(1));
        QCOMPARE(shot.pixel(80, 16), h.Colour(3));
        QCOMPARE(shot.pixel(16, 48), h.Colour(4));
        QCOMPARE(shot.pixel(10, 70), h.Colour(7));
        // Places 7 and 8 of the last row: a 2 x 2 white marker in the middle.
        for (const int left : {32, 64}) {
            QCOMPARE(shot.pixel(left + 15, 79), kWhite);
            QCOMPARE(shot.pixel(left + 16, 80), kWhite);
            QCOMPARE(shot.pixel(left + 14, 79), kBlack);
            QCOMPARE(shot.pixel(left + 17, 80), kBlack);
        }
        // Right of the last whole column and below the grid: background.
        QCOMPARE(shot.pixel(98, 10), kBlack);
        QCOMPARE(shot.pixel(40, 120), kBlack);
    }

    // Black outside white, so one ring shows on any tile colours.
    void twoColourFrameSurroundsCurrentTile() {
        ViewHarness h(200, 100, 200);
        h.AddTiles(7);
        h.tiles->SelectTile(4); // place (1, 1): x 32..63, y 32..63
        const QImage shot = ViewHarness::Grab(h.tiles);
        for (const QPoint outer :
             {QPoint(30, 45), QPoint(45, 30), QPoint(65, 45), QPoint(45, 65)}) {
            QCOMPARE(shot.pixel(outer), kBlack);
        }
        for (const QPoint inner :
             {QPoint(31, 45), QPoint(45, 31), QPoint(64, 45), QPoint(45, 64)}) {
            QCOMPARE(shot.pixel(inner), kWhite);
        }
        QCOMPARE(shot.pixel(45, 45), h.Colour(5));
        // Tile 0 keeps no frame.
        QCOMPARE(shot.pixel(33, 10), h.Colour(2));
    }

    // Small tiles start at 2x until the user picks a zoom.
    void smallTilesStartAtTwiceTheirSize() {
        const struct {
            int width, height, step;
        } sizes[] = {{8, 8, kesh::kZoomActual + 1},
                     {16, 16, kesh::kZoomActual + 1},
                     {16, 17, kesh::kZoomActual},
                     {32, 32, kesh::kZoomActual}};
        for (const auto& s : sizes) {
            QCOMPARE(kesh::ui::CTile1View::StartZoomFor(s.width, s.height), s.step);
        }
    }

    void theZoomFollowsTheTileSizeUntilTheUserPicksOne() {
        ViewHarness h(200, 100, 200);
        const auto resize = [&h](int side) {
            h.doc.ChangeTiles("size", false, [side](kesh::TileSet& set) {
                set.format().width = set.format().height = side;
                set.InitTileSet();
            });
        };
        resize(16);
        QCOMPARE(h.tiles->zoomStep(), kesh::kZoomActual + 1);
        resize(32);
        QCOMPARE(h.tiles->zoomStep(), kesh::kZoomActual);
        h.tiles->SetZoom(kesh::kZoomActual); // the user's from now on
        resize(8);
        QCOMPARE(h.tiles->zoomStep(), kesh::kZoomActual);
        QVERIFY(h.tiles->zoomChosen());
    }

    void hoveringATileNamesItAndCountsItsCells() {
        ViewHarness h(200, 100, 200);
        h.AddTiles(3);
        std::fill(h.doc.map().cells().begin(), h.doc.map().cells().end(), kEmptyCell);
        h.doc.map().cells()[0] = 2;
        h.doc.map().cells()[7] = 2;
        QCOMPARE(h.tiles->TileAt(QPoint(40, 10)), 1);
        QCOMPARE(h.tiles->TileAt(QPoint(40, 40)), -1); // past the last tile
        QCOMPARE(h.doc.currentTile(), 0);              // hovering picks nothing
        QCOMPARE(h.tiles->TileTip(2), QStringLiteral("타일 2\n지도에서 2칸에 쓰임"));
        QCOMPARE(h.tiles->TileTip(1), QStringLiteral("타일 1\n지도에서 0칸에 쓰임"));
    }

    void emptySetShowsOnlyBackground() {
        ViewHarness h(200, 100, 200);
        QVERIFY(AllBlack(ViewHarness::Grab(h.tiles)));
        QCOMPARE(h.tiles->scrollHeight(), 0);
        QCOMPARE(h.tiles->verticalScrollBar()->maximum(), 0);
    }

    void viewNarrowerThanATileShowsAndSelectsNothing() {
        ViewHarness h(200, 20, 200);
        h.AddTiles(3);
        QVERIFY(AllBlack(ViewHarness::Grab(h.tiles)));
        QCOMPARE(h.tiles->tilesPerRow(), 0);
        QCOMPARE(h.tiles->scrollHeight(), 96);
        for (const auto key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up}) {
            QTest::keyClick(h.tiles, key);
        }
        QCOMPARE(h.tiles->current(), 0);
        QTest::mouseClick(h.tiles->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(h.tiles->current(), 0);
    }

    void arrowKeysMoveWithinTheTiles() {
        ViewHarness h(200, 100, 200);
        h.AddTiles(7);
        h.tiles->SelectTile(4);
        QTest::keyClick(h.tiles, Qt::Key_Left);
        QCOMPARE(h.tiles->current(), 3);
        h.tiles->SelectTile(4);
        QTest::keyClick(h.tiles, Qt::Key_Up);
        QCOMPARE(h.tiles->current(), 1);
        QCOMPARE(h.bar->tileNumber(), 1);
        h.tiles->SelectTile(4);
        QTest::keyClick(h.tiles, Qt::Key_Down); // 7 is no tile
        QCOMPARE(h.tiles->current(), 4);
        h.tiles->SelectTile(3);
        QTest::keyClick(h.tiles, Qt::Key_Down);
        QCOMPARE(h.tiles->current(), 6);
        // Refused moves change nothing.
        QTest::keyClick(h.tiles, Qt::Key_Right);
        QCOMPARE(h.tiles->current(), 6);
        QCOMPARE(h.bar->tileNumber(), h.tiles->current()); // one current tile, shown by the bar
        h.tiles->SelectTile(0);
        QTest::keyClick(h.tiles, Qt::Key_Left);
        QTest::keyClick(h.tiles, Qt::Key_Up);
        QCOMPARE(h.tiles->current(), 0);
        QCOMPARE(h.bar->tileNumber(), h.tiles->current()); // one current tile, shown by the bar
    }

    void movesScrollTheNewTileIntoView() {
        ViewHarness h(200, 100, 64); // two rows visible of four
        h.AddTiles(12);
        ViewHarness::Grab(h.tiles);
        QCOMPARE(h.tiles->verticalScrollBar()->maximum(), 64);
        h.tiles->SelectTile(3);
        QTest::keyClick(h.tiles, Qt::Key_Down);
        QCOMPARE(h.tiles->current(), 6);
        QCOMPARE(h.tiles->GetScrollPosition().y(), 32);
        QTest::keyClick(h.tiles, Qt::Key_Up);
        QCOMPARE(h.tiles->GetScrollPosition().y(), 32);
        QTest::keyClick(h.tiles, Qt::Key_Up);
        QCOMPARE(h.tiles->current(), 0);
        QCOMPARE(h.tiles->GetScrollPosition().y(), 0);
    }

    void clicksSelectTilesAndTheBarFollows() {
        ViewHarness h(200, 100, 200);
        h.AddTiles(7);
        QTest::mouseClick(h.tiles->viewport(), Qt::LeftButton, {}, QPoint(48, 48));
        QCOMPARE(h.tiles->current(), 4);
        QCOMPARE(h.bar->tileNumber(), 4);
        QCOMPARE(h.bar->numberBox()->text(), QStringLiteral("4"));
        // Beside the last whole column, and on an empty place: no tile, nothing changes.
        for (const QPoint beside : {QPoint(97, 10), QPoint(40, 70), QPoint(40, 150)}) {
            QTest::mouseClick(h.tiles->viewport(), Qt::LeftButton, {}, beside);
            QCOMPARE(h.tiles->current(), 4);
            QCOMPARE(h.bar->tileNumber(), 4);
        }
    }

    void selectTileIgnoresTheCurrentAndMissingTiles() {
        ViewHarness h(200, 100, 200);
        h.AddTiles(3);
        h.tiles->SelectTile(0);
        h.tiles->SelectTile(3);
        h.tiles->SelectTile(kEmptyCell);
        QCOMPARE(h.tiles->current(), 0);
        QCOMPARE(h.bar->tileNumber(), h.tiles->current()); // one current tile, shown by the bar
        h.tiles->SelectTile(2);
        QCOMPARE(h.tiles->current(), 2);
        QCOMPARE(h.bar->tileNumber(), 2);
    }

    void drawTileScalesThroughTheColourTable() {
        ViewHarness h(200, 100, 200);
        kesh::TileSet& set = h.doc.tiles();
        std::vector<uint8_t> pixels(32 * 32, 1);
        std::fill(pixels.begin() + 32 * 16, pixels.end(), uint8_t(2));
        set.tiles().Append(pixels.data(), 0);
        set.touch();

        QImage image(64, 64, QImage::Format_RGB32);
        image.fill(Qt::black);
        {
            QPainter dc(&image);
            QCOMPARE(h.tiles->DrawTile(dc, 0, 0, 0, 64, 64), 1);
            QCOMPARE(h.tiles->DrawTile(dc, 1, 0, 0, 10, 20), 0);
        }
        QCOMPARE(image.pixel(10, 40), h.Colour(2));
        QCOMPARE(image.pixel(60, 31), h.Colour(1));
        QCOMPARE(image.pixel(60, 32), h.Colour(2));
        // No tile 1: the marker at (10 / 2 - 1, 20 / 2 - 1).
        QCOMPARE(image.pixel(4, 9), kWhite);
        QCOMPARE(image.pixel(5, 10), kWhite);

        // A new palette shows at the next drawing.
        kesh::Palette palette;
        palette.rgb[3] = 63;
        palette.rgb[5] = 16;
        set.SetPalette(palette);
        {
            QPainter dc(&image);
            h.tiles->DrawTile(dc, 0, 0, 0);
        }
        QCOMPARE(image.pixel(3, 3), qRgb(252, 0, 64));
    }

    void deleteRenumbersTheMapCells() {
        InstalledUserServices user;
        ViewHarness h(200, 100, 200);
        h.AddTiles(5);
        auto& cells = h.doc.map().cells();
        const std::vector<uint16_t> before = {0, 2, 3, 4, kEmptyCell};
        std::copy(before.begin(), before.end(), cells.begin());
        h.tiles->SelectTile(2);
        user.ok();
        QTest::keyClick(h.tiles, Qt::Key_Delete);

        QCOMPARE(user.transcript(),
                 std::vector<std::string>{std::string("okcancel: ") + kesh::msg::kAskDeleteTile});
        QCOMPARE(h.tiles->GetTileCount(), 4);
        QCOMPARE(std::vector<uint16_t>(cells.begin(), cells.begin() + 5),
                 (std::vector<uint16_t>{0, kEmptyCell, 2, 3, kEmptyCell}));
        QCOMPARE(h.tiles->current(), 2);
        QVERIFY(h.doc.IsModified());
        QCOMPARE(h.bar->tileNumber(), 2);
        // Place 2 now shows the former tile 3.
        QCOMPARE(ViewHarness::Grab(h.tiles).pixel(80, 16), h.Colour(4));
    }

    void cancelledDeleteChangesNothing() {
        InstalledUserServices user;
        ViewHarness h(200, 100, 200);
        h.AddTiles(3);
        h.doc.map().cells()[0] = 2;
        h.tiles->SelectTile(1);
        user.cancel();
        QTest::keyClick(h.tiles, Qt::Key_Delete);
        QCOMPARE(user.calls().size(), size_t(1));
        QCOMPARE(h.tiles->GetTileCount(), 3);
        QCOMPARE(h.doc.map().cells()[0], uint16_t(2));
        QVERIFY(!h.doc.IsModified());
    }

    void deletingTheLastTilesMovesTheCurrentDown() {
        InstalledUserServices user;
        ViewHarness h(200, 100, 200);
        h.AddTiles(2);
        h.tiles->SelectTile(1);
        user.ok();
        h.commands.OnTileDelete();
        QCOMPARE(h.tiles->current(), 0);
        QCOMPARE(h.bar->numberBox()->text(), QStringLiteral("0"));
        user.ok();
        h.commands.OnTileDelete();
        QCOMPARE(h.tiles->GetTileCount(), 0);
        QCOMPARE(h.tiles->current(), -1);
        // The bar keeps showing the last tile it could show.
        QCOMPARE(h.bar->tileNumber(), -1);
        QCOMPARE(h.bar->numberBox()->text(), QStringLiteral("0"));
    }

    void deleteWithoutACurrentTileLeavesTheMapAlone() {
        InstalledUserServices user;
        ViewHarness h(200, 100, 200);
        h.doc.map().cells()[0] = 0;
        h.doc.map().cells()[1] = 5;
        user.ok();
        QTest::keyClick(h.tiles, Qt::Key_Delete);
        QVERIFY(user.calls().empty());
        QCOMPARE(h.doc.map().cells()[0], uint16_t(0));
        QCOMPARE(h.doc.map().cells()[1], uint16_t(5));
        QVERIFY(!h.doc.IsModified());
    }
};

QTEST_MAIN(TileViewTest)
#include "TileViewTest.moc"
