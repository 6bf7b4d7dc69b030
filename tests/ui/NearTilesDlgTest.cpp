#include <QAction>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "FrameTestSupport.h"
#include "InstalledUserServices.h"
#include "shell/CKeshDoc.h"
#include "shell/CNearTilesDlg.h"
#include "shell/CommandIds.h"
#include "shell/NearPairsModel.h"
#include "support/WorkshopTiles.h"
#include "tileview/TilePainter.h"

using kesh::ui::CNearTilesDlg;
using Lines = std::vector<std::string>;

namespace {

// Tiles of 2 x 2: 0, 1 and 2 a pixel apart in a row, 3 and 4 a pixel apart;
// tiles 1 and 4 show in two cells each, the others in one.
void MakeNearTiles(kesh::Document& doc) {
    kesh::test::MakeWorkshop(doc, {"1111", "1112", "1122", "3333", "3330"}, {1, 1, 0, 2, 3, 4, 4});
}

QStringList Rows(const CNearTilesDlg& dialog) {
    QStringList rows;
    const kesh::ui::NearPairsModel& model = dialog.pairs();
    for (int r = 0; r < model.rowCount(); ++r) {
        rows << model.data(model.index(r)).toString();
    }
    return rows;
}

} // namespace

class NearTilesDlgTest : public QObject {
    Q_OBJECT

    InstalledUserServices* user = nullptr;

private slots:
    void initTestCase() { IsolateSettings(); }
    void init() { user = new InstalledUserServices; }
    void cleanup() {
        QVERIFY(user->allUsed());
        delete user;
    }

    void listsThePairsWithinTheChosenPixels() {
        kesh::Document doc;
        MakeNearTiles(doc);
        kesh::ui::TilePainter painter(doc.tiles());
        CNearTilesDlg dialog(doc, painter);
        QCOMPARE(dialog.differingBox()->value(), 2);
        const QStringList oneApart = {
            QStringLiteral("타일 0 (셀 1개) → 타일 1 (셀 2개), 1픽셀 다름"),
            QStringLiteral("타일 2 (셀 1개) → 타일 1 (셀 2개), 1픽셀 다름"),
            QStringLiteral("타일 3 (셀 1개) → 타일 4 (셀 2개), 1픽셀 다름"),
        };
        QCOMPARE(Rows(dialog), oneApart + QStringList{QStringLiteral(
                                              "타일 2 (셀 1개) → 타일 0 (셀 1개), 2픽셀 다름")});
        dialog.differingBox()->setValue(1);
        QCOMPARE(Rows(dialog), oneApart);

        // The rows are drawn with the tiles' own colours, and the pixel in
        // which the first pair differs (the bottom right one) is outlined.
        dialog.show();
        const QImage shot = dialog.pairList()->viewport()->grab().toImage();
        QCOMPARE(shot.pixel(10, 10) & 0xFFFFFFu, doc.tiles().argbOf(1) & 0xFFFFFFu);
        QCOMPARE(shot.pixel(6 + 24, 6 + 30) & 0xFFFFFFu, 0xFF00FFu);
        QCOMPARE(shot.pixel(6 + 10, 6 + 30) & 0xFFFFFFu, doc.tiles().argbOf(1) & 0xFFFFFFu);
    }

    void mergingAPairIsOneStepAndTheListIsFoundAgain() {
        kesh::Document doc;
        MakeNearTiles(doc);
        kesh::ui::TilePainter painter(doc.tiles());
        CNearTilesDlg dialog(doc, painter);
        dialog.pairList()->setCurrentIndex(dialog.pairs().index(2)); // 3 into 4
        QTest::mouseClick(dialog.mergeButton(), Qt::LeftButton);

        QCOMPARE(doc.history().size(), size_t(1));
        QCOMPARE(doc.tiles().count(), 4);
        QCOMPARE(doc.map().cells(), (std::vector<uint16_t>{1, 1, 0, 2, 3, 3, 3}));
        QCOMPARE(dialog.noteLabel()->text(),
                 QStringLiteral("타일 3을 타일 4에 합쳤습니다. 셀 3개를 바꿨습니다."));
        QCOMPARE(dialog.pairs().rowCount(), 3);
        QVERIFY(doc.Undo());
        QCOMPARE(kesh::test::TileDigits(doc), (Lines{"1111", "1112", "1122", "3333", "3330"}));
        QCOMPARE(doc.map().cells(), (std::vector<uint16_t>{1, 1, 0, 2, 3, 4, 4}));
        // The list follows a change made elsewhere.
        QCOMPARE(dialog.pairs().rowCount(), 4);
    }

    void mergingEveryPairTellsTheSummary() {
        kesh::Document doc;
        MakeNearTiles(doc);
        kesh::ui::TilePainter painter(doc.tiles());
        CNearTilesDlg dialog(doc, painter);
        dialog.differingBox()->setValue(1);
        QTest::mouseClick(dialog.mergeAllButton(), Qt::LeftButton);
        QCOMPARE(doc.history().size(), size_t(1));
        QCOMPARE(user->messages(),
                 (Lines{"비슷한 타일 2쌍을 합쳤습니다.\n타일 5개 → 3개, 셀 7개를 바꿨습니다."}));
        QCOMPARE(dialog.pairs().rowCount(), 1);
    }

    void theTileMenuRunsTheCleanUps() {
        kesh::ui::CMainFrame frame;
        QVERIFY(ShowActive(frame));
        kesh::Document& doc = frame.document()->data();
        kesh::test::MakeWorkshop(doc, {"1111", "2222", "1111", "3333"}, {0, 2, 3});
        frame.action(kesh::ui::ID_TILE_REMOVEUNUSED)->trigger();
        frame.action(kesh::ui::ID_TILE_REMOVEUNUSED)->trigger();
        frame.action(kesh::ui::ID_TILE_MERGEDUPLICATES)->trigger();
        QCOMPARE(
            user->messages(),
            (Lines{"사용하지 않는 타일 1개를 지웠습니다.\n타일 4개 → 3개, 셀 2개를 바꿨습니다.",
                   "지울 타일이 없습니다.",
                   "같은 타일 1개를 합쳤습니다.\n타일 3개 → 2개, 셀 2개를 바꿨습니다."}));
        QCOMPARE(doc.history().size(), size_t(2));
        doc.MarkSaved();
    }
};

QTEST_MAIN(NearTilesDlgTest)
#include "NearTilesDlgTest.moc"
