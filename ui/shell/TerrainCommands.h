#pragma once

#include <cstdint>
#include <functional>

#include <QObject>
#include <QString>

#include "doc/Document.h"
#include "doc/DocumentListener.h"
#include "mapview/TerrainBrush.h"

class QAction;

namespace kesh {
class FileSystem;
}

namespace kesh::ui {

class CKeshView;
class CTerrainPanel;

// The terrain commands of the menus: 지형 붓 (a map tool, and so exclusive
// with the paint tool and any other tool of the map view), 지형 채우기 over
// the selection, and 지형 만들기.... Both editing commands paint the terrain
// chosen in the panel and are on only while the document has a terrain
// set; each step that left cells on the nearest tile says how many in the
// status bar.
class TerrainCommands : public QObject, private DocumentListener {
    Q_OBJECT
public:
    struct Actions {
        QAction* brush;
        QAction* fill;
        QAction* paintTool;
    };
    TerrainCommands(Document& doc, CKeshView& map, CTerrainPanel& panel, Actions actions,
                    FileSystem& fs, std::function<void(const QString&)> notice);
    ~TerrainCommands() override;

    // Runs the terrain command `id`; false for any other.
    bool Run(int id);
    // Turns the terrain brush on or off in the map view.
    void SetBrush(bool on);
    // Fills the selected cells (their corners, for a corner set).
    void Fill();
    void Make();
    TerrainBrush& brush() { return m_brush; }

    // "맞는 타일이 없는 셀 12개" after a step that left cells unmatched;
    // empty for none.
    static QString UnmatchedNotice(uint64_t unmatched);

private:
    void DocumentChanged(uint32_t changes) override;
    void Report(uint64_t unmatched) const;

    Document& m_doc;
    CKeshView& m_map;
    CTerrainPanel& m_panel;
    Actions m_actions;
    FileSystem& m_fs;
    std::function<void(const QString&)> m_notice;
    TerrainBrush m_brush;
    bool m_hadSet = false;
};

} // namespace kesh::ui
