#include "shell/CReplaceTileDlg.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "tileview/TilePainter.h"

namespace kesh::ui {

namespace {

constexpr int kPreview = 48;

} // namespace

CReplaceTileDlg::CReplaceTileDlg(TilePainter& painter, int from, int into,
                                 std::optional<Rect> selection, QWidget* parent)
    : QDialog(parent), m_painter(painter) {
    setWindowTitle(QStringLiteral("타일 바꾸기"));
    auto* grid = new QGridLayout;
    m_tile = new QSpinBox(this);
    m_tile->setObjectName(QStringLiteral("replacedTile"));
    m_tile->setRange(0, std::max(painter.tileSet().count() - 1, 0));
    m_tile->setValue(from);
    m_fromImage = new QLabel(this);
    auto* intoImage = new QLabel(this);
    ShowTile(intoImage, into);
    grid->addWidget(new QLabel(QStringLiteral("바꿀 타일"), this), 0, 0);
    grid->addWidget(m_tile, 0, 1);
    grid->addWidget(m_fromImage, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("→ 현재 타일 %1").arg(into), this), 0, 3);
    grid->addWidget(intoImage, 0, 4);

    m_whole = new QRadioButton(QStringLiteral("지도 전체"), this);
    m_whole->setObjectName(QStringLiteral("wholeMap"));
    const bool usable = selection && selection->left <= selection->right &&
                        selection->top <= selection->bottom;
    const int across = usable ? selection->right - selection->left + 1 : 0;
    const int down = usable ? selection->bottom - selection->top + 1 : 0;
    m_selection = new QRadioButton(
        usable ? QStringLiteral("선택 영역만 (%1 × %2칸)").arg(across).arg(down)
               : QStringLiteral("선택 영역만"),
        this);
    m_selection->setObjectName(QStringLiteral("selectionOnly"));
    m_selection->setEnabled(usable);
    (usable && across * down > 1 ? m_selection : m_whole)->setChecked(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_tile, &QSpinBox::valueChanged, this, [this](int n) { ShowTile(m_fromImage, n); });
    ShowTile(m_fromImage, m_tile->value());

    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addWidget(m_whole);
    top->addWidget(m_selection);
    top->addWidget(buttons);
}

void CReplaceTileDlg::ShowTile(QLabel* label, int number) {
    const QImage* image = m_painter.TileImage(number);
    if (!image) {
        label->clear();
        return;
    }
    label->setPixmap(QPixmap::fromImage(*image).scaled(kPreview, kPreview, Qt::KeepAspectRatio,
                                                       Qt::FastTransformation));
}

ReplaceChoice CReplaceTileDlg::Choice() const {
    return {m_tile->value(), m_selection->isEnabled() && m_selection->isChecked()};
}

} // namespace kesh::ui
