#include <QAction>
#include <QEnterEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "FrameTestSupport.h"
#include "InstalledUserServices.h"
#include "mapview/CKeshView.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/CommandStrings.h"
#include "tileview/CPaletteBar.h"
#include "tileview/CTile1View.h"
#include "tileview/CTileInfoBar.h"

using namespace kesh::ui;

namespace {

struct Item {
    QString text;
    int id; // 0: separator
};

// The menu bar as the user sees it: titles, then each menu's items.
QList<std::pair<QString, QList<Item>>> MenuBarOf(CMainFrame& frame) {
    QList<std::pair<QString, QList<Item>>> menus;
    for (QAction* top : frame.menuBar()->actions()) {
        QList<Item> items;
        for (QAction* a : top->menu()->actions()) {
            items.append({a->isSeparator() ? QString() : a->text(),
                          a->isSeparator() ? 0 : a->data().toInt()});
        }
        menus.append({top->text(), items});
    }
    return menus;
}

} // namespace

class FrameBarsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { IsolateSettings(); }

    void menuBarHasEveryItemWithItsText() {
        InstalledUserServices user;
        CMainFrame frame;
        const auto menus = MenuBarOf(frame);
        const QList<QString> titles = {QStringLiteral("지도..."), QStringLiteral("타일..."),
                                       QStringLiteral("편집"), QStringLiteral("보기(&V)"),
                                       QStringLiteral("도움말(&H)")};
        QCOMPARE(menus.size(), titles.size());
        const QList<QList<Item>> expected = {
            {{QStringLiteral("새 파일(&N)\tCtrl+N"), ID_FILE_NEW},
             {QStringLiteral("열기"), ID_MAP_OPEN},
             {QStringLiteral("저장"), ID_MAP_SAVE},
             {QStringLiteral("새이름으로..."), ID_FILE_SAVE_AS},
             {QStringLiteral("비트맵 파일로 저장"), ID_MAP_SAVEBMP},
             {QStringLiteral("PNG 파일로 저장"), ID_MAP_SAVEPNG},
             {QStringLiteral("TMX로 내보내기..."), ID_MAP_EXPORTTMX},
             {QStringLiteral("TMX 가져오기..."), ID_MAP_IMPORTTMX},
             {QStringLiteral("파일포맷 변경"), ID_MAP_FORMAT},
             {QStringLiteral("읽기 코드 만들기..."), ID_MAP_READERCODE},
             {QStringLiteral("인쇄 미리 보기(&V)"), ID_FILE_PRINT_PREVIEW},
             {QStringLiteral("최근 파일"), 0}, // a submenu
             {QString(), 0},
             {QStringLiteral("종료(&X)"), ID_APP_EXIT}},
            {{QStringLiteral("타일파일 추가시킴"), ID_TILE_ADDFILE},
             {QStringLiteral("이미지에서 타일 가져오기..."), ID_TILE_IMPORTIMAGE},
             {QStringLiteral("팔렛읽어오기"), ID_TILE_LOADPALETTE},
             {QStringLiteral("저장"), ID_TILE_SAVE},
             {QStringLiteral("비트맵 파일로 저장"), ID_TILE_SAVEBMP},
             {QStringLiteral("파일포맷 변경"), ID_TILE_FORMAT},
             {QStringLiteral("타일 바꾸기..."), ID_TILE_REPLACE},
             {QString(), 0},
             {QStringLiteral("타일 속성 편집"), ID_TILE_EDITATTR},
             {QStringLiteral("타일 편집"), ID_TILE_EDITPIXELS},
             {QString(), 0},
             {QStringLiteral("사용하지 않는 타일 지우기"), ID_TILE_REMOVEUNUSED},
             {QStringLiteral("같은 타일 합치기"), ID_TILE_MERGEDUPLICATES},
             {QStringLiteral("비슷한 타일 찾기..."), ID_TILE_NEARTILES},
             {QStringLiteral("지형 만들기..."), ID_TILE_MAKETERRAIN}},
            {{QStringLiteral("실행 취소(&U)\tCtrl+Z"), ID_EDIT_UNDO},
             {QStringLiteral("다시 실행(&R)\tCtrl+Y"), ID_EDIT_REDO},
             {QString(), 0},
             {QStringLiteral("영역 복사(&C)\tCtrl+C"), ID_EDIT_COPY},
             {QStringLiteral("영역 붙여넣기(&P)\tCtrl+V"), ID_EDIT_PASTE},
             {QStringLiteral("영역 채우기"), ID_EDIT_FILL},
             {QStringLiteral("선택 영역 좌우 뒤집기"), ID_EDIT_FLIPH},
             {QStringLiteral("선택 영역 상하 뒤집기"), ID_EDIT_FLIPV},
             {QString(), 0},
             {QStringLiteral("그리기 도구"), ID_EDIT_PAINTTOOL},
             {QStringLiteral("지형 붓"), ID_EDIT_TERRAINBRUSH},
             {QStringLiteral("지형 채우기"), ID_EDIT_TERRAINFILL},
             {QStringLiteral("픽셀 그리기"), ID_EDIT_PIXELTOOL}},
            {{QStringLiteral("도구모음줄(&T)"), ID_VIEW_TOOLBAR},
             {QStringLiteral("상태표시줄(&S)"), ID_VIEW_STATUS_BAR},
             {QStringLiteral("팔레트(&P)"), ID_VIEW_PALETTE},
             {QStringLiteral("지형"), ID_VIEW_TERRAIN},
             {QString(), 0},
             {QStringLiteral("확대(&I)\tCtrl++"), ID_VIEW_ZOOMIN},
             {QStringLiteral("축소(&O)\tCtrl+-"), ID_VIEW_ZOOMOUT},
             {QStringLiteral("실제 크기\tCtrl+0"), ID_VIEW_ZOOMACTUAL},
             {QStringLiteral("격자 보기(&G)\tCtrl+G"), ID_VIEW_GRID},
             {QStringLiteral("셀 속성 보기"), ID_VIEW_CELLATTRS},
             {QStringLiteral("사용 횟수 보기"), ID_VIEW_USAGE}},
            {{QStringLiteral("Varno 란??..."), ID_APP_ABOUT}},
        };
        for (int m = 0; m < menus.size(); ++m) {
            QCOMPARE(menus[m].first, titles[m]);
            QCOMPARE(menus[m].second.size(), expected[m].size());
            for (int i = 0; i < expected[m].size(); ++i) {
                QCOMPARE(menus[m].second[i].text, expected[m][i].text);
                QCOMPARE(menus[m].second[i].id, expected[m][i].id);
            }
        }
        // Only the bar and panel items, the grid, the map tools, attribute
        // editing and the usage marks carry a tick; every item is enabled but
        // undo and redo, with nothing to take back yet, and the terrain brush
        // and fill, with no terrain set.
        for (const auto& menu : menus) {
            for (const Item& item : menu.second) {
                if (item.id == 0) {
                    continue;
                }
                QAction* a = frame.action(item.id);
                QCOMPARE(a->isEnabled(), item.id != ID_EDIT_UNDO && item.id != ID_EDIT_REDO &&
                                             item.id != ID_EDIT_TERRAINBRUSH &&
                                             item.id != ID_EDIT_TERRAINFILL);
                QCOMPARE(a->isCheckable(),
                         item.id == ID_VIEW_TOOLBAR || item.id == ID_VIEW_STATUS_BAR ||
                             item.id == ID_VIEW_PALETTE || item.id == ID_VIEW_GRID ||
                             item.id == ID_EDIT_PAINTTOOL || item.id == ID_TILE_EDITATTR ||
                             item.id == ID_VIEW_CELLATTRS || item.id == ID_VIEW_USAGE ||
                             item.id == ID_VIEW_TERRAIN || item.id == ID_EDIT_TERRAINBRUSH ||
                             item.id == ID_EDIT_PIXELTOOL);
            }
        }
    }

    void toolBarHasTenButtonsInOrder() {
        InstalledUserServices user;
        CMainFrame frame;
        QList<int> ids;
        for (QAction* a : frame.toolBar()->actions()) {
            ids << (a->isSeparator() ? 0 : a->data().toInt());
            if (!a->isSeparator()) {
                QVERIFY(!a->icon().isNull());
                const QPixmap pixmap = a->icon().pixmap(QSize(16, 15));
                QCOMPARE(pixmap.size(), QSize(16, 15));
                QVERIFY(a->toolTip().startsWith(CommandToolTip(a->data().toInt())));
            }
        }
        QCOMPARE(ids, (QList<int>{ID_FILE_NEW, ID_MAP_OPEN, ID_MAP_SAVE, 0, ID_EDIT_COPY,
                                  ID_EDIT_PASTE, ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_EDIT_FILL, 0,
                                  ID_EDIT_PAINTTOOL, ID_EDIT_PIXELTOOL, 0, ID_APP_ABOUT}));
        QCOMPARE(frame.toolBar()->iconSize(), QSize(16, 15));
        QCOMPARE(CommandToolTip(ID_MAP_OPEN), QStringLiteral("지도열기"));
        QCOMPARE(CommandToolTip(ID_EDIT_FILL), QStringLiteral("채우기"));
    }

    void viewItemsShowAndHideTheBarsAndTickWhileShown() {
        InstalledUserServices user;
        CMainFrame frame;
        QVERIFY(ShowActive(frame));
        QAction* toolBarItem = frame.action(ID_VIEW_TOOLBAR);
        QAction* statusBarItem = frame.action(ID_VIEW_STATUS_BAR);
        QVERIFY(toolBarItem->isChecked() && statusBarItem->isChecked());

        toolBarItem->trigger();
        QVERIFY(!frame.toolBar()->isVisible());
        QVERIFY(!toolBarItem->isChecked());
        QVERIFY(frame.tileInfoBar()->isVisible()); // the attribute bar stays
        statusBarItem->trigger();
        QVERIFY(!frame.statusBarWidget()->isVisible());
        QVERIFY(!statusBarItem->isChecked());

        toolBarItem->trigger();
        statusBarItem->trigger();
        QVERIFY(frame.toolBar()->isVisible() && frame.statusBarWidget()->isVisible());
        QVERIFY(toolBarItem->isChecked() && statusBarItem->isChecked());

        // Hidden some other way (the bars' own menu): the tick follows.
        frame.toolBar()->hide();
        QVERIFY(!toolBarItem->isChecked());
        frame.toolBar()->show();
        QVERIFY(toolBarItem->isChecked());

        // The palette panel likewise, also when closed by its own button.
        QAction* paletteItem = frame.action(ID_VIEW_PALETTE);
        QVERIFY(paletteItem->isChecked() && frame.paletteBar()->isVisible());
        paletteItem->trigger();
        QVERIFY(!frame.paletteBar()->isVisible() && !paletteItem->isChecked());
        paletteItem->trigger();
        QVERIFY(frame.paletteBar()->isVisible() && paletteItem->isChecked());
        frame.paletteBar()->close();
        QVERIFY(!paletteItem->isChecked());
    }

    void statusBarShowsReadyOrThePromptOfTheItem() {
        InstalledUserServices user;
        CMainFrame frame;
        QVERIFY(ShowActive(frame));
        QStatusBar* bar = frame.statusBarWidget();
        QCOMPARE(frame.idlePane()->text(), QStringLiteral("준비"));
        QVERIFY(frame.idlePane()->isVisible());

        // A highlighted menu item.
        QAction* fill = frame.action(ID_EDIT_FILL);
        fill->showStatusText(frame.menuBar());
        QCOMPARE(bar->currentMessage(), QStringLiteral("선택된 영역을 현재 타일로 채움니다."));
        QVERIFY(!frame.idlePane()->isVisible());
        QAction* format = frame.action(ID_MAP_FORMAT);
        format->showStatusText(frame.menuBar());
        QCOMPARE(bar->currentMessage(), QStringLiteral("지도파일의 포맷을 변경합니다."));
        QStatusTipEvent leave{QString()};
        QCoreApplication::sendEvent(frame.menuBar(), &leave);
        QVERIFY(bar->currentMessage().isEmpty());
        QVERIFY(frame.idlePane()->isVisible());

        // The mouse resting on a tool button.
        auto* button =
            qobject_cast<QToolButton*>(frame.toolBar()->widgetForAction(frame.action(ID_MAP_SAVE)));
        QVERIFY(button);
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), button->mapToGlobal(QPointF(2, 2)));
        QCoreApplication::sendEvent(button, &enter);
        QCOMPARE(bar->currentMessage(), QStringLiteral("지도파일을 파일을 저장합니다."));
        QCOMPARE(button->toolTip(), QStringLiteral("지도저장 (Ctrl+S)"));
    }

    // Each key sits on its menu item, whose text stays as it is, so the menu
    // shows it; a tool button's tip names it; the key runs the command.
    void menuItemsAndButtonsShowTheirKeys() {
        InstalledUserServices user;
        CMainFrame frame;
        struct Key {
            int id;
            QKeySequence key;
            QString text; // the item's text, unchanged
            QString tip;  // the tool button's tip; empty: no button
        };
        const Key keys[] = {
            {ID_FILE_NEW, QKeySequence(QStringLiteral("Ctrl+N")),
             QStringLiteral("새 파일(&N)\tCtrl+N"), QStringLiteral("새 파일 (Ctrl+N)")},
            {ID_MAP_OPEN, QKeySequence(QStringLiteral("Ctrl+O")), QStringLiteral("열기"),
             QStringLiteral("지도열기 (Ctrl+O)")},
            {ID_MAP_SAVE, QKeySequence(QStringLiteral("Ctrl+S")), QStringLiteral("저장"),
             QStringLiteral("지도저장 (Ctrl+S)")},
            {ID_FILE_SAVE_AS, QKeySequence(QStringLiteral("Ctrl+Shift+S")),
             QStringLiteral("새이름으로..."), QString()},
            {ID_APP_EXIT, QKeySequence(QStringLiteral("Ctrl+Q")), QStringLiteral("종료(&X)"),
             QString()},
            {ID_EDIT_COPY, QKeySequence(QStringLiteral("Ctrl+C")),
             QStringLiteral("영역 복사(&C)\tCtrl+C"), QStringLiteral("선택영역 복사 (Ctrl+C)")},
            {ID_EDIT_FILL, QKeySequence(QStringLiteral("F")), QStringLiteral("영역 채우기"),
             QStringLiteral("채우기 (F)")},
            {ID_EDIT_PAINTTOOL, QKeySequence(QStringLiteral("B")), QStringLiteral("그리기 도구"),
             QString()},
            {ID_VIEW_ZOOMIN, QKeySequence(QStringLiteral("Ctrl++")),
             QStringLiteral("확대(&I)\tCtrl++"), QString()},
        };
        for (const Key& k : keys) {
            QAction* a = frame.action(k.id);
            QVERIFY2(a, qPrintable(k.text));
            QCOMPARE(a->shortcut(), k.key);
            QCOMPARE(a->text(), k.text);
            if (!k.tip.isEmpty()) {
                QCOMPARE(a->toolTip(), k.tip);
            }
        }
        QVERIFY(!frame.action(ID_EDIT_FILL)->icon().isNull()); // the bucket

        // F fills the selection; B takes up the paint tool.
        QVERIFY(ShowActive(frame));
        frame.mapView()->setFocus();
        QTest::keyClick(frame.mapView(), Qt::Key_B);
        QVERIFY(frame.action(ID_EDIT_PAINTTOOL)->isChecked());
    }

    void everyCommandHasItsPromptAndTip() {
        const std::pair<int, const char*> strings[] = {
            {ID_FILE_NEW, "새 문서를 작성합니다.\n새 파일"},
            {ID_MAP_SAVEBMP, "지도를 비트맵으로 저장합니다.\nbmp로 저장"},
            {ID_MAP_SAVEPNG, "지도를 PNG 이미지로 저장합니다.\npng로 저장"},
            {ID_APP_EXIT, "문서를 저장할지 물어보고 응용 프로그램을 종료합니다.\n종료"},
            {ID_TILE_ADDFILE, "타일 파일을 추가시킴니다.\n타일추가"},
            {ID_TILE_LOADPALETTE, "팔렛을 읽어옵니다.\n팔렛 읽어오기"},
            {ID_EDIT_PASTE, "기억된 선택영역을 현재위치로 붙여넣습니다.\n선택영역 붙여넣기"},
            {ID_VIEW_STATUS_BAR, "상태표시줄을 보이거나 감춥니다.\n상태표시줄 전환"},
            {ID_APP_ABOUT, "프로그램 정보, 버전 번호 및 저작권을 나타냅니다.\n정보"},
        };
        for (const auto& [id, text] : strings) {
            QCOMPARE(CommandString(id), QString::fromUtf8(text));
        }
        InstalledUserServices user;
        CMainFrame frame;
        for (int id : {ID_FILE_NEW,         ID_MAP_OPEN,     ID_MAP_SAVE,         ID_FILE_SAVE_AS,
                       ID_MAP_SAVEBMP,      ID_MAP_SAVEPNG,  ID_MAP_EXPORTTMX,    ID_MAP_FORMAT,
                       ID_APP_EXIT,         ID_TILE_ADDFILE, ID_TILE_LOADPALETTE, ID_TILE_SAVE,
                       ID_TILE_SAVEBMP,     ID_TILE_FORMAT,  ID_EDIT_COPY,        ID_EDIT_PASTE,
                       ID_EDIT_FILL,        ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR,  ID_APP_ABOUT,
                       ID_TILE_IMPORTIMAGE, ID_MAP_IMPORTTMX}) {
            QVERIFY(!CommandPrompt(id).isEmpty());
            QVERIFY(!CommandToolTip(id).isEmpty());
            QCOMPARE(frame.action(id)->statusTip(), CommandPrompt(id));
        }
    }

    void lockIndicatorsShowOnlyTheLocksThatAreOn() {
        InstalledUserServices user;
        CMainFrame frame;
        // The offscreen platform does not say: blank.
        for (int i = 0; i < 3; ++i) {
            QVERIFY(frame.indicator(i)->text().isEmpty());
        }
        frame.UpdateLockIndicators(LockKeyStates{true, false, true});
        QCOMPARE(frame.indicator(0)->text(), QStringLiteral("CAP"));
        QCOMPARE(frame.indicator(1)->text(), QString());
        QCOMPARE(frame.indicator(2)->text(), QStringLiteral("SCRL"));
        frame.UpdateLockIndicators(LockKeyStates{false, true, false});
        QCOMPARE(frame.indicator(0)->text(), QString());
        QCOMPARE(frame.indicator(1)->text(), QStringLiteral("NUM"));
        frame.UpdateLockIndicators(std::nullopt);
        QCOMPARE(frame.indicator(1)->text(), QString());
    }

    void exitClosesTheWindow() {
        InstalledUserServices user;
        CMainFrame frame;
        QVERIFY(ShowActive(frame));
        frame.action(ID_APP_EXIT)->trigger();
        QVERIFY(!frame.isVisible());
    }
};

QTEST_MAIN(FrameBarsTest)
#include "FrameBarsTest.moc"
