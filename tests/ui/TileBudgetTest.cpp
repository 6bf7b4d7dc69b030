#include <QAction>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>

#include "FrameTestSupport.h"
#include "ViewHarness.h"
#include "shell/CKeshDoc.h"
#include "shell/CReplaceTileDlg.h"
#include "shell/CommandIds.h"
#include "shell/TileBudgetPane.h"
#include "support/CellMaps.h"
#include "tileview/UsageOverlay.h"

using namespace kesh::ui;

namespace {

constexpr int kSide = 8;

// `tiles` distinct 8 x 8 tiles and a `cols` x `rows` map of byte cells, cell
// i showing tile cellOf(i), as an opened map brings them (listeners told).
void Load(kesh::Document& doc, int tiles, int cols, int rows,
          const std::function<uint16_t(int)>& cellOf) {
    QVERIFY(doc.Replace(
        [&](kesh::MapModel& map, kesh::TileSet& set) {
            cellmaps::MakePatternTiles(set, kSide, tiles);
            set.setCurrent(0);
            map.format().items = {kesh::MapItem::SizeByte, kesh::MapItem::CellsByte,
                                  kesh::MapItem::TileFile};
            kesh::Status st = map.AllocateCells(cols, rows);
            for (int i = 0; st && i < cols * rows; ++i) {
                map.cells()[size_t(i)] = cellOf(i);
            }
            return st;
        },
        std::nullopt, false));
}

std::vector<uint8_t> PixelsOf(const kesh::Document& doc, int tile) {
    const kesh::TileList& list = doc.tiles().tiles();
    const uint8_t* p = list.PixelsAt(tile);
    return {p, p + list.tileSize()};
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

class TileBudgetTest : public QObject {
    Q_OBJECT

    CMainFrame* frame = nullptr;
    kesh::Document& doc() { return frame->document()->data(); }

private slots:
    void initTestCase() { IsolateSettings(); }

    void init() {
        frame = new CMainFrame;
        frame->resize(900, 600);
        QVERIFY(ShowActive(*frame));
    }

    void cleanup() {
        doc().MarkSaved();
        delete frame;
    }

    // The pane follows tiles removed, a limit set and undone, and is red only over it.
    void budgetPaneCountsTheTilesAgainstTheLimit() {
        Load(doc(), 5, 4, 4, [](int i) { return uint16_t(i % 5); });
        TileBudgetPane* pane = frame->budgetPane();
        QCOMPARE(pane->text(), QStringLiteral("타일 5 / 256"));
        QVERIFY(!pane->overLimit());

        doc().ChangeTiles("타일 한도", true, [](kesh::TileSet& set) { set.format().tileLimit = 4; });
        QVERIFY(pane->overLimit());
        QVERIFY(pane->text().contains(QStringLiteral("color:#d00000")));
        QVERIFY(pane->text().endsWith(QStringLiteral("5</b></span> / 4")));

        QVERIFY(doc().DeleteTile(4));
        QCOMPARE(pane->text(), QStringLiteral("타일 4 / 4"));
        doc().Undo();
        doc().Undo();
        QCOMPARE(pane->text(), QStringLiteral("타일 5 / 256"));
        // Word cells number up to 65,535 tiles.
        doc().SetMapLayout({kesh::MapItem::SizeByte, kesh::MapItem::CellsWord,
                            kesh::MapItem::TileFile},
                           std::string());
        QCOMPARE(pane->text(), QStringLiteral("타일 5 / 65535"));
    }

    // The dialog opens on the tile of the current cell and on the selection;
    // only the selected cells change, in one step, and the status bar counts them.
    void replaceWithinTheSelectionChangesOnlyTheSelection() {
        Load(doc(), 3, 4, 4, [](int) { return uint16_t(1); });
        doc().SetCurrentTile(2);
        kesh::MapViewState& state = frame->mapView()->viewState();
        state.m_nCurCell = 5;
        state.m_rcSelect = {0, 0, 2 * kSide - 1, 2 * kSide - 1}; // cells (0, 0) to (1, 1)
        const std::vector<uint16_t> before = doc().map().cells();
        int opened = -1;
        bool onSelection = false;
        WhenModalShows([&](QWidget* modal) {
            auto* dialog = qobject_cast<CReplaceTileDlg*>(modal);
            opened = dialog->tileBox()->value();
            onSelection = dialog->selectionButton()->isChecked();
            dialog->accept();
        });
        frame->action(ID_TILE_REPLACE)->trigger();
        QCOMPARE(opened, 1);
        QVERIFY(onSelection);
        for (int i = 0; i < 16; ++i) {
            const bool inside = i % 4 < 2 && i / 4 < 2;
            QCOMPARE(doc().map().cells()[size_t(i)], uint16_t(inside ? 2 : 1));
        }
        QVERIFY(frame->statusBarWidget()->currentMessage().contains(QStringLiteral("4칸")));
        doc().Undo();
        QCOMPARE(doc().map().cells(), before);
    }
};

// The tile set view on its own: the usage marks and the drag.
class TileUsageViewTest : public QObject {
    Q_OBJECT

private slots:
    // Counted once per change however often the view paints; an edit is
    // counted again, and an unused tile gets its red corner.
    void usageFollowsEditsAndIsCountedOncePerChange() {
        ViewHarness h(200, 200, 200);
        QVERIFY(h.exposed);
        Load(h.doc, 3, 4, 4, [](int i) { return uint16_t(i < 6 ? 0 : 1); });
        h.tiles->SetUsageShown(true);
        h.tiles->SetZoom(kesh::kZoomActual + 2); // 32 pixels: room for the figures
        QCOMPARE(h.tiles->UsageText(0), QStringLiteral("타일 0: 6번 사용"));
        QCOMPARE(h.tiles->UsageText(2), QStringLiteral("타일 2: 쓰이지 않음"));
        const int counted = h.tiles->usage().recounts();
        for (int i = 0; i < 3; ++i) {
            h.tiles->viewport()->repaint();
        }
        QCOMPARE(h.tiles->usage().recounts(), counted);
        const int32_t cw = h.tiles->cellWidth();
        const QImage shot = ViewHarness::Grab(h.tiles);
        QCOMPARE(shot.pixel(2 * cw + cw - 2, 1), QRgb(usage::kUnusedCorner));
        QVERIFY(shot.pixel(cw - 2, 1) != QRgb(usage::kUnusedCorner));

        h.doc.FillCells({0, 3, 3, 3}, 2);
        QCOMPARE(h.tiles->UsageText(2), QStringLiteral("타일 2: 4번 사용"));
        QCOMPARE(h.tiles->UsageText(1), QStringLiteral("타일 1: 6번 사용"));
        QCOMPARE(h.tiles->usage().recounts(), counted + 1);
    }

    // A wobble stays a click; a drag moves the tile and renumbers the map in one step.
    void dragMovesATileInOneStep() {
        ViewHarness h(200, 4 * kSide * 2, 200);
        QVERIFY(h.exposed);
        Load(h.doc, 4, 4, 1, [](int i) { return uint16_t(i); });
        const std::vector<uint8_t> first = PixelsOf(h.doc, 0);
        const std::vector<uint16_t> cells = h.doc.map().cells();
        QWidget* port = h.tiles->viewport();
        const int32_t cw = h.tiles->cellWidth();
        const QPoint tile0(cw / 2, cw / 2);
        const QPoint tile1(cw + cw / 2, cw / 2);
        const QPoint tile2(2 * cw + cw / 2, cw / 2);

        SendMouse(port, QEvent::MouseButtonPress, tile1, Qt::LeftButton);
        SendMouse(port, QEvent::MouseMove, tile1 + QPoint(1, 0), Qt::LeftButton);
        QCOMPARE(h.tiles->dropTarget(), -1);
        SendMouse(port, QEvent::MouseButtonRelease, tile1 + QPoint(1, 0), Qt::NoButton);
        QCOMPARE(h.doc.currentTile(), 1);
        QCOMPARE(h.doc.map().cells(), cells);

        SendMouse(port, QEvent::MouseButtonPress, tile0, Qt::LeftButton);
        SendMouse(port, QEvent::MouseMove, tile2, Qt::LeftButton);
        QCOMPARE(h.tiles->dropTarget(), 2);
        const uint64_t revision = h.doc.historyRevision();
        SendMouse(port, QEvent::MouseButtonRelease, tile2, Qt::NoButton);
        QCOMPARE(h.tiles->dropTarget(), -1);
        QCOMPARE(PixelsOf(h.doc, 2), first);
        QCOMPARE(h.doc.map().cells(), (std::vector<uint16_t>{2, 0, 1, 3}));
        QCOMPARE(h.doc.currentTile(), 2);
        QVERIFY(h.doc.historyRevision() != revision);
        h.doc.Undo();
        QCOMPARE(PixelsOf(h.doc, 0), first);
        QCOMPARE(h.doc.map().cells(), cells);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TileBudgetTest frame;
    TileUsageViewTest view;
    return QTest::qExec(&frame, argc, argv) | QTest::qExec(&view, argc, argv);
}

#include "TileBudgetTest.moc"
