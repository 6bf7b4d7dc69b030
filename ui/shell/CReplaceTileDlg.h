#pragma once

#include <optional>

#include <QDialog>

#include "map/MapModel.h"

class QLabel;
class QRadioButton;
class QSpinBox;

namespace kesh::ui {

class TilePainter;

// What "타일 바꾸기" replaces: the tile whose cells will show the current
// tile, in the whole map or only in the selection.
struct ReplaceChoice {
    int from = 0;
    bool selectionOnly = false;
};

// Asks which tile to replace with the current one: a tile number, the tile
// drawn beside it and the current tile after it, and where. Opens on the tile
// of the map's current cell, and on the selection when it covers more than
// one cell.
class CReplaceTileDlg : public QDialog {
    Q_OBJECT
public:
    // `selection`: the selected cells cut to the grid; none without cells.
    CReplaceTileDlg(TilePainter& painter, int from, int into, std::optional<Rect> selection,
                    QWidget* parent = nullptr);

    QSpinBox* tileBox() const { return m_tile; }
    QRadioButton* selectionButton() const { return m_selection; }
    ReplaceChoice Choice() const;

private:
    void ShowTile(QLabel* label, int number);

    TilePainter& m_painter;
    QSpinBox* m_tile = nullptr;
    QLabel* m_fromImage = nullptr;
    QRadioButton* m_whole = nullptr;
    QRadioButton* m_selection = nullptr;
};

} // namespace kesh::ui
