#include <algorithm>

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QToolBar>

#include "mapview/CKeshView.h"
#include "shell/AppServices.h"
#include "shell/CAboutDlg.h"
#include "shell/CKeshDoc.h"
#include "shell/CMainFrame.h"
#include "shell/CNearTilesDlg.h"
#include "shell/CommandIds.h"
#include "shell/CommandStrings.h"
#include "shell/FrameCommands.h"
#include "shell/ToolBarIcons.h"
#include "shell/ViewPrinting.h"
#include "tileview/CPaletteBar.h"
#include "tileview/CTile1View.h"
#include "tileview/CTileInfoBar.h"
#include "widgets/CSplitterWnd.h"

namespace kesh::ui {

namespace {

// One menu item: a command and its text, or a separator (id 0).
struct MenuItem {
    int id;
    const char* text;
};

struct Menu {
    const char* title;
    std::initializer_list<MenuItem> items;
};

// The place of the recent files submenu among the menu items.
constexpr int kRecentFilesItem = -1;

const Menu kMenus[] = {
    {"지도...",
     {{ID_FILE_NEW, "새 파일(&N)\tCtrl+N"},
      {ID_MAP_OPEN, "열기"},
      {ID_MAP_SAVE, "저장"},
      {ID_FILE_SAVE_AS, "새이름으로..."},
      {ID_MAP_SAVEBMP, "비트맵 파일로 저장"},
      {ID_MAP_SAVEPNG, "PNG 파일로 저장"},
      {ID_MAP_EXPORTTMX, "TMX로 내보내기..."},
      {ID_MAP_IMPORTTMX, "TMX 가져오기..."},
      {ID_MAP_FORMAT, "파일포맷 변경"},
      {ID_MAP_READERCODE, "읽기 코드 만들기..."},
      {ID_FILE_PRINT_PREVIEW, "인쇄 미리 보기(&V)"},
      {kRecentFilesItem, "최근 파일"},
      {0, nullptr},
      {ID_APP_EXIT, "종료(&X)"}}},
    {"타일...",
     {{ID_TILE_ADDFILE, "타일파일 추가시킴"},
      {ID_TILE_IMPORTIMAGE, "이미지에서 타일 가져오기..."},
      {ID_TILE_LOADPALETTE, "팔렛읽어오기"},
      {ID_TILE_SAVE, "저장"},
      {ID_TILE_SAVEBMP, "비트맵 파일로 저장"},
      {ID_TILE_FORMAT, "파일포맷 변경"},
      {ID_TILE_REPLACE, "타일 바꾸기..."},
      {0, ""},
      {ID_TILE_EDITATTR, "타일 속성 편집"},
      {ID_TILE_EDITPIXELS, "타일 편집"},
      {0, ""},
      {ID_TILE_REMOVEUNUSED, "사용하지 않는 타일 지우기"},
      {ID_TILE_MERGEDUPLICATES, "같은 타일 합치기"},
      {ID_TILE_NEARTILES, "비슷한 타일 찾기..."},
      {ID_TILE_MAKETERRAIN, "지형 만들기..."}}},
    {"편집",
     {{ID_EDIT_UNDO, "실행 취소(&U)\tCtrl+Z"},
      {ID_EDIT_REDO, "다시 실행(&R)\tCtrl+Y"},
      {0, ""},
      {ID_EDIT_COPY, "영역 복사(&C)\tCtrl+C"},
      {ID_EDIT_PASTE, "영역 붙여넣기(&P)\tCtrl+V"},
      {ID_EDIT_FILL, "영역 채우기"},
      {ID_EDIT_FLIPH, "선택 영역 좌우 뒤집기"},
      {ID_EDIT_FLIPV, "선택 영역 상하 뒤집기"},
      {0, nullptr},
      {ID_EDIT_PAINTTOOL, "그리기 도구"},
      {ID_EDIT_TERRAINBRUSH, "지형 붓"},
      {ID_EDIT_TERRAINFILL, "지형 채우기"},
      {ID_EDIT_PIXELTOOL, "픽셀 그리기"}}},
    {"보기(&V)",
     {{ID_VIEW_TOOLBAR, "도구모음줄(&T)"},
      {ID_VIEW_STATUS_BAR, "상태표시줄(&S)"},
      {ID_VIEW_PALETTE, "팔레트(&P)"},
      {ID_VIEW_TERRAIN, "지형"},
      {0, nullptr},
      {ID_VIEW_ZOOMIN, "확대(&I)\tCtrl++"},
      {ID_VIEW_ZOOMOUT, "축소(&O)\tCtrl+-"},
      {ID_VIEW_ZOOMACTUAL, "실제 크기\tCtrl+0"},
      {ID_VIEW_GRID, "격자 보기(&G)\tCtrl+G"},
      {ID_VIEW_CELLATTRS, "셀 속성 보기"},
      {ID_VIEW_USAGE, "사용 횟수 보기"}}},
    {"도움말(&H)", {{ID_APP_ABOUT, "Varno 란??..."}}},
};

// Tool bar buttons, left to right; 0 is a separator.
constexpr int kToolBarButtons[] = {ID_FILE_NEW,
                                   ID_MAP_OPEN,
                                   ID_MAP_SAVE,
                                   0,
                                   ID_EDIT_COPY,
                                   ID_EDIT_PASTE,
                                   ID_EDIT_UNDO,
                                   ID_EDIT_REDO,
                                   0,
                                   ID_EDIT_FILL,
                                   0,
                                   ID_EDIT_PAINTTOOL,
                                   ID_EDIT_PIXELTOOL,
                                   0,
                                   ID_APP_ABOUT};

// Keys without a menu item of their own, in table order, and further keys of
// menu items. Cut has no handler: its keys are taken and do nothing.
struct Accelerator {
    QKeyCombination keys;
    int id;
};

// Ctrl+O and Ctrl+S sit on the map menu's 열기 and 저장, which they run.
const Accelerator kAccelerators[] = {
    {Qt::CTRL | Qt::Key_P, ID_FILE_PRINT},
    {Qt::CTRL | Qt::Key_Z, ID_EDIT_UNDO},
    {Qt::CTRL | Qt::Key_X, ID_EDIT_CUT},
    {Qt::ALT | Qt::Key_Backspace, ID_EDIT_UNDO},
    {Qt::SHIFT | Qt::Key_Delete, ID_EDIT_CUT},
    {QKeyCombination(Qt::Key_F6), ID_NEXT_PANE},
    {Qt::SHIFT | Qt::Key_F6, ID_PREV_PANE},
    {Qt::CTRL | Qt::Key_Y, ID_EDIT_REDO},
    {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, ID_EDIT_REDO},
};

} // namespace

QAction* CMainFrame::CreateAction(int id, const QString& text) {
    auto* action = new QAction(text, this);
    action->setObjectName(QStringLiteral("ID_%1").arg(id));
    action->setData(id);
    action->setStatusTip(CommandPrompt(id));
    const QString tip = CommandToolTip(id);
    if (!tip.isEmpty()) {
        action->setToolTip(tip);
    }
    action->setIcon(ToolBarIcon(id));
    action->setIconVisibleInMenu(false);
    m_actions.insert(id, action);
    return action;
}

void CMainFrame::CreateMenus() {
    for (const Menu& menu : kMenus) {
        QMenu* popup = menuBar()->addMenu(QString::fromUtf8(menu.title));
        for (const MenuItem& item : menu.items) {
            if (item.id == 0) {
                popup->addSeparator();
                continue;
            }
            if (item.id == kRecentFilesItem) {
                m_recentMenu = popup->addMenu(QString::fromUtf8(item.text));
                m_recentMenu->setObjectName(QStringLiteral("recentFilesMenu"));
                continue;
            }
            QAction* action = CreateAction(item.id, QString::fromUtf8(item.text));
            popup->addAction(action);
            if (item.id != ID_VIEW_TOOLBAR && item.id != ID_VIEW_STATUS_BAR &&
                item.id != ID_VIEW_PALETTE && item.id != ID_VIEW_TERRAIN) {
                connect(action, &QAction::triggered, this, [this, id = item.id] { OnCommand(id); });
            }
        }
    }
    // Keys on the menu items themselves, so that the menus show them.
    action(ID_FILE_NEW)->setShortcut(Qt::CTRL | Qt::Key_N);
    action(ID_MAP_OPEN)->setShortcut(Qt::CTRL | Qt::Key_O);
    action(ID_MAP_SAVE)->setShortcut(Qt::CTRL | Qt::Key_S);
    action(ID_FILE_SAVE_AS)->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    action(ID_APP_EXIT)->setShortcut(Qt::CTRL | Qt::Key_Q);
    action(ID_EDIT_FILL)->setShortcut(Qt::Key_F);
    action(ID_EDIT_PAINTTOOL)->setShortcut(Qt::Key_B);
    action(ID_EDIT_FILL)->setIconVisibleInMenu(true);
    action(ID_TILE_EDITATTR)->setCheckable(true);
    action(ID_EDIT_COPY)->setShortcuts({Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_Insert});
    action(ID_EDIT_PASTE)->setShortcuts({Qt::CTRL | Qt::Key_V, Qt::SHIFT | Qt::Key_Insert});
}

void CMainFrame::CreateToolBar() {
    m_wndToolBar = new QToolBar(this);
    m_wndToolBar->setObjectName(QStringLiteral("toolBar"));
    m_wndToolBar->setWindowTitle(CommandToolTip(ID_VIEW_TOOLBAR));
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_wndToolBar->setIconSize(kToolButtonSize);
    m_wndToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (int id : kToolBarButtons) {
        if (id == 0) {
            m_wndToolBar->addSeparator();
        } else {
            m_wndToolBar->addAction(action(id));
        }
    }
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);

