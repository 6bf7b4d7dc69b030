#include "shell/CImportImageDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/ImportProcedures.h"
#include "formatdlg/PlatformPresetCombo.h"

namespace kesh::ui {

namespace {

QSpinBox* SideBox(int value, bool locked, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(1, ImportProcedures::kMaxTileSide);
    box->setValue(value);
    box->setEnabled(!locked);
    return box;
}

} // namespace

CImportImageDlg::CImportImageDlg(const ImportOptionsEdit& edit, QWidget* parent)
    : QDialog(parent), m_edit(edit), m_area(edit.paletteArea) {
    setWindowTitle(QStringLiteral("이미지에서 타일 가져오기"));
    auto* form = new QFormLayout;
    form->addRow(
        QStringLiteral("이미지 크기:"),
        new QLabel(QStringLiteral("%1 x %2").arg(edit.imageWidth).arg(edit.imageHeight), this));
    m_width = SideBox(edit.tileWidth, edit.sizeLocked, this);
    m_height = SideBox(edit.tileHeight, edit.sizeLocked, this);
    auto* size = new QHBoxLayout;
    size->addWidget(m_width);
    size->addWidget(new QLabel(QStringLiteral("x"), this));
    size->addWidget(m_height);
    size->addStretch();
    form->addRow(QStringLiteral("타일 크기:"), size);
    if (edit.sizeLocked) {
        form->addRow(
            QString(),
            new QLabel(QStringLiteral("타일이 있는 동안에는 크기를 바꿀 수 없습니다."), this));
    }
    m_grid = new QLabel(this);
    form->addRow(QStringLiteral("타일 수:"), m_grid);

    m_palette = new QCheckBox(QStringLiteral("팔레트도 가져오기"), this);
    m_map = new QCheckBox(QStringLiteral("지도도 만들기"), this);
    m_nearest = new QCheckBox(QStringLiteral("가장 가까운 색 사용"), this);
    m_newPalette = new QCheckBox(QStringLiteral("팔레트 새로 만들기"), this);
    m_dither = new QCheckBox(QStringLiteral("디더링"), this);
    m_newPalette->setChecked(edit.newPalette);
    m_dither->setChecked(edit.dither);
    m_newPalette->setToolTip(
        QStringLiteral("이미지의 색으로 256색 팔레트를 새로 만들어 타일 세트의 팔레트로 "
                       "삼습니다. 투명한 화소는 0번 색이 됩니다."));
    m_pad = new QCheckBox(QStringLiteral("모자라는 부분 채우기"), this);
    m_palette->setChecked(edit.takePalette);
    m_map->setChecked(edit.makeMap);
    m_nearest->setChecked(edit.nearest);
    m_pad->setChecked(edit.pad);
    m_map->setToolTip(QStringLiteral("지금의 지도를 이미지의 타일 배치로 바꿉니다."));
    m_pad->setToolTip(
        QStringLiteral("이미지가 타일 크기로 나누어 떨어지지 않으면 오른쪽과 아래를 0번 색으로 "
                       "채웁니다."));

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("확인"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    for (QCheckBox* box : {m_palette, m_map, m_nearest, m_pad}) {
        if (box != m_nearest) {
            layout->addWidget(box);
            continue;
        }
        auto* colours = new QHBoxLayout;
        colours->addWidget(m_nearest);
        colours->addWidget(m_newPalette);
        colours->addWidget(m_dither);
        colours->addStretch();
        layout->addLayout(colours);
    }
    if (edit.flipsOffered) {
        m_flips = new QCheckBox(QStringLiteral("뒤집힌 타일도 같은 타일로"), this);
        m_flips->setChecked(edit.flips);
        m_flips->setToolTip(
            QStringLiteral("있는 타일을 좌우나 상하로 뒤집은 것과 같은 타일은 새로 넣지 않고 "
                           "그 타일에 뒤집기를 켜서 지도에 둡니다."));
        layout->addWidget(m_flips);
    }
    if (edit.subPalettesOffered) {
        BuildSubPalettes(layout);
    }
    layout->addWidget(buttons);

    connect(m_width, &QSpinBox::valueChanged, this, &CImportImageDlg::UpdateGrid);
    connect(m_height, &QSpinBox::valueChanged, this, &CImportImageDlg::UpdateGrid);
    connect(m_pad, &QCheckBox::toggled, this, &CImportImageDlg::UpdateGrid);
    connect(m_newPalette, &QCheckBox::toggled, this, &CImportImageDlg::UpdateColourChoices);
    UpdateGrid();
    UpdateColourChoices();
}

void CImportImageDlg::BuildSubPalettes(QVBoxLayout* layout) {
    m_subPalettes = new QCheckBox(QStringLiteral("팔레트"), this);
    m_subPalettes->setObjectName(QStringLiteral("subPalettes"));
    m_subPalettes->setChecked(m_edit.subPalettes);
    m_subPalettes->setToolTip(
        QStringLiteral("그림의 색을 팔레트 P개에 나누어 담고, 타일마다 그 색을 모두 가진 "
                       "팔레트를 골라 지도 칸의 palette 필드에 둡니다. 0번 색은 모든 팔레트가 "
                       "함께 씁니다."));
    m_colours = new QSpinBox(this);
    m_colours->setObjectName(QStringLiteral("subColours"));
    m_colours->setRange(2, 256);
    m_colours->setValue(m_edit.coloursPerPalette);
    m_palettes = new QSpinBox(this);
    m_palettes->setObjectName(QStringLiteral("subPaletteCount"));
    // P x K fits the 256-colour table: P's limit follows K.
    m_palettes->setRange(1, 256 / m_colours->value());
    m_palettes->setValue(m_edit.palettes);
    connect(m_colours, &QSpinBox::valueChanged, this,
            [this](int k) { m_palettes->setMaximum(256 / k); });
    m_preset = new PlatformPresetCombo(this);
    connect(m_preset, &PlatformPresetCombo::presetChosen, this,
            [this](const PlatformLayouts& layouts) {
                const TileItemParams& params = layouts.tile.params;
                m_colours->setValue(params.coloursPerPalette);
                m_palettes->setValue(params.paletteCount);
                m_area = layouts.areaTiles;
                m_subPalettes->setChecked(true);
                if (!m_edit.sizeLocked) {
                    m_width->setValue(layouts.tile.width);
                    m_height->setValue(layouts.tile.height);
                }
            });
    auto* row = new QHBoxLayout;
    row->addWidget(m_subPalettes);
    row->addWidget(m_palettes);
    row->addWidget(new QLabel(QStringLiteral("개 × 색"), this));
    row->addWidget(m_colours);
    row->addWidget(new QLabel(QStringLiteral("개"), this));
    row->addSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("프리셋"), this));
    row->addWidget(m_preset);
    row->addStretch();
    layout->addLayout(row);
}

