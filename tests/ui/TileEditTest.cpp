// The 타일 편집 panel and the 픽셀 그리기 tool: the tools reach the document
// as one step each, the duplicate notice merges, and the map tool paints the
// pixel under the pointer only at 4x and more.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QToolBar>
#include <QTest>

#include "FrameTestSupport.h"
#include "InstalledUserServices.h"
#include "ViewHarness.h"
#include "doc/CommandNames.h"
#include "mapview/PixelMapTool.h"
#include "shell/CKeshDoc.h"
#include "shell/CommandIds.h"
#include "widgets/CSplitterWnd.h"
#include "support/CellMaps.h"
#include "tileview/CTileEditPanel.h"
#include "tileview/TileEditCanvas.h"
#include "tileview/TileEditSwatches.h"

using namespace kesh;
using namespace kesh::ui;

namespace {

// Tiles of `w` x `h` written as digits, row by row, and one row of `cells`;
// with `flips`, the SNES cell fields and those attribute words.
void MakeTiles(Document& doc, int w, int h, const std::vector<std::string>& tiles,
               const std::vector<uint16_t>& cells, const std::vector<uint16_t>& flips = {}) {
    doc.tiles().format().width = w;
    doc.tiles().format().height = h;
    doc.tiles().InitTileSet();
    for (const std::string& t : tiles) {
        std::vector<uint8_t> p;
        for (const char c : t)
            p.push_back(uint8_t(c - '0'));
        doc.tiles().tiles().Append(p.data(), 0);
    }
    if (flips.empty()) {
        (void)doc.map().AllocateCells(int32_t(cells.size()), 1);
    } else {
        cellmaps::UseSnesCells(doc.map(), int32_t(cells.size()), 1);
        doc.map().attrs() = flips;
    }
    doc.map().cells() = cells;
    doc.tiles().touch();
    doc.ResetHistory();
    doc.SetCurrentTile(0);
}

std::string Digits(const Document& doc, int tile) {
    const uint8_t* p = doc.tiles().tiles().PixelsAt(tile);
    std::string s;
    for (int i = 0; p && i < doc.tiles().tiles().tileSize(); ++i)
        s += char('0' + p[i]);
    return s;
}

struct Panel {
    explicit Panel(Document& doc) : panel(doc) {
        panel.resize(260, 420);
        panel.show();
        exposed = QTest::qWaitForWindowExposed(&panel);
    }
    QPoint At(int x, int y) const { return panel.canvas()->PixelRect(x, y).center(); }
    CTileEditPanel panel;
    bool exposed = false;
};

} // namespace

class TileEditTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { IsolateSettings(); }

    void toolsReachTheDocumentAsOneStep() {
        struct Case {
            const char* name;
            PixelTool tool;
            Qt::MouseButton button;
            std::vector<QPoint> drag; // tile pixels: press, moves, release
            const char* after;        // tile 0
            int steps;
            int colour; // the panel's colour afterwards
        };
        const char* before = "0000"
                             "0110"
                             "0110"
                             "0000";
        const std::vector<Case> cases = {
            {"pencil joins the moves", PixelTool::Pencil, Qt::LeftButton,
             {{0, 0}, {3, 0}, {3, 3}}, "5555011501150005", 1, 5},
            {"line", PixelTool::Line, Qt::LeftButton, {{0, 0}, {2, 1}, {3, 3}},
             "5000051001500005", 1, 5},
            {"rectangle outline", PixelTool::Rectangle, Qt::LeftButton, {{0, 0}, {3, 3}},
             "5555511551155555", 1, 5},
            {"fill within the tile", PixelTool::Fill, Qt::LeftButton, {{1, 1}},
             "0000055005500000", 1, 5},
            {"eyedropper picks", PixelTool::Picker, Qt::LeftButton, {{2, 2}}, before, 0, 1},
            {"the right button picks with any tool", PixelTool::Pencil, Qt::RightButton,
             {{1, 2}}, before, 0, 1},
        };
        for (const Case& c : cases) {
            Document doc;
            MakeTiles(doc, 4, 4, {before}, {0});
            Panel p(doc);
            QVERIFY(p.exposed);
            p.panel.SetColour(5);
            p.panel.toolButton(c.tool)->click();
            QCOMPARE(p.panel.tool(), c.tool);
            QTest::mousePress(p.panel.canvas(), c.button, {}, p.At(c.drag[0].x(), c.drag[0].y()));
            for (size_t i = 1; i < c.drag.size(); ++i)
                QTest::mouseMove(p.panel.canvas(), p.At(c.drag[i].x(), c.drag[i].y()));
            const QPoint last = c.drag.back();
            QTest::mouseRelease(p.panel.canvas(), c.button, {}, p.At(last.x(), last.y()));
            QVERIFY2(Digits(doc, 0) == c.after, c.name);
            QVERIFY2(int(doc.history().position()) == c.steps, c.name);
            QVERIFY2(p.panel.colour() == c.colour, c.name);
            doc.Undo();
            QVERIFY2(Digits(doc, 0) == before, c.name);
        }
    }

    void wholeTileButtonsAndColours() {
        Document doc;
        MakeTiles(doc, 4, 2, {"12340000"}, {0});
        Panel p(doc);
        p.panel.transformButton(TileTransform::FlipH)->click();
        QCOMPARE(Digits(doc, 0), std::string("43210000"));
        p.panel.transformButton(TileTransform::ShiftDown)->click();
        QCOMPARE(Digits(doc, 0), std::string("00004321"));
        QVERIFY(!p.panel.transformButton(TileTransform::Rotate90)->isEnabled());
        QCOMPARE(p.panel.swatches(), (CTileEditPanel::Swatches{0, 256}));
        // With sub-palettes: the brush's palette, and values within it.
        bool plane = false;
        doc.SetMapLayout({MapItem::SizeByte, MapItem::CellFields}, "",
                         *CellPresetLayout("snes", plane));
        doc.SetBrushAttr(cellbit::WithPalette(0, 2));
        QCOMPARE(p.panel.swatches(), (CTileEditPanel::Swatches{32, 16}));
        QTest::mouseClick(p.panel.swatchRow(), Qt::LeftButton, {},
                          p.panel.swatchRow()->SwatchRect(3).center());
        QCOMPARE(p.panel.colour(), uint8_t(3));
        QCOMPARE(p.panel.ShownColour(3), doc.tiles().argbOf(35));
    }

    void duplicateNoticeMerges() {
        struct Case {
            const char* name;
            std::vector<uint16_t> flips; // none: no flip fields
            const char* edited;          // tile 1 after the pencil's dot at (0, 0)
            int equal;                   // the tile the notice names, -1 none
            std::vector<uint16_t> attrsAfter;
        };
        const std::vector<Case> cases = {
            {"an exact copy", {}, "1200", 0, {}},
            {"a mirror image with flip fields", {0, 0}, "2100", 0, {0, cellbit::kHFlip}},
            {"no mirror images without flip fields", {}, "2100", -1, {}},
        };
        for (const Case& c : cases) {
            Document doc;
            const std::string start = std::string("9") + (c.edited + 1);
            MakeTiles(doc, 2, 2, {"1200", start}, {0, 1}, c.flips);
            doc.SetCurrentTile(1);
            Panel p(doc);
            QVERIFY2(!p.panel.mergeButton()->isVisibleTo(&p.panel), c.name);
            p.panel.SetColour(uint8_t(c.edited[0] - '0'));
            QTest::mouseClick(p.panel.canvas(), Qt::LeftButton, {}, p.At(0, 0));
            QVERIFY2(Digits(doc, 1) == c.edited, c.name);
            QVERIFY2(p.panel.mergeButton()->isVisibleTo(&p.panel) == (c.equal >= 0), c.name);
            if (c.equal < 0)
                continue;
            QCOMPARE(p.panel.equalNotice()->text(), QStringLiteral("타일 0과 같습니다"));
            p.panel.mergeButton()->click();
            QVERIFY2(doc.tiles().count() == 1, c.name);
            QVERIFY2(doc.map().cells() == (std::vector<uint16_t>{0, 0}), c.name);
            QVERIFY2(doc.map().attrs() == c.attrsAfter, c.name);
            QVERIFY2(!p.panel.mergeButton()->isVisibleTo(&p.panel), c.name);
        }
    }

    void mapToolPaintsAtFourTimesOnly() {
        ViewHarness h(300, 100, 200);
        QVERIFY(h.exposed);
        // Cell 1 shows tile 1 mirrored left to right.
        MakeTiles(h.doc, 4, 4, {"0000000000000000", "0000000000000000"}, {0, 1},
                  {0, cellbit::kHFlip});
        QString told;
        PixelMapTool tool(*h.map, [] { return uint8_t(7); }, [&](const QString& t) { told = t; });
        h.map->SetTool(&tool);
        QWidget* vp = h.map->viewport();

        h.map->SetZoom(kZoomActual + 2); // 3x
        h.map->ScrollToPosition({0, 0});
        QTest::mouseClick(vp, Qt::LeftButton, {}, QPoint(5 * 3 + 1, 1 * 3 + 1));
        QCOMPARE(told, PixelMapTool::RefusedText());
        QCOMPARE(Digits(h.doc, 1), std::string(16, '0'));
        QVERIFY(!h.doc.CanUndo() || h.doc.UndoName() != command::kEditTile);

        h.map->SetZoom(kZoomActual + 3); // 4x
        h.map->ScrollToPosition({0, 0});
        QCOMPARE(h.map->cellWidth(), 16);
        const uint64_t steps = h.doc.history().position();
        // Map pixels (5, 1) to (7, 1): pixels 2 ... 0 of tile 1's row 1, mirrored.
        QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(5 * 4 + 1, 1 * 4 + 2));
        QCOMPARE(Digits(h.doc, 1), std::string("0000") + "0070" + "00000000");
        QTest::mouseMove(vp, QPoint(7 * 4 + 1, 1 * 4 + 2));
        QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(7 * 4 + 1, 1 * 4 + 2));
        QCOMPARE(Digits(h.doc, 1), std::string("0000") + "7770" + "00000000");
        QCOMPARE(Digits(h.doc, 0), std::string(16, '0'));
        QCOMPARE(h.doc.history().position(), steps + 1);
        h.map->SetTool(nullptr);
    }

    void frameOpensThePanelAndKeepsOneToolOn() {
        InstalledUserServices user;
        CMainFrame frame;
        QVERIFY(ShowActive(frame));
        QVERIFY(!frame.tileEditPanel()->isVisible());
        frame.resize(1200, 800);
        QCoreApplication::processEvents();
        frame.splitter()->setSizes({500, 200});
        frame.OnCommand(ID_TILE_EDITPIXELS);
        QVERIFY(frame.tileEditPanel()->isVisible());
        // The map column makes room for the panel; the tile set keeps its width.
        const auto kept = [&] {
            const QList<int> sizes = frame.splitter()->sizes();
            return sizes.value(1) >= std::min(200, (sizes.value(0) + sizes.value(1)) / 2);
        };
        QTRY_VERIFY(kept());
        frame.tileEditPanel()->hide();
        MakeTiles(frame.document()->data(), 4, 4, {std::string(16, '0'), std::string(16, '1')},
                  {0});
        frame.splitter()->setSizes({300, 300});
        QCoreApplication::processEvents();
        frame.tileView()->OnPrepareDC();
        QPoint onTile1;
        for (int y = 0; y < 80 && onTile1.isNull(); ++y)
            for (int x = 0; x < 80 && onTile1.isNull(); ++x)
                if (frame.tileView()->TileAt({x, y}) == 1)
                    onTile1 = {x, y};
        QVERIFY(!onTile1.isNull());
        QTest::mouseDClick(frame.tileView()->viewport(), Qt::LeftButton, {}, onTile1);
        QCOMPARE(frame.tileEditPanel()->tile(), 1);
        QVERIFY(frame.tileEditPanel()->isVisible());

        QAction* pixels = frame.action(ID_EDIT_PIXELTOOL);
        QAction* paint = frame.action(ID_EDIT_PAINTTOOL);
        QVERIFY(frame.toolBar()->actions().contains(pixels));
        paint->trigger();
        pixels->trigger();
        QVERIFY(frame.mapView()->tool() != nullptr);
        QVERIFY(!paint->isChecked() && !frame.mapView()->paintTool());
        paint->trigger();
        QVERIFY(frame.mapView()->tool() == nullptr);
        QVERIFY(!pixels->isChecked() && frame.mapView()->paintTool());
        // Another map tool (지형 붓) taking the view turns the pixel tool off.
        pixels->trigger();
        QVERIFY(pixels->isChecked());
        frame.mapView()->SetTool(nullptr);
        QVERIFY(!pixels->isChecked());
    }
};

QTEST_MAIN(TileEditTest)
#include "TileEditTest.moc"
