#pragma once

#include <QSplitter>

namespace kesh::ui {

// A fixed grid of panes, one row high: the main window's client area.
// Panes are found by row and column; the first column keeps its width when
// the window is resized and the last column takes the rest.
class CSplitterWnd : public QSplitter {
    Q_OBJECT
public:
    explicit CSplitterWnd(QWidget* parent = nullptr);
    ~CSplitterWnd() override;

    // Puts `view` into column `column` of row 0 (columns are added in order).
    void CreateView(int row, int column, QWidget* view);
    // The pane at (row, column), or null when there is none.
    QWidget* GetPane(int row, int column) const;
    int GetRowCount() const { return 1; }
    int GetColumnCount() const { return count(); }
};

} // namespace kesh::ui