void CImportImageDlg::UpdateColourChoices() {
    const bool building = m_newPalette->isChecked();
    m_palette->setEnabled(!building);
    m_nearest->setEnabled(!building);
    m_dither->setEnabled(building);
}

void CImportImageDlg::UpdateGrid() {
    const int w = m_width->value();
    const int h = m_height->value();
    const bool whole = m_edit.imageWidth % w == 0 && m_edit.imageHeight % h == 0;
    if (!whole && !m_pad->isChecked()) {
        m_grid->setText(QStringLiteral("이미지의 크기가 타일 크기의 배수가 아닙니다."));
        return;
    }
    const int columns = (m_edit.imageWidth + w - 1) / w;
    const int rows = (m_edit.imageHeight + h - 1) / h;
    m_grid->setText(QStringLiteral("가로 %1개, 세로 %2개").arg(columns).arg(rows));
}

ImportOptionsEdit CImportImageDlg::Result() const {
    ImportOptionsEdit edit = m_edit;
    edit.tileWidth = m_width->value();
    edit.tileHeight = m_height->value();
    edit.takePalette = m_palette->isChecked();
    edit.makeMap = m_map->isChecked();
    edit.nearest = m_nearest->isChecked();
    edit.newPalette = m_newPalette->isChecked();
    edit.dither = m_dither->isChecked();
    edit.pad = m_pad->isChecked();
    edit.flips = m_flips && m_flips->isChecked();
    if (m_subPalettes) {
        edit.subPalettes = m_subPalettes->isChecked();
        edit.palettes = m_palettes->value();
        edit.coloursPerPalette = m_colours->value();
        edit.paletteArea = m_area;
    }
    return edit;
}

} // namespace kesh::ui
