#pragma once

#include <vector>

#include <QDockWidget>

#include "doc/Document.h"
#include "doc/DocumentListener.h"
#include "terrain/TerrainGaps.h"
#include "tileview/TilePainter.h"

class QCheckBox;
class QLabel;
class QListWidget;

namespace kesh::ui {

// The "지형" panel: the document's terrain set, its terrains each with a
// sample tile (one showing that terrain all over) and the colour the
// pictures below use; a click chooses the terrain the terrain brush and
// fill paint. Then the terrain options (무작위 변형, and 무작위 뒤집기 while
// the map has flip fields), and "없는 조합": the combinations of two
// terrains no tile shows (TerrainGaps), as small pictures, with a count.
class CTerrainPanel : public QDockWidget, private DocumentListener {
    Q_OBJECT
public:
    CTerrainPanel(Document& doc, TilePainter& tiles, QWidget* parent = nullptr);
    ~CTerrainPanel() override;

    // The terrain the tools paint: -1 without a set.
    int terrain() const { return m_terrain; }
    void ChooseTerrain(int terrain);
    const std::vector<TerrainGap>& gaps() const { return m_gaps; }

    QListWidget* terrainList() const { return m_list; }
    QCheckBox* variantsBox() const { return m_variants; }
    QCheckBox* flipsBox() const { return m_flips; }
    QLabel* gapTitle() const { return m_gapTitle; }
    QWidget* gapPictures() const { return m_gapView; }

    // Draws the pictures of the missing combinations (their paint event),
    // `width` pixels across; the height they need for that width.
    void PaintGaps(QPainter& dc, int width) const;
    int GapsHeight(int width) const;

signals:
    void terrainChosen(int terrain);

private:
    void DocumentChanged(uint32_t changes) override;
    // Takes the set, its samples and gaps, and the options again.
    void Refresh();
    void OptionsChanged();

    Document& m_doc;
    TilePainter& m_tiles;
    int m_terrain = -1;
    std::vector<TerrainGap> m_gaps;
    QLabel* m_note = nullptr;
    QListWidget* m_list = nullptr;
    QCheckBox* m_variants = nullptr;
    QCheckBox* m_flips = nullptr;
    QLabel* m_gapTitle = nullptr;
    QWidget* m_gapView = nullptr;
};

} // namespace kesh::ui
