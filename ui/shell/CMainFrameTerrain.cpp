// The terrain panel and the terrain commands of the main window.
#include <QAction>
#include <QStatusBar>

#include "io/FileSystem.h"
#include "shell/CKeshDoc.h"
#include "shell/CMainFrame.h"
#include "shell/CommandIds.h"
#include "shell/StatusNotice.h"
#include "shell/TerrainCommands.h"
#include "tileview/CTerrainPanel.h"
#include "tileview/TilePainter.h"

namespace kesh::ui {

void CMainFrame::CreateTerrainCommands() {
    m_wndTerrainPanel = new CTerrainPanel(m_pDocument->data(), *m_tilePainter, this);
    addDockWidget(Qt::RightDockWidgetArea, m_wndTerrainPanel);
    // Hidden until a set comes or 보기 > 지형 shows it.
    m_wndTerrainPanel->hide();
    QAction* view = action(ID_VIEW_TERRAIN);
    view->setCheckable(true);
    view->setChecked(false);
    connect(view, &QAction::triggered, m_wndTerrainPanel, &QDockWidget::setVisible);
    connect(m_wndTerrainPanel->toggleViewAction(), &QAction::toggled, view, &QAction::setChecked);
    m_terrain = std::make_unique<TerrainCommands>(
        m_pDocument->data(), *mapView(), *m_wndTerrainPanel,
        TerrainCommands::Actions{action(ID_EDIT_TERRAINBRUSH), action(ID_EDIT_TERRAINFILL),
                                 action(ID_EDIT_PAINTTOOL)},
        FileSystem::Native(),
        [this](const QString& text) { m_wndStatusBar->showMessage(text, notice::kShownMs * 2); });
}

bool CMainFrame::OnTerrainCommand(int id) {
    return m_terrain && m_terrain->Run(id);
}

} // namespace kesh::ui
