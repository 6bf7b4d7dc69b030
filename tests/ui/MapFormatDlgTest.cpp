#include "layout/CMapFormatDlg.h"
#include "layout/SizeSpinBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
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
        QCOMPARE(dlg.itemCombo()->count(), 6);
        QCOMPARE(dlg.itemCombo()->itemText(5), QStringLiteral("지도데이터(WORD)"));
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
};

QTEST_MAIN(MapFormatDlgTest)
#include "MapFormatDlgTest.moc"
