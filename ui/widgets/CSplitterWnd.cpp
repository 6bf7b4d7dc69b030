#include "widgets/CSplitterWnd.h"

namespace kesh::ui {

CSplitterWnd::CSplitterWnd(QWidget* parent) : QSplitter(Qt::Horizontal, parent) {
    setChildrenCollapsible(true);
}

CSplitterWnd::~CSplitterWnd() = default;

void CSplitterWnd::CreateView(int row, int column, QWidget* view) {
    if (row != 0 || !view) {
        return;
    }
    insertWidget(column, view);
    // Only the last column grows and shrinks with the window.
    for (int i = 0; i < count(); ++i) {
        setStretchFactor(i, i == count() - 1 ? 1 : 0);
    }
}

QWidget* CSplitterWnd::GetPane(int row, int column) const {
    if (row != 0 || column < 0 || column >= count()) {
        return nullptr;
    }
    return widget(column);
}

} // namespace kesh::ui
