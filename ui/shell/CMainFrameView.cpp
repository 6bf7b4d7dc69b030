#include <memory>

#include <QAction>
#include <QLabel>
#include <QSettings>
#include <QStatusBar>

#include "edit/Zoom.h"
#include "mapview/CKeshView.h"
#include "shell/AppSettings.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "tileview/CTile1View.h"

namespace kesh::ui {

namespace {

constexpr const char* kMapZoomKey = "View/MapZoom";
constexpr const char* kTileZoomKey = "View/TileZoom";
constexpr const char* kGridKey = "View/Grid";

int StoredStep(const QSettings& settings, const char* key) {
    bool ok = false;
    const int step = settings.value(QString::fromLatin1(key)).toInt(&ok);
    return ok ? ClampZoomStep(step) : kZoomActual;
}

} // namespace

void CMainFrame::CreateViewCommands() {
    action(ID_VIEW_ZOOMIN)->setShortcuts({Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal});
    action(ID_VIEW_ZOOMOUT)->setShortcut(Qt::CTRL | Qt::Key_Minus);
    action(ID_VIEW_ZOOMACTUAL)->setShortcut(Qt::CTRL | Qt::Key_0);
    action(ID_VIEW_GRID)->setShortcut(Qt::CTRL | Qt::Key_G);
    action(ID_VIEW_GRID)->setCheckable(true);
    action(ID_EDIT_PAINTTOOL)->setCheckable(true);
    action(ID_VIEW_CELLATTRS)->setCheckable(true);

    // Between the message and the lock indicators.
    m_pointerPane = new QLabel(m_wndStatusBar);
    m_pointerPane->setObjectName(QStringLiteral("pointerPane"));
    m_pointerPane->setFrameShape(QFrame::Panel);
    m_pointerPane->setFrameShadow(QFrame::Sunken);
    m_pointerPane->setMinimumWidth(
        m_pointerPane->fontMetrics().horizontalAdvance(QStringLiteral("(0000, 0000) 타일 00000")) +
        8);
    // Index 1: right after the message pane, the one ordinary widget.
    m_wndStatusBar->insertPermanentWidget(1, m_pointerPane);

    CKeshView* map = mapView();
    CTile1View* tiles = tileView();
    {
        const std::unique_ptr<QSettings> settings = OpenSettings();
        const bool grid = settings->value(QString::fromLatin1(kGridKey), false).toBool();
        action(ID_VIEW_GRID)->setChecked(grid);
        map->SetGrid(grid);
        tiles->SetGrid(grid);
        map->SetZoom(StoredStep(*settings, kMapZoomKey));
        tiles->SetZoom(StoredStep(*settings, kTileZoomKey));
    }
    connect(map, &CKeshView::readoutChanged, m_pointerPane, &QLabel::setText);
    connect(map, &CKeshView::zoomChanged, this, [this] { SaveViewSettings(); });
    connect(tiles, &CTile1View::zoomChanged, this, [this] { SaveViewSettings(); });
}

void CMainFrame::SaveViewSettings() const {
    const std::unique_ptr<QSettings> settings = OpenSettings();
    settings->setValue(QString::fromLatin1(kMapZoomKey), mapView()->zoomStep());
    settings->setValue(QString::fromLatin1(kTileZoomKey), tileView()->zoomStep());
    settings->setValue(QString::fromLatin1(kGridKey), mapView()->gridShown());
}

bool CMainFrame::OnViewCommand(int id) {
    CKeshView* map = mapView();
    switch (id) {
    case ID_VIEW_ZOOMIN:
        map->SetZoom(ZoomIn(map->zoomStep()));
        return true;
    case ID_VIEW_ZOOMOUT:
        map->SetZoom(ZoomOut(map->zoomStep()));
        return true;
    case ID_VIEW_ZOOMACTUAL:
        map->SetZoom(kZoomActual);
        return true;
    case ID_VIEW_GRID: {
        // The item has already changed its tick when it comes here.
        const bool shown = action(ID_VIEW_GRID)->isChecked();
        map->SetGrid(shown);
        tileView()->SetGrid(shown);
        SaveViewSettings();
        return true;
    }
    case ID_VIEW_CELLATTRS:
        map->SetCellAttrsShown(action(ID_VIEW_CELLATTRS)->isChecked());
        return true;
    case ID_EDIT_PAINTTOOL:
        map->SetPaintTool(action(ID_EDIT_PAINTTOOL)->isChecked());
        return true;
    default:
        return false;
    }
}

} // namespace kesh::ui
