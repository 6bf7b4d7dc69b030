#include <optional>

#include <QAction>
#include <QStatusBar>

#include "doc/CellCommands.h"
#include "edit/MapGeometry.h"
#include "mapview/CKeshView.h"
#include "shell/AppServices.h"
#include "shell/CKeshDoc.h"
#include "shell/CMainFrame.h"
#include "shell/CReplaceTileDlg.h"
#include "shell/CommandIds.h"
#include "shell/StatusNotice.h"
#include "shell/TileBudgetPane.h"
#include "tileview/CTile1View.h"

namespace kesh::ui {

namespace {

constexpr const char* kNothingToReplace = "타일을 바꿀 지도나 타일이 없습니다.";

} // namespace

void CMainFrame::CreateTileCommands() {
    // After the zoom pane, before the lock indicators.
    m_budgetPane = new TileBudgetPane(m_pDocument->data(), m_wndStatusBar);
    m_wndStatusBar->insertPermanentWidget(3, m_budgetPane);
    action(ID_VIEW_USAGE)->setCheckable(true);
    CTile1View* tiles = tileView();
    connect(tiles, &CTile1View::tileHovered, this, [this, tiles](int number) {
        if (number >= 0) {
            m_wndStatusBar->showMessage(tiles->UsageText(number), notice::kShownMs);
        }
    });
    connect(tiles, &CTile1View::failed, this,
            [](const QString& text) { Services().ShowMessage(text.toStdString()); });
}

bool CMainFrame::OnTileCommand(int id) {
    switch (id) {
    case ID_VIEW_USAGE:
        tileView()->SetUsageShown(action(ID_VIEW_USAGE)->isChecked());
        return true;
    case ID_TILE_REPLACE:
        OnTileReplace();
        return true;
    default:
        return false;
    }
}

void CMainFrame::OnTileReplace() {
    Document& doc = m_pDocument->data();
    const MapModel& map = doc.map();
    const int32_t tw = doc.tiles().tileWidth();
    const int32_t th = doc.tiles().tileHeight();
    if (!map.hasCells() || doc.tiles().count() == 0 || tw <= 0 || th <= 0) {
        Services().ShowMessage(kNothingToReplace);
        return;
    }
    // The dialog opens on the tile of the map's current cell.
    MapViewState& state = mapView()->viewState();
    state.Follow(map, tw, th);
    const uint16_t under = map.cells()[size_t(state.m_nCurCell)];
    const int from = under < doc.tiles().count() ? under : 0;
    const Rect selection = CutToGrid(map, SelectionCells(state, tw, th));
    CReplaceTileDlg dialog(*m_tilePainter, from, doc.currentTile(), selection, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const ReplaceChoice choice = dialog.Choice();
    CleanupSummary summary;
    const Status st = doc.ReplaceTile(
        choice.from, choice.selectionOnly ? std::optional<Rect>(selection) : std::nullopt, summary);
    if (!st) {
        Services().ShowMessage(st.message());
        return;
    }
    m_wndStatusBar->showMessage(QStringLiteral("타일 바꾸기: 타일 %1을(를) 보여 주던 %2칸이 이제 "
                                               "타일 %3을(를) 보여 줍니다.")
                                    .arg(choice.from)
                                    .arg(summary.cellsChanged)
                                    .arg(doc.currentTile()),
                                notice::kShownMs);
}

} // namespace kesh::ui
