#include "shell/TileBudgetPane.h"

namespace kesh::ui {

TileBudgetPane::TileBudgetPane(Document& doc, QWidget* parent) : QLabel(parent), m_doc(doc) {
    setObjectName(QStringLiteral("tileBudgetPane"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setAlignment(Qt::AlignCenter);
    setTextFormat(Qt::RichText);
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("타일 00000 / 00000")) + 8);
    setToolTip(QStringLiteral("저장될 타일 수 / 타일 한도"));
    m_doc.AddListener(this);
    Refresh();
}

TileBudgetPane::~TileBudgetPane() {
    m_doc.RemoveListener(this);
}

QString TileBudgetPane::Text(int32_t stored, int64_t limit) {
    const QString count = QString::number(stored);
    const QString shown =
        stored > limit ? QStringLiteral("<span style=\"color:#d00000\"><b>%1</b></span>").arg(count)
                       : count;
    return QStringLiteral("타일 %1 / %2").arg(shown).arg(limit);
}

void TileBudgetPane::DocumentChanged(uint32_t changes) {
    // Cells do not change the count: every tile of the set is stored.
    if (changes & (change::kTiles | change::kTileLayout | change::kMapLayout | change::kReplaced)) {
        Refresh();
    }
}

void TileBudgetPane::Refresh() {
    const int32_t stored = m_doc.storedTiles();
    const int64_t limit = m_doc.tileLimit();
    if (stored == m_stored && limit == m_limit && !text().isEmpty()) {
        return;
    }
    m_stored = stored;
    m_limit = limit;
    setText(Text(stored, limit));
}

} // namespace kesh::ui