    // The View item is ticked while the bar is shown, however it was hidden.
    QAction* view = action(ID_VIEW_TOOLBAR);
    view->setCheckable(true);
    view->setChecked(true);
    connect(view, &QAction::triggered, m_wndToolBar, &QToolBar::setVisible);
    connect(m_wndToolBar->toggleViewAction(), &QAction::toggled, view, &QAction::setChecked);
}

void CMainFrame::CreateStatusBar() {
    m_wndStatusBar = new QStatusBar(this);
    m_wndStatusBar->setObjectName(QStringLiteral("statusBar"));
    setStatusBar(m_wndStatusBar);
    // A normal widget: prompts, shown as temporary messages, cover it.
    m_idlePane = new QLabel(IdlePrompt(), m_wndStatusBar);
    m_idlePane->setObjectName(QStringLiteral("messagePane"));
    m_wndStatusBar->addWidget(m_idlePane, 1);
    const char* names[] = {"indicatorCaps", "indicatorNum", "indicatorScrl"};
    for (size_t i = 0; i < m_indicators.size(); ++i) {
        auto* label = new QLabel(m_wndStatusBar);
        label->setObjectName(QString::fromLatin1(names[i]));
        label->setAlignment(Qt::AlignCenter);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 8);
        m_wndStatusBar->addPermanentWidget(label);
        m_indicators[i] = label;
    }
    const std::optional<LockKeyStates> states = QueryLockKeys();
    UpdateLockIndicators(states);
    if (states) {
        m_lockTimer.setInterval(250);
        connect(&m_lockTimer, &QTimer::timeout, this,
                [this] { UpdateLockIndicators(QueryLockKeys()); });
        m_lockTimer.start();
    }

    QAction* view = action(ID_VIEW_STATUS_BAR);
    view->setCheckable(true);
    view->setChecked(true);
    connect(view, &QAction::triggered, m_wndStatusBar, &QStatusBar::setVisible);
}

