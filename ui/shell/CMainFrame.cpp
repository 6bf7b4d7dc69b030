#include "shell/CMainFrame.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>

#include "mapview/CKeshView.h"
#include "mapview/PixelMapTool.h"
#include "shell/AppServices.h"
#include "shell/AppSettings.h"
#include "shell/CKeshDoc.h"
#include "shell/CommandIds.h"
#include "shell/FrameCommands.h"
#include "shell/FrameRecovery.h"
#include "shell/QtUserServices.h"
#include "shell/TerrainCommands.h"
#include "shell/UndoActions.h"
#include "tileview/CPaletteBar.h"
#include "tileview/CTerrainPanel.h"
#include "tileview/CTile1View.h"
#include "tileview/CTileEditPanel.h"
#include "tileview/CTileInfoBar.h"
#include "tileview/TilePainter.h"
#include "widgets/CSplitterWnd.h"

namespace kesh::ui {

namespace {

// The size a new main window gets: three quarters of the screen.
QSize DefaultFrameSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return {1024, 720};
    }
    const QSize available = screen->availableGeometry().size();
    return {available.width() * 3 / 4, available.height() * 3 / 4};
}

// Where the window's placement is kept in the settings store.
const QString kGeometryKey = QStringLiteral("Frame/Geometry");
const QString kStateKey = QStringLiteral("Frame/State");
const QString kMapColumnKey = QStringLiteral("Frame/MapColumn");
// Bumped when the bars change in a way an old saved state would not fit.
constexpr int kStateVersion = 1;

} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    if (!AppServices()) {
        m_services = std::make_unique<QtUserServices>(this);
        SetAppServices(m_services.get());
    }
    m_pDocument = new CKeshDoc(this);
    connect(m_pDocument, &CKeshDoc::captionChanged, this, &QWidget::setWindowTitle);
    m_pDocument->OnNewDocument();
    m_tilePainter = std::make_unique<TilePainter>(m_pDocument->data().tiles());
    m_commands = std::make_unique<FrameCommands>(
        m_pDocument->data(), [this](const QString& title) { m_pDocument->SetTitle(title); });
    resize(DefaultFrameSize());
    OnCreate();
    SetUpFiles();
    LoadFramePlacement();
}

CMainFrame::~CMainFrame() {
    // The views go before the document they show.
    disconnect(qApp, nullptr, this, nullptr);
    m_commands->SetViews(nullptr, nullptr);
    m_terrain.reset();
    delete m_wndTerrainPanel;
    m_wndTerrainPanel = nullptr;
    delete m_wndSplitter;
    m_wndSplitter = nullptr;
    delete m_wndTileInfoBar;
    m_wndTileInfoBar = nullptr;
    delete m_wndPaletteBar;
    m_wndPaletteBar = nullptr;
    delete m_wndTileEditPanel;
    m_wndTileEditPanel = nullptr;
    if (m_services && AppServices() == m_services.get()) {
        SetAppServices(nullptr);
    }
}

void CMainFrame::OnCreate() {
    OnCreateClient();

    m_wndTileInfoBar = new CTileInfoBar(m_pDocument->data(), *m_tilePainter, this);
    addDockWidget(Qt::RightDockWidgetArea, m_wndTileInfoBar);
    m_wndPaletteBar = new CPaletteBar(m_pDocument->data(), this);
    addDockWidget(Qt::RightDockWidgetArea, m_wndPaletteBar);

    CreateMenus();
    m_undoActions = std::make_unique<UndoActions>(m_pDocument->data(), action(ID_EDIT_UNDO),
                                                  action(ID_EDIT_REDO));
    CreateToolBar();
    CreateStatusBar();
    ConnectPaletteBar();
    CreateAccelerators();
    CreateViewCommands();
    CreateTileCommands();
    CreateTerrainCommands();
    CreateTileEdit();
    NameKeysInToolTips();
}

void CMainFrame::OnCreateClient() {
    m_wndSplitter = new CSplitterWnd(this);
    m_wndSplitter->setObjectName(QStringLiteral("mainSplitter"));
    setCentralWidget(m_wndSplitter);

    // Two thirds of the whole client width, taken before the bars exist.
    m_mapColumnWidth = MapColumnWidth(width());
    Document& doc = m_pDocument->data();
    auto* map = new CKeshView(doc, *m_tilePainter, m_wndSplitter);
    auto* tiles = new CTile1View(doc, *m_tilePainter, m_wndSplitter);
    m_wndSplitter->CreateView(0, 0, map);
    m_wndSplitter->CreateView(0, 1, tiles);
    m_commands->SetViews(map, tiles);
    connect(tiles, &CTile1View::deleteRequested, this, [this] { m_commands->OnTileDelete(); });

    // The active view follows the focus.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        for (QWidget* view :
             {static_cast<QWidget*>(mapView()), static_cast<QWidget*>(tileView())}) {
            if (now && view && (now == view || view->isAncestorOf(now))) {
                m_pActiveView = view;
            }
        }
    });
    SetActiveView(map);
}

CKeshView* CMainFrame::mapView() const {
    return qobject_cast<CKeshView*>(m_wndSplitter->GetPane(0, 0));
}

CTile1View* CMainFrame::tileView() const {
    return qobject_cast<CTile1View*>(m_wndSplitter->GetPane(0, 1));
}

void CMainFrame::SetActiveView(QWidget* view) {
    m_pActiveView = view;
    if (view) {
        view->setFocus(Qt::OtherFocusReason);
    }
}

void CMainFrame::SetTitle(const QString& title) {
    m_pDocument->SetTitle(title);
}

QString CMainFrame::GetTitle() const {
    return m_pDocument->GetTitle();
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    ApplyInitialColumns();
}

void CMainFrame::ApplyInitialColumns() {
    if (m_columnsApplied) {
        return;
    }
    m_columnsApplied = true;
    const int total = m_wndSplitter->width() - m_wndSplitter->handleWidth();
    const int wanted = m_savedMapColumn >= 0 ? m_savedMapColumn : m_mapColumnWidth;
    const int map = std::min(wanted, std::max(total, 0));
    m_wndSplitter->setSizes({map, std::max(total - map, 0)});
}

void CMainFrame::LoadFramePlacement() {
    const std::unique_ptr<QSettings> settings = OpenSettings();
    if (settings->contains(kGeometryKey)) {
        restoreGeometry(settings->value(kGeometryKey).toByteArray());
    }
    if (settings->contains(kStateKey)) {
        restoreState(settings->value(kStateKey).toByteArray(), kStateVersion);
    }
    bool ok = false;
    const int column = settings->value(kMapColumnKey).toInt(&ok);
    if (ok && column >= 0) {
        m_savedMapColumn = column;
    }
}

void CMainFrame::SaveFramePlacement() const {
    const std::unique_ptr<QSettings> settings = OpenSettings();
    settings->setValue(kGeometryKey, saveGeometry());
    settings->setValue(kStateKey, saveState(kStateVersion));
    const QList<int> sizes = m_wndSplitter->sizes();
    if (m_columnsApplied && !sizes.isEmpty()) {
        settings->setValue(kMapColumnKey, sizes.first());
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // A changed map is offered for saving; when the user wanted it saved and
    // that did not happen (cancelled or failed), the window stays open.
    if (!m_commands->QueryClose()) {
        event->ignore();
        return;
    }
    SaveFramePlacement();
    // A clean exit: the work was saved or the user let it go.
    m_recovery->Discard();
    event->accept();
}

} // namespace kesh::ui
