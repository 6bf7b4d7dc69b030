#include "shell/TerrainCommands.h"

#include <QAction>

#include "app/TerrainProcedures.h"
#include "edit/MapGeometry.h"
#include "mapview/CKeshView.h"
#include "shell/AppServices.h"
#include "shell/CommandIds.h"
#include "terrain/TerrainMessages.h"
#include "tileview/CTerrainPanel.h"

namespace kesh::ui {

TerrainCommands::TerrainCommands(Document& doc, CKeshView& map, CTerrainPanel& panel,
                                 Actions actions, FileSystem& fs,
                                 std::function<void(const QString&)> notice)
    : m_doc(doc), m_map(map), m_panel(panel), m_actions(actions), m_fs(fs),
      m_notice(std::move(notice)), m_brush(
                                       map, [this] { return m_panel.terrain(); },
                                       [this](uint64_t unmatched) { Report(unmatched); }) {
    m_actions.brush->setCheckable(true);
    // Another tool taking the view turns the brush off, and its item with it.
    connect(&m_map, &CKeshView::toolChanged, this,
            [this](MapTool* tool) { m_actions.brush->setChecked(tool == &m_brush); });
    m_doc.AddListener(this);
    DocumentChanged(change::kTerrain);
}

TerrainCommands::~TerrainCommands() {
    m_doc.RemoveListener(this);
    if (m_map.tool() == &m_brush)
        m_map.SetTool(nullptr);
}

QString TerrainCommands::UnmatchedNotice(uint64_t unmatched) {
    return unmatched == 0 ? QString()
                          : QStringLiteral("맞는 타일이 없는 셀 %1개").arg(qulonglong(unmatched));
}

void TerrainCommands::Report(uint64_t unmatched) const {
    if (unmatched != 0 && m_notice)
        m_notice(UnmatchedNotice(unmatched));
}

bool TerrainCommands::Run(int id) {
    switch (id) {
    case ID_EDIT_TERRAINBRUSH:
        // The item has already changed its tick when it comes here.
        SetBrush(m_actions.brush->isChecked());
        return true;
    case ID_EDIT_TERRAINFILL:
        Fill();
        return true;
    case ID_TILE_MAKETERRAIN:
        Make();
        return true;
    default:
        return false;
    }
}

void TerrainCommands::SetBrush(bool on) {
    on = on && m_doc.terrain().active();
    if (on) {
        m_actions.paintTool->setChecked(false);
        m_map.SetPaintTool(false);
        m_map.SetTool(&m_brush);
    } else if (m_map.tool() == &m_brush) {
        m_map.SetTool(nullptr);
    }
    m_actions.brush->setChecked(on);
}

void TerrainCommands::Fill() {
    const int32_t w = m_doc.tiles().tileWidth(), h = m_doc.tiles().tileHeight();
    const int terrain = m_panel.terrain();
    if (!m_doc.terrain().active() || terrain < 0 || w <= 0 || h <= 0 || !m_doc.map().hasCells())
        return;
    Rect points = SelectionCells(m_map.viewState(), w, h);
    // A corner set's values of those cells are their corners, one more each way.
    if (m_doc.terrain().set().kind == TerrainKind::Corner) {
        ++points.right;
        ++points.bottom;
    }
    m_doc.FillTerrain(points, terrain);
    Report(m_doc.terrainUnmatched());
}

void TerrainCommands::Make() {
    TerrainProcedures procs(m_doc, Services(), m_fs);
    if (procs.OnMakeTerrain())
        m_panel.show();
}

void TerrainCommands::DocumentChanged(uint32_t changes) {
    if (!(changes & (change::kTerrain | change::kReplaced)))
        return;
    const bool has = m_doc.terrain().active();
    m_actions.brush->setEnabled(has);
    m_actions.fill->setEnabled(has);
    if (!has)
        SetBrush(false);
    // A set that comes with an opened map shows its panel.
    if (has && !m_hadSet)
        m_panel.show();
    m_hadSet = has;
}

} // namespace kesh::ui