void CMainFrame::ConnectPaletteBar() {
    // Ticked while the panel is shown, however it was hidden (its own close button too).
    QAction* view = action(ID_VIEW_PALETTE);
    view->setCheckable(true);
    view->setChecked(m_wndPaletteBar->isVisibleTo(this));
    connect(view, &QAction::triggered, m_wndPaletteBar, &QDockWidget::setVisible);
    connect(m_wndPaletteBar->toggleViewAction(), &QAction::toggled, view, &QAction::setChecked);
}

void CMainFrame::UpdateLockIndicators(const std::optional<LockKeyStates>& states) {
    const bool on[] = {states && states->caps, states && states->num, states && states->scroll};
    const char* texts[] = {"CAP", "NUM", "SCRL"};
    for (size_t i = 0; i < m_indicators.size(); ++i) {
        m_indicators[i]->setText(on[i] ? QString::fromLatin1(texts[i]) : QString());
    }
}

void CMainFrame::CreateAccelerators() {
    for (const Accelerator& key : kAccelerators) {
        QAction* accelerator = m_actions.value(key.id);
        if (!accelerator) {
            accelerator = CreateAction(key.id, CommandToolTip(key.id));
            addAction(accelerator);
            connect(accelerator, &QAction::triggered, this, [this, id = key.id] { OnCommand(id); });
        }
        accelerator->setShortcuts(accelerator->shortcuts() << QKeySequence(key.keys));
    }
}

