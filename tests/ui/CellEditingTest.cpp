// The brush's cell fields in the editor: X and Y flip it, the attribute bar
// sets its palette and priority within the layout's fields; and the map
// layout dialog's cell fields, refused with the field named when bad.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTest>

#include "FrameTestSupport.h"
#include "ViewHarness.h"
#include "formatdlg/CMapFormatDlg.h"
#include "layout/PlatformPresets.h"
#include "shell/CommandIds.h"
#include "support/CellMaps.h"

using namespace kesh::cellbit;

namespace {

class CellEditingTest : public QObject {
    Q_OBJECT
private slots:
    void brushKeys_data() {
        QTest::addColumn<bool>("fields");
        QTest::addColumn<QList<int>>("keys"); // key | modifiers
        QTest::addColumn<int>("brush");
        const int ctrl = int(Qt::ControlModifier);
        QTest::newRow("X") << true << QList<int>{Qt::Key_X} << int(kHFlip);
        QTest::newRow("Y") << true << QList<int>{Qt::Key_Y} << int(kVFlip);
        QTest::newRow("X Y") << true << QList<int>{Qt::Key_X, Qt::Key_Y} << int(kFlips);
        QTest::newRow("X twice") << true << QList<int>{Qt::Key_X, Qt::Key_X} << 0;
        QTest::newRow("Ctrl+X is not X") << true << QList<int>{Qt::Key_X | ctrl} << 0;
        QTest::newRow("no flip fields") << false << QList<int>{Qt::Key_X, Qt::Key_Y} << 0;
    }
    void brushKeys() {
        QFETCH(bool, fields);
        QFETCH(QList<int>, keys);
        QFETCH(int, brush);
        ViewHarness h(300, 100, 200);
        h.AddTiles(2);
        if (fields) {
            cellmaps::UseSnesCells(h.doc.map(), 8, 8);
        }
        for (const int key : keys) {
            QTest::keyClick(h.map, Qt::Key(key & ~int(Qt::KeyboardModifierMask)),
                            Qt::KeyboardModifiers(key & int(Qt::KeyboardModifierMask)));
        }
        QCOMPARE(int(h.doc.brushAttr()), brush);
    }

    // Shown only with the fields; no palette past the layout's last.
    void attributeBar() {
        ViewHarness h(300, 100, 200);
        h.AddTiles(2);
        QVERIFY(h.bar->paletteBox()->isHidden());
        QVERIFY(h.bar->priorityBox()->isHidden());
        kesh::CellLayout snes = h.doc.map().format().cells;
        bool plane = false;
        snes = *kesh::CellPresetLayout("snes", plane);
        h.doc.SetMapLayout({kesh::MapItem::SizeByte, kesh::MapItem::CellFields}, "", snes);
        QVERIFY(!h.bar->paletteBox()->isHidden());
        QVERIFY(!h.bar->priorityBox()->isHidden());
        QCOMPARE(h.bar->paletteBox()->maximum(), snes.PaletteCount() - 1);
        h.bar->paletteBox()->setValue(99);
        QCOMPARE(PaletteOf(h.doc.brushAttr()), snes.PaletteCount() - 1);
        h.bar->priorityBox()->click();
        QCOMPARE(h.doc.brushAttr(), uint16_t(WithPalette(kPriority, snes.PaletteCount() - 1)));
        // The bar follows a brush changed elsewhere (a pick, a key).
        h.doc.SetBrushAttr(WithPalette(0, 3));
        QCOMPARE(h.bar->paletteBox()->value(), 3);
        QVERIFY(!h.bar->priorityBox()->isChecked());
        // The NES table's palette is in no cell word, yet offers its four palettes.
        const kesh::MapFormat nes = kesh::PlatformPresetLayouts("nes")->map;
        h.doc.SetMapLayout(nes.items, "", nes.cells);
        QVERIFY(!h.bar->paletteBox()->isHidden());
        QVERIFY(h.bar->priorityBox()->isHidden());
        QCOMPARE(h.bar->paletteBox()->maximum(), 3);
    }

