#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "FrameTestSupport.h"
#include "InstalledUserServices.h"
#include "shell/CAboutDlg.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"

using namespace kesh::ui;

class AboutDlgTest : public QObject {
    Q_OBJECT

    // Shows a fresh box, closes it with `close` once it is up, and gives
    // the result exec() returned.
    template <class Close> int ShowAndClose(Close close) {
        CAboutDlg dialog;
        QTimer::singleShot(0, &dialog, [&] {
            QVERIFY(dialog.isVisible());
            close(dialog);
        });
        QTimer::singleShot(2000, &dialog, [&] { dialog.done(-1); }); // never stuck
        return dialog.exec();
    }

private slots:
    void initTestCase() { IsolateSettings(); }

    void showsTheIconNameAndVersion() {
        CAboutDlg dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Varno ??"));
        auto* name = dialog.findChild<QLabel*>(QStringLiteral("name"));
        auto* version = dialog.findChild<QLabel*>(QStringLiteral("version"));
        auto* icon = dialog.findChild<QLabel*>(QStringLiteral("icon"));
        QVERIFY(name && version && icon);
        QCOMPARE(name->text(), QStringLiteral("Varno"));
        QCOMPARE(version->text(), QStringLiteral("Ver 1.0"));
        QVERIFY(!icon->pixmap().isNull());
        QCOMPARE(dialog.okButton()->text(), QStringLiteral("확인"));
        QVERIFY(dialog.okButton()->isDefault());
        QVERIFY(dialog.isModal());
        // Laid out in dialog units: the button right of the texts, the icon left.
        QVERIFY(dialog.okButton()->geometry().left() > name->geometry().right());
        QVERIFY(icon->geometry().right() < name->geometry().left());
        QVERIFY(dialog.rect().contains(dialog.okButton()->geometry()));
    }

    void dialogUnitsFollowTheFont() {
        QFont font = QApplication::font();
        const QRect r = CAboutDlg::DialogUnits(font, 4, 8, 8, 16);
        const QFontMetrics m(font);
        QCOMPARE(r,
                 QRect(m.averageCharWidth(), m.height(), 2 * m.averageCharWidth(), 2 * m.height()));
    }

    void closesWithTheButtonEnterEscapeAndTheCloseBox() {
        QCOMPARE(
            ShowAndClose([](CAboutDlg& d) { QTest::mouseClick(d.okButton(), Qt::LeftButton); }),
            int(QDialog::Accepted));
        QCOMPARE(ShowAndClose([](CAboutDlg& d) { QTest::keyClick(&d, Qt::Key_Return); }),
                 int(QDialog::Accepted));
        QCOMPARE(ShowAndClose([](CAboutDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); }),
                 int(QDialog::Rejected));
        QCOMPARE(ShowAndClose([](CAboutDlg& d) { d.close(); }), int(QDialog::Rejected));
    }

    void theHelpMenuAndTheToolButtonShowIt() {
        InstalledUserServices user;
        CMainFrame frame;
        QVERIFY(ShowActive(frame));
        int shown = 0;
        for (int round = 0; round < 2; ++round) {
            QTimer::singleShot(0, &frame, [&] {
                auto* dialog = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                QCOMPARE(dialog->parentWidget(), static_cast<QWidget*>(&frame));
                ++shown;
                dialog->accept();
            });
            if (round == 0) {
                frame.action(ID_APP_ABOUT)->trigger();
            } else {
                frame.OnCommand(ID_APP_ABOUT);
            }
        }
        QCOMPARE(shown, 2);
    }
};

QTEST_MAIN(AboutDlgTest)
#include "AboutDlgTest.moc"