void CMainFrame::NameKeysInToolTips() {
    for (QAction* button : m_wndToolBar->actions()) {
        const QString tip = CommandToolTip(button->data().toInt());
        if (!tip.isEmpty() && !button->shortcut().isEmpty()) {
            button->setToolTip(QStringLiteral("%1 (%2)").arg(
                tip, button->shortcut().toString(QKeySequence::NativeText)));
        }
    }
}

void CMainFrame::OnCommand(int id) {
    if (OnTileEditCommand(id)) {
        return;
    }
    if (OnViewCommand(id) || OnTileCommand(id) || OnTerrainCommand(id)) {
        return;
    }
    if (m_commands->Run(id, GetActiveView())) {
        return;
    }
    switch (id) {
    case ID_FILE_PRINT:
        OnFilePrint();
        break;
    case ID_FILE_PRINT_PREVIEW:
        OnFilePrintPreview();
        break;
    case ID_APP_ABOUT:
        OnAppAbout();
        break;
    case ID_APP_EXIT:
        close();
        break;
    case ID_NEXT_PANE:
        OnNextPane(1);
        break;
    case ID_TILE_EDITATTR:
        m_wndTileInfoBar->SetEditing(action(ID_TILE_EDITATTR)->isChecked());
        break;
    case ID_TILE_NEARTILES: {
        CNearTilesDlg dialog(m_pDocument->data(), *m_tilePainter, this);
        dialog.exec();
        break;
    }
    case ID_PREV_PANE:
        OnNextPane(-1);
        break;
    default:
        break;
    }
}

void CMainFrame::OnNextPane(int step) {
    const int count = m_wndSplitter->GetColumnCount();
    if (count == 0) {
        return;
    }
    const int current = std::max(m_wndSplitter->indexOf(GetActiveView()), 0);
    SetActiveView(m_wndSplitter->GetPane(0, (current + step + count) % count));
}

QWidget* CMainFrame::PrintedView() const {
    QWidget* view = GetActiveView();
    return view ? view : static_cast<QWidget*>(mapView());
}

void CMainFrame::OnFilePrint() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(GetTitle());
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if (!PrintView(printer, PrintedView())) {
        Services().ShowMessage(kPrintFailed);
    }
}

void CMainFrame::OnFilePrintPreview() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(GetTitle());
    QPrintPreviewDialog preview(&printer, this);
    QWidget* view = PrintedView();
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [view](QPrinter* target) { PrintView(*target, view); });
    preview.exec();
}

void CMainFrame::OnAppAbout() {
    CAboutDlg dialog(this);
    dialog.exec();
}

} // namespace kesh::ui
