#include "app/CMainFrame.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include "app/AppServices.h"
#include "app/CSplitterWnd.h"
#include "app/QtUserServices.h"
#include "map/CKeshView.h"
#include "tileset/CTile1View.h"
#include "tileset/CTileInfoBar.h"

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

} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    if (!AppServices()) {
        m_services = std::make_unique<QtUserServices>(this);
        SetAppServices(m_services.get());
    }
    SetTitle(QStringLiteral("제목없음"));
    resize(DefaultFrameSize());
    OnCreate();
}

CMainFrame::~CMainFrame() {
    if (m_services && AppServices() == m_services.get()) {
        SetAppServices(nullptr);
    }
}

void CMainFrame::OnCreate() {
    OnCreateClient();

    m_wndTileInfoBar = new CTileInfoBar(this);
    g_wndTileInfoBar = m_wndTileInfoBar;
    addDockWidget(Qt::RightDockWidgetArea, m_wndTileInfoBar);

    m_wndToolBar = new QToolBar(this);
    m_wndToolBar->setObjectName(QStringLiteral("toolBar"));
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);

    m_wndStatusBar = new QStatusBar(this);
    m_wndStatusBar->setObjectName(QStringLiteral("statusBar"));
    setStatusBar(m_wndStatusBar);
}

void CMainFrame::OnCreateClient() {
    m_wndSplitter = new CSplitterWnd(this);
    m_wndSplitter->setObjectName(QStringLiteral("mainSplitter"));
    setCentralWidget(m_wndSplitter);

    // Two thirds of the whole client width, taken before the bars exist.
    m_mapColumnWidth = MapColumnWidth(width());
    auto* map = new CKeshView(m_wndSplitter);
    m_wndSplitter->CreateView(0, 0, map);
    m_wndSplitter->CreateView(0, 1, new CTile1View(m_wndSplitter));

    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        for (QWidget* view :
             {static_cast<QWidget*>(mapView()), static_cast<QWidget*>(tileView())}) {
            if (now && view && (now == view || view->isAncestorOf(now))) {
                m_pActiveView = view;
            }
        }
    });
    SetActiveView(map);
    g_pMainSplitter = m_wndSplitter;
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
    m_title = title;
    setWindowTitle(title + QStringLiteral(" - kesh"));
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
    const int map = std::min(m_mapColumnWidth, std::max(total, 0));
    m_wndSplitter->setSizes({map, std::max(total - map, 0)});
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // The map view asks about unsaved changes; nothing can stop the closing.
    if (CKeshView* map = mapView()) {
        map->DiscardGrid();
    }
    event->accept();
}

} // namespace kesh::ui
