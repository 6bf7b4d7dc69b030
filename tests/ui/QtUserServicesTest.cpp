#include "shell/QtUserServices.h"
#include "FrameTestSupport.h"
#include "app/MapProcedures.h"
#include "app/TileProcedures.h"
#include "formatdlg/CTileFormatDlg.h"
#include "shell/QtTranslation.h"
#include "support/ScriptedUserServices.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <functional>

using kesh::ui::QtUserServices;

class QtUserServicesTest : public QObject {
    Q_OBJECT
private slots:
    void filtersBecomeNameFilters() {
        const QStringList filters = QtUserServices::NameFilters(
            {"256 PCX files|*.pcx", "Bitmap|*.bmp;*.dib", "All files (*)"});
        QCOMPARE(filters, QStringList({QStringLiteral("256 PCX files (*.pcx)"),
                                       QStringLiteral("Bitmap (*.bmp *.dib)"),
                                       QStringLiteral("All files (*)")}));
    }

    void questionsAnswerWithTheButtonPressed() {
        QtUserServices services;
        QString caption;
        QString text;
        WhenModalShows([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            caption = box->windowTitle();
            text = box->text();
            box->button(QMessageBox::Yes)->click();
        });
        QVERIFY(services.AskYesNo("변경된 파일을 저장할까요?"));
        QCOMPARE(caption, QStringLiteral("kesh"));
        QCOMPARE(text, QStringLiteral("변경된 파일을 저장할까요?"));

        WhenModalShows([](QWidget* modal) {
            qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Cancel)->click();
        });
        QVERIFY(!services.AskOkCancel("?"));
    }

    // The import dialog opens with the size and boxes the user left it with.
    void theImportDialogStartsWhereItWasLeft() {
        IsolateSettings();
        QtUserServices services;
        kesh::ImportOptionsEdit edit;
        edit.imageWidth = edit.imageHeight = 64;
        WhenModalShows([](QWidget* modal) {
            const auto sides = modal->findChildren<QSpinBox*>();
            sides[0]->setValue(8);
            sides[1]->setValue(4);
            for (QCheckBox* box : modal->findChildren<QCheckBox*>()) {
                box->setChecked(box->text() == QStringLiteral("모자라는 부분 채우기"));
            }
            qobject_cast<QDialog*>(modal)->accept();
        });
        QVERIFY(services.EditImportOptions(edit));
        for (const bool emptySet : {false, true}) {
            kesh::ImportOptionsEdit again;
            again.imageWidth = again.imageHeight = 64;
            again.takePalette = emptySet; // the procedure ticks it for an empty set
            QList<int> sides;
            QStringList ticked;
            WhenModalShows([&](QWidget* modal) {
                for (QSpinBox* side : modal->findChildren<QSpinBox*>()) {
                    sides << side->value();
                }
                for (QCheckBox* box : modal->findChildren<QCheckBox*>()) {
                    if (box->isChecked()) {
                        ticked << box->text();
                    }
                }
                qobject_cast<QDialog*>(modal)->reject();
            });
            QVERIFY(!services.EditImportOptions(again));
            QCOMPARE(sides, (QList<int>{8, 4}));
            QStringList expected{QStringLiteral("모자라는 부분 채우기")};
            if (emptySet) {
                expected.prepend(QStringLiteral("팔레트도 가져오기"));
            }
            QCOMPARE(ticked, expected);
        }
    }

    void tileDialogResultReachesTheCallerOnlyOnOk() {
        QtUserServices services;
        kesh::TileFormatEdit edit;
        edit.items = {6};
        WhenModalShows([](QWidget* modal) {
            auto* dlg = qobject_cast<kesh::ui::CTileFormatDlg*>(modal);
            QVERIFY(dlg);
            dlg->addButton()->click();
            dlg->reject();
        });
        QVERIFY(!services.EditTileFormat(edit));
        QCOMPARE(edit.items, std::vector<uint8_t>{6});

        WhenModalShows([](QWidget* modal) {
            auto* dlg = qobject_cast<kesh::ui::CTileFormatDlg*>(modal);
            QVERIFY(dlg);
            dlg->addButton()->click();
            dlg->accept();
        });
        QVERIFY(services.EditTileFormat(edit));
        QCOMPARE(edit.items, (std::vector<uint8_t>{6, 0}));
    }

    // The dialogs the procedures ask for, as the file dialog shows them.
    void fileDialogsListTheirTypeFirstAndAllFiles() {
        kesh::Document doc;
        kesh::TileSet& tiles = doc.tiles();
        kesh::test::ScriptedUserServices user;
        user.cancelOpen()
            .cancelSave()
            .cancelSave()
            .cancelSave()
            .cancelOpen()
            .cancelSave()
            .cancelOpen();
        kesh::MapProcedures maps(doc, user, kesh::FileSystem::Native());
        kesh::TileProcedures tileProcs(tiles, user, kesh::FileSystem::Native());
        maps.OpenMap();
        maps.SaveMapAs();
        maps.ExportMapBitmap();
        maps.ExportMapTmx();
        tileProcs.OnTileAddFile();
        tileProcs.OnTileSave();
        tileProcs.OnLoadPalette();

        struct Expected {
            QStringList filters;
            QString selected;
        };
        const QString all = QStringLiteral("모든 파일 (*)");
        const QString bmp = QStringLiteral("256 BMP files (*.bmp)");
        const QString palettes = QStringLiteral("팔레트 파일 (*.pcx *.bmp *.png *.gpl *.pal)");
        const Expected expected[] = {
            {{QStringLiteral("지도 파일 (*.map)"), all}, QStringLiteral("지도 파일 (*.map)")},
            {{QStringLiteral("지도 파일 (*.map)"), all}, QStringLiteral("지도 파일 (*.map)")},
            {{QStringLiteral("비트맵 파일 (*.bmp)"), all}, QStringLiteral("비트맵 파일 (*.bmp)")},
            {{QStringLiteral("Tiled 지도 파일 (*.tmx)"), all},
             QStringLiteral("Tiled 지도 파일 (*.tmx)")},
            {{QStringLiteral("타일 파일 (*.til)"), all}, QStringLiteral("타일 파일 (*.til)")},
            {{QStringLiteral("타일 파일 (*.til)"), all}, QStringLiteral("타일 파일 (*.til)")},
            // The palette starts on every source it reads, which lists "*.bmp".
            {{palettes, QStringLiteral("256 PCX files (*.pcx)"), bmp,
              QStringLiteral("PNG 파일 (*.png)"), QStringLiteral("GIMP 팔레트 (*.gpl)"),
              QStringLiteral("JASC 팔레트 (*.pal)"), all},
             palettes},
        };
        QCOMPARE(user.calls().size(), std::size(expected));
        for (size_t i = 0; i < std::size(expected); ++i) {
            QString selected;
            const QStringList filters =
                QtUserServices::DialogFilters(user.calls()[i].file, selected);
            QCOMPARE(filters, expected[i].filters);
            QCOMPARE(selected, expected[i].selected);
        }

        // A pattern no filter lists gets a filter of its own; a plain name selects nothing.
        kesh::FileDialogOptions other;
        other.initialName = "*.xyz";
        QString selected;
        QCOMPARE(QtUserServices::DialogFilters(other, selected), QStringList{"*.xyz"});
        QCOMPARE(selected, QStringLiteral("*.xyz"));
    }

    void theFileDialogShowsTheFilterAndAnEmptyName() {
        QtUserServices services;
        QStringList filters;
        QString selected;
        QString name = QStringLiteral("not read");
        WhenModalShows([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            filters = dialog->nameFilters();
            selected = dialog->selectedNameFilter();
            name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            dialog->reject();
        });
        QVERIFY(!services.ChooseSaveFile(kesh::MapProcedures::MapFileDialog(true)));
        QCOMPARE(filters, (QStringList{QStringLiteral("지도 파일 (*.map)"),
                                       QStringLiteral("모든 파일 (*)")}));
        QCOMPARE(selected, QStringLiteral("지도 파일 (*.map)"));
        QCOMPARE(name, QString()); // never "*.map" in the name box
    }

    void messagesCarryTheirIcons() {
        QtUserServices services;
        QList<QMessageBox::Icon> icons;
        const auto closeNext = [&](QMessageBox::StandardButton button) {
            WhenModalShows([&icons, button](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                QVERIFY(box);
                icons << box->icon();
                box->button(button)->click();
            });
        };
        closeNext(QMessageBox::Ok);
        services.ShowMessage("파일을 저장하지 못했습니다.");
        closeNext(QMessageBox::Ok);
        services.ShowMessage("256컬러 PCX만을 지원합니다.", kesh::MessageIcon::None);
        closeNext(QMessageBox::No);
        services.AskYesNo("?");
        closeNext(QMessageBox::Cancel);
        services.AskOkCancel("?");
        QCOMPARE(icons, (QList<QMessageBox::Icon>{QMessageBox::Warning, QMessageBox::NoIcon,
                                                  QMessageBox::Question, QMessageBox::Question}));
    }

    void theTwoPaletteRefusalsHaveNoIcon() {
        kesh::TileSet tiles;
        kesh::test::ScriptedUserServices user;
        user.openFile("/no/such/colours.pcx").openFile("/no/such/colours.bmp");
        kesh::TileProcedures procs(tiles, user, kesh::FileSystem::Native());
        QVERIFY(!procs.OnLoadPalette());
        QVERIFY(!procs.OnLoadPalette());
        // Each names its file.
        QCOMPARE(user.messages(),
                 (std::vector<std::string>{"256컬러 PCX만을 지원합니다.\n/no/such/colours.pcx",
                                           "256컬러 BMP만을 지원합니다.\n/no/such/colours.bmp"}));
        QCOMPARE(user.calls()[1].icon, kesh::MessageIcon::None);
        QCOMPARE(user.calls()[3].icon, kesh::MessageIcon::None);
    }

    // Qt's own texts (buttons, file dialogs) in Korean, whatever the locale.
    void qtSpeaksKorean() {
        QVERIFY(kesh::ui::InstallQtTranslation(*qApp));
        QMessageBox box(QMessageBox::Question, QStringLiteral("kesh"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')).left(1),
                 QStringLiteral("예"));
        QVERIFY(box.button(QMessageBox::Cancel)->text().contains(QStringLiteral("취소")));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        QVERIFY(dialog.labelText(QFileDialog::FileType).contains(QStringLiteral("파일")));
    }
};

QTEST_MAIN(QtUserServicesTest)
#include "QtUserServicesTest.moc"
