#include "app/QtUserServices.h"
#include "layout/CTileFormatDlg.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using kesh::ui::QtUserServices;

namespace {

// Runs `act` on the next modal widget once it is up.
void WhenModalShows(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        }
    });
    timer->start();
}

} // namespace

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
};

QTEST_MAIN(QtUserServicesTest)
#include "QtUserServicesTest.moc"