    void dialogChecksFields_data() {
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QString>("refusal"); // a part of the message; empty: accepted
        QTest::addColumn<bool>("nesTable");   // the list holds the NES attribute table
        QTest::newRow("good") << "tile:0-9,hflip:10,vflip:11,palette:12-15" << "" << false;
        QTest::newRow("overlap") << "tile:0-9,hflip:9" << "hflip" << false;
        QTest::newRow("beyond the word") << "tile:0-9,palette:14-17" << "palette" << false;
        QTest::newRow("kind twice") << "tile:0-9,vflip:10,vflip:11" << "vflip" << false;
        QTest::newRow("no such field") << "tile:0-9,flop" << "flop" << false;
        QTest::newRow("NES, flips") << "tile:0-9,hflip:10,vflip:11" << "" << true;
        QTest::newRow("NES, palette") << "tile:0-9,palette:12-13" << "NES" << true;
    }
    void dialogChecksFields() {
        QFETCH(QString, fields);
        QFETCH(QString, refusal);
        QFETCH(bool, nesTable);
        kesh::MapFormatEdit edit;
        edit.items = {kesh::MapItem::SizeByte, kesh::MapItem::CellFields};
        if (nesTable) {
            edit.items.push_back(kesh::MapItem::NesAttributes);
        }
        kesh::ui::CMapFormatDlg dlg(edit, false);
        QStringList messages;
        dlg.setMessageHandler([&](QWidget*, const QString& text) { messages << text; });
        dlg.cellFields()->fieldsEdit(false)->setText(fields);
        dlg.accept();
        if (refusal.isEmpty()) {
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QVERIFY(messages.isEmpty());
            QCOMPARE(QString::fromStdString(kesh::FieldsText(dlg.Result().cells.word)), fields);
            return;
        }
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(refusal), qPrintable(messages[0]));
    }

    // The two menu items flip the selection through the document, one step each.
    void flipMenuItems() {
        IsolateSettings();
        kesh::ui::CMainFrame frame;
        QVERIFY(ShowActive(frame));
        kesh::ui::CKeshView* view = frame.mapView();
        kesh::Document& doc = view->document();
        kesh::TileSet& set = doc.tiles();
        cellmaps::MakePatternTiles(set, 8, 3);
        cellmaps::UseSnesCells(doc.map(), 4, 2);
        doc.map().SetCell(0, {1, 0});
        doc.map().SetCell(1, {2, WithPalette(0, 3)});
        // The first row's three cells selected (pixels, inclusive).
        view->viewState().m_rcSelect = {0, 0, 3 * 8 - 1, 8 - 1};
        frame.action(kesh::ui::ID_EDIT_FLIPH)->trigger();
        QCOMPARE(doc.map().cell(2), (kesh::Cell{1, kHFlip}));
        QCOMPARE(doc.map().cell(1), (kesh::Cell{2, uint16_t(WithPalette(kHFlip, 3))}));
        frame.action(kesh::ui::ID_EDIT_FLIPV)->trigger();
        QCOMPARE(doc.map().cell(2), (kesh::Cell{1, kFlips}));
        doc.Undo();
        doc.Undo();
        QCOMPARE(doc.map().cell(0), (kesh::Cell{1, 0}));
    }

    // A preset shows its fields and puts its cell items in the list.
    void dialogPreset() {
        kesh::MapFormatEdit edit;
        edit.items = {kesh::MapItem::SizeByte, kesh::MapItem::CellsByte, kesh::MapItem::TileFile};
        kesh::ui::CMapFormatDlg dlg(edit, false);
        QComboBox* presets = dlg.cellFields()->presetCombo();
        const int gbc = presets->findData(QStringLiteral("gbc"));
        QVERIFY(gbc > 0);
        presets->setCurrentIndex(gbc);
        emit presets->activated(gbc);
        const std::vector<uint8_t> want = {kesh::MapItem::SizeByte, kesh::MapItem::CellsByte,
                                           kesh::MapItem::CellAttributes, kesh::MapItem::TileFile};
        QCOMPARE(dlg.items(), want);
        dlg.accept();
        bool plane = false;
        QCOMPARE(dlg.Result().cells.plane, kesh::CellPresetLayout("gbc", plane)->plane);
        QCOMPARE(dlg.Result().cells.coloursPerPalette, uint16_t(4));
    }
};

} // namespace

QTEST_MAIN(CellEditingTest)
#include "CellEditingTest.moc"
