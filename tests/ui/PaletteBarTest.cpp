// The palette panel: which palettes it shows for which layouts, the brush's
// palette chosen through the document, and colours shown as the console
// shows them, in the panel and in the map view alike.
#include <QLabel>
#include <QSpinBox>
#include <QTest>

#include "ViewHarness.h"
#include "support/CellMaps.h"
#include "tileview/CPaletteBar.h"

using kesh::TileItem::Palette;
using kesh::ui::CPaletteBar;
using namespace kesh::cellbit;

namespace {

using Rows = CPaletteBar::Rows;

kesh::CellLayout SnesCells() {
    bool plane = false;
    return *kesh::CellPresetLayout("snes", plane); // 3-bit palette field, 16 colours a palette
}

// The tile layout gets a Palette item of `colours` x `palettes`, as the
// layout command gives it: one step of the document.
void UsePaletteItem(kesh::Document& doc, kesh::ColourEncoding encoding, int colours, int palettes) {
    doc.ChangeTiles("layout", false, [&](kesh::TileSet& set) {
        set.format().items.push_back(Palette);
        set.format().params = {kesh::PixelEncoding::Byte8, encoding, uint16_t(colours),
                               uint16_t(palettes)};
        set.touch();
    });
}

QRgb Pixel(QWidget* widget, QPoint at) {
    return widget->grab().toImage().pixel(at);
}

} // namespace

class PaletteBarTest : public QObject {
    Q_OBJECT
private slots:
    void rowsFollowBothLayouts() {
        ViewHarness h(200, 100, 200);
        CPaletteBar bar(h.doc);
        QCOMPARE(bar.rows(), (Rows{0, 0, 0, -1}));
        QVERIFY(!bar.swatches()->isEnabled());
        QVERIFY(bar.findChild<QLabel*>(QStringLiteral("paletteNote"))->isVisibleTo(&bar));

        h.doc.SetMapLayout({kesh::MapItem::SizeByte, kesh::MapItem::CellFields}, "", SnesCells());
        QCOMPARE(bar.rows(), (Rows{8, 16, 8, 0}));
        QVERIFY(bar.swatches()->isEnabled());
        // The tile set's palettes win; the map's field still bounds the choice.
        UsePaletteItem(h.doc, kesh::ColourEncoding::Bgr555, 4, 16);
        QCOMPARE(bar.rows(), (Rows{16, 4, 8, 0}));
        h.doc.SetMapLayout({kesh::MapItem::SizeByte, kesh::MapItem::CellsByte}, "", std::nullopt);
        QCOMPARE(bar.rows(), (Rows{16, 4, 0, -1}));
    }

    void aClickSetsTheBrushPaletteThroughTheDocument() {
        ViewHarness h(200, 100, 200);
        h.doc.SetMapLayout({kesh::MapItem::SizeByte, kesh::MapItem::CellFields}, "", SnesCells());
        UsePaletteItem(h.doc, kesh::ColourEncoding::Bgr555, 16, 16);
        CPaletteBar bar(h.doc);
        bar.show();
        h.doc.SetBrushAttr(kPriority);

        QTest::mouseClick(bar.swatches(), Qt::LeftButton, {}, bar.RowRect(3).center());
        QCOMPARE(h.doc.brushAttr(), WithPalette(kPriority, 3));
        QCOMPARE(h.bar->paletteBox()->value(), 3); // the attribute bar heard it too
        QCOMPARE(bar.rows().marked, 3);
        // Rows past the map's palette field are shown but not taken.
        QTest::mouseClick(bar.swatches(), Qt::LeftButton, {}, bar.RowRect(12).center());
        QCOMPARE(h.doc.brushAttr(), WithPalette(kPriority, 3));
        // The mark follows a brush set elsewhere.
        h.bar->paletteBox()->setValue(5);
        QCOMPARE(bar.rows().marked, 5);
    }

    // Colour 51 (palette 3, colour 3) set to 0x12 0x34 0x56; BGR555 keeps 5
    // bits a channel: 2, 6, 10, widened by repeating their top bits to
    // 0x10, 0x31, 0x52 (worked out by hand).
    void coloursShowAsTheConsoleShowsThem() {
        ViewHarness h(200, 100, 200);
        cellmaps::MakePatternTiles(h.doc.tiles(), 8, 1);
        cellmaps::UseSnesCells(h.doc.map(), 4, 4);
        h.doc.map().SetCell(0, {0, WithPalette(0, 3)});
        h.map->viewState().m_nCurCell = 15; // its frame away from cell 0
        kesh::ColourTable table{};
        std::copy_n(h.doc.tiles().colourTable(), table.size(), table.begin());
        const int index = 3 * 16 + cellmaps::PatternIndex(0, 8, 2, 0);
        table[size_t(4 * index)] = 0x56;
        table[size_t(4 * index + 1)] = 0x34;
        table[size_t(4 * index + 2)] = 0x12;
        h.doc.tiles().SetColourTable(table);
        CPaletteBar bar(h.doc);
        bar.show();
        h.doc.SetBrushAttr(0); // a listener's turn, as an edit would give it
        const int colour = index - 3 * 16;
        QCOMPARE(Pixel(h.map->viewport(), {2, 0}), qRgb(0x12, 0x34, 0x56));
        QCOMPARE(Pixel(bar.swatches(), bar.SwatchRect(3, colour).center()), qRgb(0x12, 0x34, 0x56));

        UsePaletteItem(h.doc, kesh::ColourEncoding::Bgr555, 16, 8);
        QCOMPARE(Pixel(h.map->viewport(), {2, 0}), qRgb(0x10, 0x31, 0x52));
        QCOMPARE(Pixel(bar.swatches(), bar.SwatchRect(3, colour).center()), qRgb(0x10, 0x31, 0x52));
        QCOMPARE(h.doc.tiles().colourTable()[4 * index + 2],
                 uint8_t(0x12)); // the set keeps its own
    }
};

QTEST_MAIN(PaletteBarTest)
#include "PaletteBarTest.moc"
