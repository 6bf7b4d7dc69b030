// The 타일 편집 panel and the map's 픽셀 그리기 tool.
#include <algorithm>

#include <QAction>
#include <QTimer>
#include <QStatusBar>

#include "mapview/CKeshView.h"
#include "mapview/PixelMapTool.h"
#include "shell/CMainFrame.h"
#include "shell/CKeshDoc.h"
#include "shell/CommandIds.h"
#include "shell/StatusNotice.h"
#include "tileview/CTile1View.h"
#include "tileview/CTileEditPanel.h"
#include "widgets/CSplitterWnd.h"

namespace kesh::ui {

void CMainFrame::CreateTileEdit() {
    m_wndTileEditPanel = new CTileEditPanel(m_pDocument->data(), this);
    // On the left, beside the map: the right holds the tile set and its bars.
    addDockWidget(Qt::LeftDockWidgetArea, m_wndTileEditPanel);
    // Opened by 타일 편집 or a double click on a tile, not at start.
    m_wndTileEditPanel->hide();
    const auto tell = [this](const QString& text) {
        m_wndStatusBar->showMessage(text, notice::kShownMs);
    };
    connect(m_wndTileEditPanel, &CTileEditPanel::notice, this, tell);
    connect(tileView(), &CTile1View::editRequested, this,
            [this] { OnCommand(ID_TILE_EDITPIXELS); });
    m_pixelTool = std::make_unique<PixelMapTool>(
        *mapView(), [this] { return m_wndTileEditPanel->colour(); }, tell);
    action(ID_EDIT_PIXELTOOL)->setCheckable(true);
    // Another map tool (지형 붓) taking the view turns this one off.
    connect(mapView(), &CKeshView::toolChanged, this, [this](MapTool* tool) {
        action(ID_EDIT_PIXELTOOL)->setChecked(tool != nullptr && tool == m_pixelTool.get());
    });
}

bool CMainFrame::OnTileEditCommand(int id) {
    switch (id) {
    case ID_TILE_EDITPIXELS: {
        // The splitter keeps the map column's width and gives the rest to
        // the tile set, which a panel opening beside them would squeeze
        // away: the map column gives up the room instead.
        const int tileColumn = m_wndSplitter->sizes().value(1);
        const bool opening = !m_wndTileEditPanel->isVisible();
        m_wndTileEditPanel->show();
        m_wndTileEditPanel->raise();
        if (opening && tileColumn > 0) {
            QTimer::singleShot(0, this, [this, tileColumn] {
                const QList<int> sizes = m_wndSplitter->sizes();
                const int total = sizes.value(0) + sizes.value(1);
                const int tiles = std::min(tileColumn, total / 2);
                if (sizes.size() == 2 && sizes[1] < tiles)
                    m_wndSplitter->setSizes({total - tiles, tiles});
            });
        }
        return true;
    }
    case ID_EDIT_PIXELTOOL: {
        // The item has already changed its tick when it comes here.
        const bool on = action(ID_EDIT_PIXELTOOL)->isChecked();
        if (on && action(ID_EDIT_PAINTTOOL)->isChecked()) {
            action(ID_EDIT_PAINTTOOL)->setChecked(false);
            mapView()->SetPaintTool(false);
        }
        mapView()->SetTool(on ? m_pixelTool.get() : nullptr);
        if (on && !PixelMapTool::ZoomAllowed(mapView()->zoomStep()))
            m_wndStatusBar->showMessage(PixelMapTool::RefusedText(), notice::kShownMs);
        return true;
    }
    case ID_EDIT_PAINTTOOL:
        // The two tools take the same button: one at a time.
        if (action(ID_EDIT_PAINTTOOL)->isChecked() && action(ID_EDIT_PIXELTOOL)->isChecked()) {
            action(ID_EDIT_PIXELTOOL)->setChecked(false);
            mapView()->SetTool(nullptr);
        }
        return false;
    default:
        return false;
    }
}

} // namespace kesh::ui
