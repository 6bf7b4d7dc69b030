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
#include "shell/FrameCommands.h"
#include "shell/StatusNotice.h"
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

// "150%", "12.5%".
QString ZoomText(int step) {
    const ZoomFactor f = ZoomAt(step);
    const double percent = 100.0 * f.num / f.den;
    return QString::number(percent, 'g', 4) + QLatin1Char('%');
}

QLabel* SunkenPane(QWidget* parent, const char* name, const QString& widest) {
    auto* pane = new QLabel(parent);
    pane->setObjectName(QString::fromLatin1(name));
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(widest) + 8);
    return pane;
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
    m_pointerPane =
        SunkenPane(m_wndStatusBar, "pointerPane", QStringLiteral("(0000, 0000) 타일 00000"));
    m_pointerPane->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Index 1: right after the message pane, the one ordinary widget.
    m_wndStatusBar->insertPermanentWidget(1, m_pointerPane);
    m_zoomPane = SunkenPane(m_wndStatusBar, "zoomPane", QStringLiteral("12.5%"));
    m_wndStatusBar->insertPermanentWidget(2, m_zoomPane);

    CKeshView* map = mapView();
    CTile1View* tiles = tileView();
    {
        const std::unique_ptr<QSettings> settings = OpenSettings();
        const bool grid = settings->value(QString::fromLatin1(kGridKey), false).toBool();
        action(ID_VIEW_GRID)->setChecked(grid);
        map->SetGrid(grid);
        tiles->SetGrid(grid);
        map->SetZoom(StoredStep(*settings, kMapZoomKey));
        // Small tiles are hard to tell apart at their own size: until the
        // user picks a zoom, tiles of 16 pixels or less show at 2x.
        if (settings->contains(QString::fromLatin1(kTileZoomKey))) {
            tiles->SetZoom(StoredStep(*settings, kTileZoomKey));
        } else {
            tiles->FollowTileSize();
        }
    }
    m_zoomPane->setText(ZoomText(map->zoomStep()));
    connect(map, &CKeshView::readoutChanged, m_pointerPane, &QLabel::setText);
    connect(map, &CKeshView::zoomChanged, this, [this](int step) {
        m_zoomPane->setText(ZoomText(step));
        SaveViewSettings();
    });
    // Feedback for a few seconds, then the usual prompt.
    m_commands->SetNotice(
        [this](const QString& text) { m_wndStatusBar->showMessage(text, notice::kShownMs); });
    connect(map, &CKeshView::currentTilePicked, this, [this](int tile) {
        m_wndStatusBar->showMessage(notice::TilePicked(tile), notice::kShownMs);
    });
    connect(tiles, &CTile1View::zoomChanged, this, [this] { SaveViewSettings(); });
}

void CMainFrame::SaveViewSettings() const {
    const std::unique_ptr<QSettings> settings = OpenSettings();
    settings->setValue(QString::fromLatin1(kMapZoomKey), mapView()->zoomStep());
    // Only a zoom the user picked; otherwise it keeps following the tile size.
    if (tileView()->zoomChosen()) {
        settings->setValue(QString::fromLatin1(kTileZoomKey), tileView()->zoomStep());
    } else {
        settings->remove(QString::fromLatin1(kTileZoomKey));
    }
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
        // The paint tool and a map tool (지형 붓...) take turns.
        if (map->paintTool()) {
            map->SetTool(nullptr);
        }
        return true;
    default:
        return false;
    }
}

} // namespace kesh::ui
