#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QTest>

#include "FrameTestSupport.h"
#include "InstalledUserServices.h"
#include "mapview/CKeshView.h"
#include "shell/AppSettings.h"
#include "shell/CKeshDoc.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/TerrainCommands.h"
#include "support/TerrainSets.h"
#include "tileview/CTerrainPanel.h"

using namespace kesh;
using namespace kesh::ui;

namespace {

constexpr int kTile = 8;

// 16 tiles of 8 x 8, tile i in colour i + 1, and a 6 x 5 map of tile 0 with
// `set`.
void SetUp(Document& doc, const TerrainSet& set) {
    TileSet& tiles = doc.tiles();
    tiles.format().width = kTile;
    tiles.format().height = kTile;
    tiles.InitTileSet();
    std::vector<uint8_t> pixels(kTile * kTile);
    for (int i = 0; i < 16; ++i) {
        std::fill(pixels.begin(), pixels.end(), uint8_t(i + 1));
        tiles.tiles().Append(pixels.data(), 0);
    }
    tiles.touch();
    QVERIFY(doc.map().AllocateCells(6, 5).ok());
    QVERIFY(doc.SetTerrainSet(set, false).ok());
}

// The 16-tile set without tile 4, the one with 풀 at its south-east corner
// only: the cell beyond a filled block's top-left corner has no tile.
TerrainSet LackingOne() {
    TerrainSet set = terrainsets::CornerSet16();
    set.tiles.erase(set.tiles.begin() + 4);
    return set;
}

} // namespace

class TerrainToolsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { IsolateSettings(); }
    void init() { OpenSettings()->clear(); }

    // A drag of the brush, its moves jumping over corners, is one step that
    // gives the map PaintTerrain gives at every corner on the way; undo
    // takes the whole of it back. The brush and the paint tool take turns.
    void brushDragIsOneStepLikeThePaintCalls() {
        InstalledUserServices user;
        CMainFrame frame;
        Document& doc = frame.document()->data();
        QAction* brush = frame.action(ID_EDIT_TERRAINBRUSH);
        QVERIFY(!brush->isEnabled());
        SetUp(doc, terrainsets::CornerSet16());
        QVERIFY(ShowActive(frame));
        QVERIFY(brush->isEnabled());
        QCOMPARE(frame.terrainPanel()->terrain(), 1);

        frame.action(ID_EDIT_PAINTTOOL)->trigger();
        brush->trigger();
        QVERIFY(brush->isChecked());
        QVERIFY(!frame.action(ID_EDIT_PAINTTOOL)->isChecked());
        QCOMPARE(frame.mapView()->tool(), &frame.terrainCommands().brush());

        const std::vector<uint16_t> before = doc.map().cells();
        const uint64_t revision = doc.historyRevision();
        QWidget* vp = frame.mapView()->viewport();
        QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(9, 9)); // corner (1, 1)
        QTest::mouseMove(vp, QPoint(30, 11));                    // (4, 1)
        QTest::mouseMove(vp, QPoint(29, 35));                    // (4, 4)
        QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(29, 35));
        QCOMPARE(doc.historyRevision(), revision + 1);
        QCOMPARE(QString::fromStdString(doc.UndoName()), QStringLiteral("지형 붓"));

        Document expected;
        SetUp(expected, terrainsets::CornerSet16());
        for (Point p : {Point{1, 1}, Point{2, 1}, Point{3, 1}, Point{4, 1}, Point{4, 2},
                        Point{4, 3}, Point{4, 4}})
            expected.PaintTerrain(p, 1);
        expected.EndStroke();
        QVERIFY(doc.map().cells() != before);
        QCOMPARE(doc.map().cells(), expected.map().cells());

        QVERIFY(doc.Undo());
        QCOMPARE(doc.map().cells(), before);

        frame.action(ID_EDIT_PAINTTOOL)->trigger();
        QVERIFY(!brush->isChecked());
        QCOMPARE(frame.mapView()->tool(), nullptr);
    }

    // 지형 채우기 sets the corners of the selected cells as one step; the
    // status bar counts the cells the set had no tile for, and the panel
    // shows the combination it lacks.
    void fillCoversTheSelectionsCornersAndCountsTheUnmatched() {
        InstalledUserServices user;
        CMainFrame frame;
        Document& doc = frame.document()->data();
        SetUp(doc, LackingOne());
        QVERIFY(ShowActive(frame));
        QVERIFY(frame.terrainPanel()->isVisible());
        QCOMPARE(frame.terrainPanel()->gaps().size(), size_t(1));
        QCOMPARE(frame.terrainPanel()->gapTitle()->text(), QStringLiteral("없는 조합: 1개"));

        // Cells (1, 1) to (3, 2), in map pixels.
        frame.mapView()->viewState().m_rcSelect = {kTile, kTile, 4 * kTile - 1, 3 * kTile - 1};
        const uint64_t revision = doc.historyRevision();
        frame.action(ID_EDIT_TERRAINFILL)->trigger();
        QCOMPARE(doc.historyRevision(), revision + 1);
        QCOMPARE(QString::fromStdString(doc.UndoName()), QStringLiteral("지형 채우기"));
        for (int y = 0; y < doc.terrain().valuesHigh(); ++y)
            for (int x = 0; x < doc.terrain().valuesWide(); ++x)
                QCOMPARE(int(doc.terrain().value(x, y)), x >= 1 && x <= 4 && y >= 1 && y <= 3);
        QVERIFY(doc.terrainUnmatched() > 0);
        QCOMPARE(frame.statusBarWidget()->currentMessage(),
                 TerrainCommands::UnmatchedNotice(doc.terrainUnmatched()));
    }
};

QTEST_MAIN(TerrainToolsTest)
#include "TerrainToolsTest.moc"
