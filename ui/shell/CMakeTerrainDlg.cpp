#include "shell/CMakeTerrainDlg.h"

#include <algorithm>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace kesh::ui {

namespace {

constexpr int kPreviewSide = 320; // the preview's longer side at most

struct Grid {
    int columns, rows;
};
Grid GridOf(bool blob) {
    return blob ? Grid{8, 6} : Grid{4, 4};
}

} // namespace

CMakeTerrainDlg::CMakeTerrainDlg(const MakeTerrainEdit& edit, QWidget* parent)
    : QDialog(parent), m_edit(edit) {
    setWindowTitle(QStringLiteral("지형 만들기"));
    m_sheet.load(QString::fromStdString(edit.path));
    auto* column = new QVBoxLayout(this);
    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("sheetPreview"));
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setMinimumSize(kPreviewSide / 2, kPreviewSide / 2);
    column->addWidget(m_preview);
    auto* size = new QLabel(QStringLiteral("그림 크기: %1 x %2, 타일 %3 x %4")
                                .arg(edit.imageWidth)
                                .arg(edit.imageHeight)
                                .arg(edit.tileWidth)
                                .arg(edit.tileHeight),
                            this);
    column->addWidget(size);
    m_fit = new QLabel(this);
    m_fit->setObjectName(QStringLiteral("fitLabel"));
    m_fit->setWordWrap(true);
    column->addWidget(m_fit);

    auto* form = new QFormLayout;
    m_template = new QComboBox(this);
    m_template->addItem(QStringLiteral("16타일 모서리 (4 x 4)"));
    m_template->addItem(QStringLiteral("47타일 블롭 (8 x 6)"));
    m_template->setCurrentIndex(edit.blob ? 1 : 0);
    form->addRow(QStringLiteral("틀:"), m_template);
    m_lower = new QLineEdit(QString::fromStdString(edit.lower), this);
    m_upper = new QLineEdit(QString::fromStdString(edit.upper), this);
    m_lower->setPlaceholderText(QStringLiteral("지형 1"));
    m_upper->setPlaceholderText(QStringLiteral("지형 2"));
    m_lowerCaption = new QLabel(this);
    m_upperCaption = new QLabel(this);
    form->addRow(m_lowerCaption, m_lower);
    form->addRow(m_upperCaption, m_upper);
    column->addLayout(form);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    connect(m_template, &QComboBox::currentIndexChanged, this, [this] { TemplateChanged(); });
    TemplateChanged();
}

MakeTerrainEdit CMakeTerrainDlg::Result() const {
    MakeTerrainEdit result = m_edit;
    result.blob = m_template->currentIndex() == 1;
    result.lower = m_lower->text().trimmed().toStdString();
    result.upper = m_upper->text().trimmed().toStdString();
    return result;
}

void CMakeTerrainDlg::TemplateChanged() {
    const bool blob = m_template->currentIndex() == 1;
    m_lowerCaption->setText(blob ? QStringLiteral("바탕 지형 (0번 타일):")
                                 : QStringLiteral("아래 지형 (0번 타일):"));
    m_upperCaption->setText(blob ? QStringLiteral("위 지형 (블롭):")
                                 : QStringLiteral("위 지형 (15번 타일):"));
    const Grid grid = GridOf(blob);
    const bool fits = m_edit.imageWidth == grid.columns * m_edit.tileWidth &&
                      m_edit.imageHeight == grid.rows * m_edit.tileHeight;
    const bool newSize =
        m_edit.imageWidth % grid.columns == 0 && m_edit.imageHeight % grid.rows == 0;
    m_fit->setText(fits ? QString()
                        : QStringLiteral("그림이 이 틀의 %1 x %2 타일 크기와 맞지 않습니다%3.")
                              .arg(grid.columns)
                              .arg(grid.rows)
                              .arg(newSize ? QStringLiteral(" (타일이 없으면 그림에 맞춰 타일 "
                                                            "크기를 정합니다)")
                                           : QString()));
    if (m_sheet.isNull()) {
        m_preview->setText(QStringLiteral("(미리 보기 없음)"));
        return;
    }
    QImage shown = m_sheet.convertToFormat(QImage::Format_RGB32);
    const double scale =
        std::min(1.0 * kPreviewSide / std::max(shown.width(), shown.height()), 8.0);
    shown = shown.scaled(int(shown.width() * scale), int(shown.height() * scale),
                         Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QPainter dc(&shown);
    dc.setPen(QColor(255, 0, 255));
    for (int c = 1; c < grid.columns; ++c) {
        const int x = shown.width() * c / grid.columns;
        dc.drawLine(x, 0, x, shown.height() - 1);
    }
    for (int r = 1; r < grid.rows; ++r) {
        const int y = shown.height() * r / grid.rows;
        dc.drawLine(0, y, shown.width() - 1, y);
    }
    dc.end();
    m_preview->setPixmap(QPixmap::fromImage(shown));
}

} // namespace kesh::ui
