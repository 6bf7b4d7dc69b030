#include "formatdlg/CTileFormatDlg.h"
#include "formatdlg/PlatformPresetCombo.h"
#include "formatdlg/SizeSpinBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

using kesh::TileFormatEdit;
using kesh::ui::CTileFormatDlg;

namespace {

// The tile set's layout as the view creates it.
TileFormatEdit DefaultEdit(bool locked) {
    TileFormatEdit edit;
    edit.width = 32;
    edit.height = 32;
    edit.items = {0, 4, 6, 7, 9};
    edit.sizesLocked = locked;
    return edit;
}

QStringList ListLines(const CTileFormatDlg& dlg) {
    QStringList lines;
    for (int row = 0; row < dlg.itemList()->count(); ++row) {
        lines << dlg.itemList()->item(row)->text();
    }
    return lines;
}

void TypeInto(kesh::ui::SizeSpinBox* box, const QString& text) {
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

// The byte table as "offset length text" lines.
QStringList TableLines(const kesh::ui::CFormatDlgBase& dlg) {
    QStringList lines;
    const QTableWidget* table = dlg.layoutTable();
    for (int row = 0; row < table->rowCount(); ++row) {
        lines << QStringLiteral("%1 %2 %3")
                     .arg(table->item(row, 0)->text(), table->item(row, 1)->text(),
                          table->item(row, 2)->text());
    }
    return lines;
}

QPushButton* OkButton(const CTileFormatDlg& dlg) {
    return dlg.findChild<QPushButton*>(QStringLiteral("okButton"));
}

} // namespace

class TileFormatDlgTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheViewsDefaultLayoutLocked() {
        CTileFormatDlg dlg(DefaultEdit(true));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Config"));
        QCOMPARE(dlg.widthBox()->text(), QStringLiteral("32"));
        QCOMPARE(dlg.heightBox()->text(), QStringLiteral("32"));
        QVERIFY(!dlg.widthBox()->isEnabled());
        QVERIFY(!dlg.heightBox()->isEnabled());
        QCOMPARE(ListLines(dlg),
                 QStringList({QStringLiteral("BYTE  x, y ;"), QStringLiteral("WORD  tilecount ;"),
                              QStringLiteral("타일데이터"), QStringLiteral("속성데이터"),
                              QStringLiteral("팔렛( r, g, b ) 768 byte")}));
        // The eleven plain items by code, then the two with parameters.
        QCOMPARE(dlg.itemCombo()->count(), 13);
        QCOMPARE(dlg.itemCombo()->currentIndex(), 0);
        QCOMPARE(dlg.itemCombo()->itemText(10), QStringLiteral("팔렛(RGBQUAD) 1024 byte"));
        QCOMPARE(dlg.itemCombo()->itemData(11).toInt(), int(kesh::TileItem::Pixels));
        QCOMPARE(dlg.itemCombo()->itemData(12).toInt(), int(kesh::TileItem::Palette));
        QVERIFY(!dlg.pixelCombo()->isEnabled());
        QVERIFY(!dlg.colourCombo()->isEnabled());
        QVERIFY(dlg.attrButton(0)->isChecked());
        QCOMPARE(dlg.attrButton(2)->text(), QStringLiteral("4 byte"));
        QVERIFY(!dlg.headerCheck()->isChecked());
        QVERIFY(!dlg.headerText()->isEnabled());
        QVERIFY(!dlg.headerLength()->isEnabled());

        QTest::mouseClick(OkButton(dlg), Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        const TileFormatEdit result = dlg.Result();
        QCOMPARE(result.width, 32);
        QCOMPARE(result.height, 32);
        QCOMPARE(result.attrWidth, 0);
        QCOMPARE(result.items, DefaultEdit(true).items);
        QVERIFY(!result.hasHeader);
        QVERIFY(result.header.empty());
    }

    void lockedSizeOutsideTheRangeIsKept() {
        TileFormatEdit edit = DefaultEdit(true);
        edit.width = 4;
        edit.height = 4;
        CTileFormatDlg dlg(edit);
        QStringList messages;
        dlg.setMessageHandler([&](QWidget*, const QString& text) { messages << text; });
        dlg.accept();
        QVERIFY(messages.isEmpty());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.Result().width, 4);
        QCOMPARE(dlg.Result().height, 4);
    }

