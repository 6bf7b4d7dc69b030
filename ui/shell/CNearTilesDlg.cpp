#include "shell/CNearTilesDlg.h"

#include <algorithm>

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/CleanupProcedures.h"
#include "doc/Document.h"
#include "shell/AppServices.h"
#include "shell/NearPairDelegate.h"
#include "shell/NearPairsModel.h"

namespace kesh::ui {

CNearTilesDlg::CNearTilesDlg(Document& doc, TilePainter& painter, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_model(new NearPairsModel(this)) {
    setWindowTitle(QStringLiteral("비슷한 타일 찾기"));

    m_differing = new QSpinBox(this);
    m_differing->setObjectName(QStringLiteral("differing"));
    m_differing->setRange(1, 16);
    m_differing->setValue(2);
    m_differing->setSuffix(QStringLiteral("픽셀"));
    // Typing "12" looks for pairs once, not for 1 and then 12.
    m_differing->setKeyboardTracking(false);
    m_count = new QLabel(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("다른 픽셀 수 (최대):"), this));
    top->addWidget(m_differing);
    top->addStretch(1);
    top->addWidget(m_count);

    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("pairs"));
    m_list->setModel(m_model);
    m_list->setItemDelegate(new NearPairDelegate(*m_model, painter, m_list));
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setMinimumSize(420, 360);

    auto* rule = new QLabel(QStringLiteral("덜 쓰인 타일을 더 많이 쓰인 타일에 합칩니다. 쓰인 "
                                           "횟수가 같으면 번호가 큰 타일을 작은 타일에 합칩니다."),
                            this);
    rule->setWordWrap(true);
    m_note = new QLabel(this);
    m_note->setWordWrap(true);

    m_merge = new QPushButton(QStringLiteral("합치기"), this);
    m_mergeAll = new QPushButton(QStringLiteral("모두 합치기"), this);
    auto* close = new QPushButton(QStringLiteral("닫기"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_merge);
    buttons->addWidget(m_mergeAll);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addWidget(rule);
    layout->addWidget(m_note);
    layout->addLayout(buttons);

    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CNearTilesDlg::UpdateButtons);
    connect(m_differing, &QSpinBox::valueChanged, this, [this] { Refresh(); });
    connect(m_merge, &QPushButton::clicked, this, &CNearTilesDlg::MergeSelected);
    connect(m_mergeAll, &QPushButton::clicked, this, &CNearTilesDlg::MergeAll);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    Refresh();
    m_doc.AddListener(this);
}

CNearTilesDlg::~CNearTilesDlg() {
    m_doc.RemoveListener(this);
}

void CNearTilesDlg::DocumentChanged(uint32_t changes) {
    if (changes & (change::kCells | change::kTiles | change::kReplaced)) {
        Refresh();
    }
}

int CNearTilesDlg::SelectedRow() const {
    const QModelIndexList rows = m_list->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CNearTilesDlg::Refresh() {
    const int row = SelectedRow();
    // Many pixels on small tiles with large plain areas can take a while.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_model->Refresh(m_doc, m_differing->value());
    QApplication::restoreOverrideCursor();
    const int rows = m_model->rowCount();
    m_count->setText(rows == 0
                         ? QStringLiteral("비슷한 타일이 없습니다.")
                         : QStringLiteral("%1쌍%2").arg(rows).arg(
                               m_model->truncated() ? QStringLiteral(" (더 있음)") : QString()));
    if (rows > 0) {
        m_list->setCurrentIndex(m_model->index(std::clamp(row, 0, rows - 1)));
    }
    UpdateButtons();
}

void CNearTilesDlg::UpdateButtons() {
    m_merge->setEnabled(SelectedRow() >= 0);
    m_mergeAll->setEnabled(m_model->rowCount() > 0);
}

void CNearTilesDlg::MergeSelected() {
    const int row = SelectedRow();
    if (row < 0) {
        return;
    }
    // Copies: the merge finds the list again under them.
    const NearPair pair = m_model->pair(row);
    const PairMerge merge = m_model->merge(row);
    CleanupSummary summary;
    if (CleanupProcedures(m_doc, Services()).MergePair(pair, summary)) {
        m_note->setText(QString::fromStdString(CleanupProcedures::PairText(merge, summary)));
    }
}

void CNearTilesDlg::MergeAll() {
    if (CleanupProcedures(m_doc, Services()).MergeAllNear(m_differing->value())) {
        m_note->clear();
    }
}

} // namespace kesh::ui
