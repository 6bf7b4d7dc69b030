#include "formatdlg/CMapFormatDlg.h"
#include "formatdlg/PlatformPresetCombo.h"
#include "layout/PlatformPresets.h"
#include "formatdlg/SizeSpinBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using kesh::MapFormatEdit;
using kesh::ui::CMapFormatDlg;

namespace {

// File New: 64 x 64, SizeByte, CellsByte, TileFile.
MapFormatEdit NewMapEdit() {
    MapFormatEdit edit;
    edit.items = {0, 4, 3};
    return edit;
}

QStringList TableLines(const CMapFormatDlg& dlg) {
    QStringList lines;
    const QTableWidget* table = dlg.layoutTable();
    for (int row = 0; row < table->rowCount(); ++row) {
        lines << QStringLiteral("%1 %2 %3")
                     .arg(table->item(row, 0)->text(), table->item(row, 1)->text(),
                          table->item(row, 2)->text());
    }
    return lines;
}

void TypeInto(kesh::ui::SizeSpinBox* box, const QString& text) {
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

} // namespace

class MapFormatDlgTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheNewMapLayout() {
        CMapFormatDlg dlg(NewMapEdit(), false);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Map Property"));
        QCOMPARE(dlg.widthBox()->text(), QStringLiteral("64"));
        QCOMPARE(dlg.heightBox()->text(), QStringLiteral("64"));
        QVERIFY(dlg.widthBox()->isEnabled());
        QCOMPARE(dlg.itemList()->count(), 3);
        QCOMPARE(dlg.itemList()->item(0)->text(), QStringLiteral("BYTE  Width, Height ;"));
        QCOMPARE(dlg.itemList()->item(1)->text(), QStringLiteral("지도데이터(BYTE)"));
        QCOMPARE(dlg.itemList()->item(2)->text(), QStringLiteral("타일 파일"));
        // The plain items, then the two whose fields the cell field box
        // sets, then the NES attribute table.
        QCOMPARE(dlg.itemCombo()->count(), 9);
        QCOMPARE(dlg.itemCombo()->itemText(5), QStringLiteral("지도데이터(WORD)"));
        QCOMPARE(dlg.itemCombo()->itemText(6), QStringLiteral("지도데이터(필드)"));
        QCOMPARE(dlg.itemCombo()->itemText(7), QStringLiteral("셀 속성 평면"));
        QCOMPARE(dlg.itemCombo()->itemText(8), QStringLiteral("NES 속성 테이블"));
        QVERIFY(!dlg.headerCheck()->isChecked());
    }