    void sizesOutsideTheRangeAreRefused() {
        CTileFormatDlg dlg(DefaultEdit(false));
        QStringList messages;
        dlg.setMessageHandler([&](QWidget*, const QString& text) { messages << text; });

        TypeInto(dlg.widthBox(), QStringLiteral("130"));
        QTest::mouseClick(OkButton(dlg), Qt::LeftButton);
        QCOMPARE(messages, QStringList{QStringLiteral("8와(과) 128 사이의 정수를 입력하십시오.")});
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(dlg.Result().width, 32);

        // Width now fine, height empty: the height's message follows.
        TypeInto(dlg.widthBox(), QStringLiteral("128"));
        TypeInto(dlg.heightBox(), QString());
        dlg.accept();
        QCOMPARE(messages.last(), QStringLiteral("정수를 입력하십시오."));
        QCOMPARE(dlg.result(), int(QDialog::Rejected));

        TypeInto(dlg.heightBox(), QStringLiteral("8"));
        dlg.accept();
        QCOMPARE(messages.size(), 2);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.Result().width, 128);
        QCOMPARE(dlg.Result().height, 8);
    }

    void arrowsStopAtTheRange() {
        CTileFormatDlg dlg(DefaultEdit(false));
        dlg.widthBox()->setValue(126);
        dlg.widthBox()->stepBy(5);
        QCOMPARE(dlg.widthBox()->value(), 128);
        dlg.heightBox()->setValue(9);
        dlg.heightBox()->stepBy(-3);
        QCOMPARE(dlg.heightBox()->value(), 8);
    }

    void headerIsCutTo255Bytes() {
        CTileFormatDlg dlg(DefaultEdit(false));
        dlg.headerCheck()->setChecked(true);
        QVERIFY(dlg.headerText()->isEnabled());
        QVERIFY(dlg.headerLength()->isEnabled());

        dlg.headerText()->setPlainText(QString(300, QLatin1Char('A')));
        QCOMPARE(dlg.headerText()->toPlainText().size(), 255);
        QCOMPARE(dlg.headerLength()->text(), QStringLiteral("255"));
        QCOMPARE(dlg.headerBytes(), std::string(255, 'A'));

        // Two bytes a syllable: the cut leaves 127 whole syllables rather than split one.
        dlg.headerText()->setPlainText(QString(200, QChar(0xD55C)));
        QCOMPARE(dlg.headerText()->toPlainText().size(), 127);
        QCOMPARE(dlg.headerLength()->text(), QStringLiteral("254"));

        // A line break is stored as CR LF.
        dlg.headerText()->setPlainText(QStringLiteral("한a\nb"));
        QCOMPARE(dlg.headerLength()->text(), QStringLiteral("6"));
        QCOMPARE(dlg.headerBytes(), std::string("\xC7\xD1"
                                                "a\r\nb"));
        dlg.accept();
        QCOMPARE(dlg.Result().header, std::string("\xC7\xD1"
                                                  "a\r\nb"));
        QVERIFY(dlg.Result().hasHeader);
    }

    void headerBytesShowAsTextAndClearedBoxDropsThem() {
        TileFormatEdit edit = DefaultEdit(false);
        edit.header = "\xC7\xD1\r\nXY";
        CTileFormatDlg dlg(edit);
        QVERIFY(dlg.headerCheck()->isChecked());
        QVERIFY(dlg.headerText()->isEnabled());
        QCOMPARE(dlg.headerText()->toPlainText(), QStringLiteral("한\nXY"));
        QCOMPARE(dlg.headerLength()->text(), QStringLiteral("6"));
        QCOMPARE(dlg.Result().header, edit.header);

        dlg.headerCheck()->setChecked(false);
        QVERIFY(!dlg.headerText()->isEnabled());
        QCOMPARE(dlg.headerText()->toPlainText(), QStringLiteral("한\nXY"));
        dlg.accept();
        QVERIFY(!dlg.Result().hasHeader);
        QVERIFY(dlg.Result().header.empty());
    }

    void doubleClickDeletesTheLine() {
        CTileFormatDlg dlg(DefaultEdit(false));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QListWidget* list = dlg.itemList();
        const QRect rect = list->visualItemRect(list->item(2));
        // A real double click: press and release, then the double click.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(list->count(), 4);
        QCOMPARE(dlg.items(), (std::vector<uint8_t>{0, 4, 7, 9}));
        QCOMPARE(list->item(2)->text(), QStringLiteral("속성데이터"));

        // DEL with nothing selected does nothing.
        list->clearSelection();
        QTest::mouseClick(dlg.delButton(), Qt::LeftButton);
        QCOMPARE(list->count(), 4);
    }

    void addGoesAfterTheSelectedLine() {
        CTileFormatDlg dlg(DefaultEdit(false));
        dlg.itemList()->item(0)->setSelected(true);
        dlg.itemCombo()->setCurrentIndex(8);
        QTest::mouseClick(dlg.addButton(), Qt::LeftButton);
        QCOMPARE(dlg.itemList()->item(1)->text(), QStringLiteral("타일+속성 데이터"));
        QCOMPARE(dlg.items(), (std::vector<uint8_t>{0, 8, 4, 6, 7, 9}));

        // Without a selection the item goes to the end; duplicates are allowed.
        dlg.itemList()->clearSelection();
        dlg.itemCombo()->setCurrentIndex(6);
        QTest::mouseClick(dlg.addButton(), Qt::LeftButton);
        QCOMPARE(dlg.items(), (std::vector<uint8_t>{0, 8, 4, 6, 7, 9, 6}));
        QCOMPARE(dlg.itemList()->item(6)->text(), QStringLiteral("타일데이터"));
    }

    void addStopsAt127Items() {
        TileFormatEdit edit = DefaultEdit(false);
        edit.items.assign(126, 6);
        CTileFormatDlg dlg(edit);
        QVERIFY(dlg.addButton()->isEnabled());
        QTest::mouseClick(dlg.addButton(), Qt::LeftButton);
        QCOMPARE(dlg.items().size(), size_t(127));
        QVERIFY(!dlg.addButton()->isEnabled());
        dlg.addButton()->click();
        QCOMPARE(dlg.itemList()->count(), 127);

        dlg.itemList()->item(5)->setSelected(true);
        QTest::mouseClick(dlg.delButton(), Qt::LeftButton);
        QCOMPARE(dlg.items().size(), size_t(126));
        QVERIFY(dlg.addButton()->isEnabled());
    }

    void byteTableFollowsItemsHeaderAndAttributeWidth() {
        TileFormatEdit edit = DefaultEdit(true);
        edit.data = kesh::TileLayoutData{3, 200};
        CTileFormatDlg dlg(edit);
        QVERIFY(dlg.layoutTable()->editTriggers() == QAbstractItemView::NoEditTriggers);
        QCOMPARE(TableLines(dlg),
                 QStringList(
                     {QStringLiteral("0 2 BYTE  x, y ;"), QStringLiteral("2 2 WORD  tilecount ;"),
                      QStringLiteral("4 3072 타일데이터"), QStringLiteral("3076 3 속성데이터"),
                      QStringLiteral("3079 768 팔렛( r, g, b ) 768 byte")}));
        QCOMPARE(dlg.layoutTotal()->text(), QStringLiteral("전체 크기: 3847 바이트"));
        QVERIFY(dlg.layoutWarnings()->text().isEmpty());

        dlg.headerCheck()->setChecked(true);
        dlg.headerText()->setPlainText(QStringLiteral("지도"));
        QCOMPARE(TableLines(dlg).first(), QStringLiteral("0 4 파일 제일 처음에 들어가는 문자열"));
        QCOMPARE(dlg.layoutTotal()->text(), QStringLiteral("전체 크기: 3851 바이트"));
        dlg.attrButton(2)->click();
        QCOMPARE(TableLines(dlg)[4], QStringLiteral("3080 12 속성데이터"));
        dlg.headerCheck()->setChecked(false);
        QCOMPARE(TableLines(dlg).size(), 5);

        dlg.itemList()->setCurrentRow(4);
        dlg.delButton()->click();
        QCOMPARE(TableLines(dlg).size(), 4);
        QCOMPARE(dlg.layoutTotal()->text(), QStringLiteral("전체 크기: 3088 바이트"));
        dlg.itemCombo()->setCurrentIndex(10);
        dlg.addButton()->click();
        QCOMPARE(TableLines(dlg).last(), QStringLiteral("3088 1024 팔렛(RGBQUAD) 1024 byte"));
    }

    void warningsNameTheItemAndFollowTheEdits() {
        TileFormatEdit edit = DefaultEdit(true);
        edit.data = kesh::TileLayoutData{300, 0x1234};
        edit.items = {3, 0, 6, 7};
        CTileFormatDlg dlg(edit);
        const QString warnings = dlg.layoutWarnings()->text();
        QVERIFY(warnings.contains(QStringLiteral("BYTE  tilecount ;: 타일 300개")));
        QVERIFY(warnings.contains(QStringLiteral("속성데이터: 속성 값 4660")));
        dlg.attrButton(1)->click();
        QVERIFY(!dlg.layoutWarnings()->text().contains(QStringLiteral("속성데이터")));

        // Without its size the tile data cannot be read back.
        dlg.itemList()->setCurrentRow(1);
        dlg.delButton()->click();
        QVERIFY(dlg.layoutWarnings()->text().contains(
            QStringLiteral("타일데이터: 파일 형식중에 타일의 크기가 없습니다.")));
    }

    // "타일 한도" opens on the limit in force, warns while the tiles exceed
    // it, and gives back the layout's own unless changed (the most: none).
    void tileLimitRoundTrips_data() {
        QTest::addColumn<uint32_t>("own");
        QTest::addColumn<int>("typed"); // 0: left alone
        QTest::addColumn<int>("shown");
        QTest::addColumn<uint32_t>("result");
        QTest::addColumn<bool>("warned");
        QTest::newRow("none, left") << 0u << 0 << 256 << 0u << false;
        QTest::newRow("none, lowered") << 0u << 64 << 256 << 64u << true;
        QTest::newRow("above the cells, left") << 512u << 0 << 256 << 512u << false;
        QTest::newRow("own, raised to the most") << 64u << 256 << 64 << 0u << false;
        QTest::newRow("own, left") << 64u << 0 << 64 << 64u << true;
    }
    void tileLimitRoundTrips() {
        QFETCH(uint32_t, own);
        QFETCH(int, typed);
        QFETCH(int, shown);
        QFETCH(uint32_t, result);
        QFETCH(bool, warned);
        TileFormatEdit edit = DefaultEdit(true);
        edit.tileLimit = own;
        edit.mostTiles = 256;
        edit.storedTiles = 100;
        CTileFormatDlg dlg(edit);
        QCOMPARE(dlg.tileLimitBox()->value(), shown);
        QCOMPARE(dlg.tileLimitBox()->maximum(), 256);
        if (typed > 0) {
            dlg.tileLimitBox()->setValue(typed);
        }
        QCOMPARE(dlg.layoutWarnings()->text().contains(QStringLiteral("타일 100개가 한도")), warned);
        dlg.accept();
        QCOMPARE(dlg.Result().tileLimit, result);
    }

    void aNewTileSetCountsNoTilesAndIsNotWarnedEmpty() {
        TileFormatEdit edit = DefaultEdit(false);
        CTileFormatDlg dlg(edit);
        QCOMPARE(TableLines(dlg)[2], QStringLiteral("4 0 타일데이터"));
        QVERIFY(dlg.layoutWarnings()->text().isEmpty());
        TypeInto(dlg.widthBox(), QStringLiteral("16"));
        QCOMPARE(dlg.layoutTotal()->text(), QStringLiteral("전체 크기: 772 바이트"));
    }

    void consoleItemsKeepTheirParameters() {
        using namespace kesh;
        TileFormatEdit edit = DefaultEdit(true);
        edit.items = {TileItem::Palette, TileItem::CountWord, TileItem::Pixels};
        edit.params = {PixelEncoding::Planar4Snes, ColourEncoding::Bgr555, 16, 8};
        CTileFormatDlg dlg(edit);
        QCOMPARE(ListLines(dlg), QStringList({QStringLiteral("팔렛 (bgr555, 팔레트 8개 × 색 16개)"),
                                              QStringLiteral("WORD  tilecount ;"),
                                              QStringLiteral("타일데이터 (4bpp-snes)")}));
        QCOMPARE(dlg.pixelCombo()->currentText(), QStringLiteral("4bpp-snes"));
        QCOMPARE(TableLines(dlg).first(),
                 QStringLiteral(
                     "0 256 팔렛 (색 형식, 팔레트 P개 × 색 K개) bgr555, 팔레트 8개 × 색 16개"));
        dlg.accept();
        QCOMPARE(dlg.Result().items, edit.items);
        QVERIFY(dlg.Result().params == edit.params);

        // New parameters show in the lines and the byte table and come out;
        // P follows K so that P x K stays within the 256 colours.
        dlg.pixelCombo()->setCurrentText(QStringLiteral("2bpp-nes"));
        dlg.colourCombo()->setCurrentText(QStringLiteral("nes"));
        dlg.coloursBox()->setValue(4);
        QCOMPARE(dlg.paletteCountBox()->maximum(), 64);
        dlg.paletteCountBox()->setValue(4);
        QCOMPARE(ListLines(dlg)[0], QStringLiteral("팔렛 (nes, 팔레트 4개 × 색 4개)"));
        QCOMPARE(ListLines(dlg)[2], QStringLiteral("타일데이터 (2bpp-nes)"));
        QCOMPARE(
            TableLines(dlg).first(),
            QStringLiteral("0 16 팔렛 (색 형식, 팔레트 P개 × 색 K개) nes, 팔레트 4개 × 색 4개"));
        dlg.coloursBox()->setValue(128);
        QCOMPARE(dlg.paletteCountBox()->value(), 2);
        dlg.accept();
        const TileItemParams want{PixelEncoding::Planar2Nes, ColourEncoding::Nes, 128, 2};
        QVERIFY(dlg.Result().params == want);

        // Added from the list, an item takes the parameters shown.
        CTileFormatDlg plain(DefaultEdit(false));
        plain.itemCombo()->setCurrentIndex(12);
        plain.addButton()->click();
        QCOMPARE(plain.items().back(), uint8_t(TileItem::Palette));
        QVERIFY(plain.colourCombo()->isEnabled());
        QVERIFY(!plain.pixelCombo()->isEnabled());
        QCOMPARE(ListLines(plain).last(), QStringLiteral("팔렛 (rgb888, 팔레트 1개 × 색 16개)"));
    }

    // Each preset fills size, items and parameters, which stay editable;
    // locked sizes stay as they are.
    void presetsFillTheDialog() {
        using namespace kesh;
        for (const bool locked : {false, true}) {
            for (const PlatformPreset& preset : PlatformPresets()) {
                CTileFormatDlg dlg(DefaultEdit(locked));
                dlg.presetCombo()->choose(QString::fromLatin1(preset.name));
                dlg.accept();
                QCOMPARE(dlg.result(), int(QDialog::Accepted));
                const TileFormat want = PlatformPresetLayouts(preset.name)->tile;
                const TileFormatEdit got = dlg.Result();
                QCOMPARE(got.width, locked ? 32 : want.width);
                QCOMPARE(got.height, locked ? 32 : want.height);
                QCOMPARE(got.items, want.items);
                QVERIFY2(got.params == want.params, preset.name);
                QVERIFY(dlg.pixelCombo()->isEnabled() && dlg.coloursBox()->isEnabled());
            }
        }
        CTileFormatDlg dlg(DefaultEdit(false));
        dlg.presetCombo()->choose(QStringLiteral("snes4"));
        dlg.paletteCountBox()->setValue(2);
        dlg.accept();
        QCOMPARE(dlg.Result().params.paletteCount, uint16_t(2));
    }

    void unknownCodesAreShownAndKept() {
        TileFormatEdit edit = DefaultEdit(false);
        edit.items = {0, 42, 200, 6};
        edit.attrWidth = 7;
        CTileFormatDlg dlg(edit);
        QCOMPARE(dlg.itemList()->item(1)->text(), QStringLiteral("알 수 없는 항목 (42)"));
        QCOMPARE(dlg.itemList()->item(2)->text(), QStringLiteral("알 수 없는 항목 (200)"));
        QVERIFY(!dlg.attrButton(0)->isChecked());
        dlg.accept();
        QCOMPARE(dlg.Result().items, edit.items);
        QCOMPARE(dlg.Result().attrWidth, 7);
    }
};

QTEST_MAIN(TileFormatDlgTest)
#include "TileFormatDlgTest.moc"