    void anyIntegerSizePassesButNotEmptyText() {
        CMapFormatDlg dlg(NewMapEdit(), false);
        QStringList messages;
        dlg.setMessageHandler([&](QWidget*, const QString& text) { messages << text; });

        TypeInto(dlg.widthBox(), QString());
        dlg.accept();
        QCOMPARE(messages, QStringList{QStringLiteral("정수를 입력하십시오.")});
        QCOMPARE(dlg.result(), int(QDialog::Rejected));

        TypeInto(dlg.widthBox(), QStringLiteral("0"));
        TypeInto(dlg.heightBox(), QStringLiteral("-5"));
        dlg.accept();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.Result().width, 0);
        QCOMPARE(dlg.Result().height, -5);
    }

    void lockedSizesAreGreyedAndKept() {
        MapFormatEdit edit = NewMapEdit();
        edit.width = 200;
        edit.height = 3;
        CMapFormatDlg dlg(edit, true);
        QVERIFY(!dlg.widthBox()->isEnabled());
        QVERIFY(!dlg.heightBox()->isEnabled());
        dlg.itemList()->item(2)->setSelected(true);
        dlg.delButton()->click();
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.Result().width, 200);
        QCOMPARE(dlg.Result().height, 3);
        QCOMPARE(dlg.Result().items, (std::vector<uint8_t>{0, 4}));
    }

    void itemsAndHeaderFollowTheTileDialogsRules() {
        MapFormatEdit edit = NewMapEdit();
        edit.items = {0, 9, 4};
        CMapFormatDlg dlg(edit, false);
        QCOMPARE(dlg.itemList()->item(1)->text(), QStringLiteral("알 수 없는 항목 (9)"));

        dlg.itemList()->item(1)->setSelected(true);
        dlg.itemCombo()->setCurrentIndex(3);
        dlg.addButton()->click();
        QCOMPARE(dlg.items(), (std::vector<uint8_t>{0, 9, 3, 4}));
        QCOMPARE(dlg.itemList()->item(2)->text(), QStringLiteral("타일 파일"));

        dlg.headerCheck()->setChecked(true);
        dlg.headerText()->setPlainText(QString(300, QLatin1Char('m')));
        QCOMPARE(dlg.headerLength()->text(), QStringLiteral("255"));
        dlg.accept();
        QCOMPARE(dlg.Result().header, std::string(255, 'm'));
        QCOMPARE(dlg.Result().items, (std::vector<uint8_t>{0, 9, 3, 4}));
    }

    void byteTableNestsTheTileFileAndFollowsTheSize() {
        CMapFormatDlg dlg(NewMapEdit(), false);
        // The tile set's layout as the view creates it: 32 x 32, no tiles yet.
        QCOMPARE(TableLines(dlg),
                 QStringList({QStringLiteral("0 2 BYTE  Width, Height ;"),
                              QStringLiteral("2 4096 지도데이터(BYTE)"),
                              QStringLiteral("4098 772 타일 파일"),
                              QStringLiteral("4098 2     BYTE  x, y ;"),
                              QStringLiteral("4100 2     WORD  tilecount ;"),
                              QStringLiteral("4102 0     타일데이터"),
                              QStringLiteral("4102 0     속성데이터"),
                              QStringLiteral("4102 768     팔렛( r, g, b ) 768 byte")}));
        QCOMPARE(dlg.layoutTotal()->text(), QStringLiteral("전체 크기: 4870 바이트"));
        QVERIFY(dlg.layoutWarnings()->text().isEmpty());

        TypeInto(dlg.widthBox(), QStringLiteral("300"));
        QCOMPARE(TableLines(dlg)[1], QStringLiteral("2 19200 지도데이터(BYTE)"));
        QVERIFY(dlg.layoutWarnings()->text().startsWith(
            QStringLiteral("BYTE  Width, Height ;: 지도 크기 300 × 64")));
        // A field that holds no number leaves the last accepted size in the table.
        TypeInto(dlg.widthBox(), QString());
        QCOMPARE(TableLines(dlg)[1], QStringLiteral("2 4096 지도데이터(BYTE)"));
    }

    // Each preset fills the items and cell fields; the map keeps its size.
    void presetsFillTheDialog() {
        for (const kesh::PlatformPreset& preset : kesh::PlatformPresets()) {
            kesh::MapFormatEdit edit;
            edit.width = 40;
            edit.height = 30;
            edit.items = {kesh::MapItem::SizeByte, kesh::MapItem::CellsByte};
            kesh::ui::CMapFormatDlg dlg(edit, false);
            dlg.presetCombo()->choose(QString::fromLatin1(preset.name));
            dlg.accept();
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            const kesh::MapFormat want = kesh::PlatformPresetLayouts(preset.name)->map;
            const kesh::MapFormatEdit got = dlg.Result();
            QCOMPARE(got.width, 40);
            QCOMPARE(got.height, 30);
            QCOMPARE(got.items, want.items);
            QVERIFY2(got.cells == want.cells, preset.name);
        }
    }

    void changingTheFormatWarnsOfTheMapsOwnData() {
        MapFormatEdit edit = NewMapEdit();
        edit.sizesLocked = true;
        edit.items = {4, 0, 3};
        kesh::MapLayoutData data;
        data.tiles.count = 2;
        data.maxTile = 300;
        edit.data = data;
        CMapFormatDlg dlg(edit, true);
        const QString warnings = dlg.layoutWarnings()->text();
        QVERIFY(warnings.contains(
            QStringLiteral("지도데이터(BYTE): 파일 형식중에 타일의 크기가 없습니다.")));
        QVERIFY(warnings.contains(QStringLiteral("지도데이터(BYTE): 타일 번호 300")));
        QCOMPARE(TableLines(dlg)[4], QStringLiteral("4100 2     WORD  tilecount ;"));
        QCOMPARE(TableLines(dlg)[5], QStringLiteral("4102 2048     타일데이터"));
    }
};

QTEST_MAIN(MapFormatDlgTest)
#include "MapFormatDlgTest.moc"
