#include "formatdlg/CellFieldsBox.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSpinBox>

namespace kesh::ui {

CellFieldsBox::CellFieldsBox(const CellLayout& layout, QWidget* parent)
    : QGroupBox(QStringLiteral("셀 필드 (지도데이터(필드), 셀 속성 평면)"), parent) {
    auto* form = new QFormLayout(this);
    m_preset = new QComboBox(this);
    m_preset->setObjectName(QStringLiteral("cellPreset"));
    m_preset->addItem(QStringLiteral("직접 입력"));
    for (const CellPreset& preset : CellPresets()) {
        m_preset->addItem(QString::fromUtf8(preset.title), QString::fromLatin1(preset.name));
    }
    form->addRow(QStringLiteral("프리셋"), m_preset);
    for (int plane = 0; plane < 2; ++plane) {
        auto* row = new QHBoxLayout;
        m_bits[plane] = new QComboBox(this);
        for (const char* bits : {"8", "16", "32"}) {
            m_bits[plane]->addItem(QStringLiteral("%1비트").arg(QLatin1String(bits)),
                                   QString::fromLatin1(bits).toInt());
        }
        m_order[plane] = new QComboBox(this);
        m_order[plane]->addItem(QStringLiteral("리틀 엔디언"));
        m_order[plane]->addItem(QStringLiteral("빅 엔디언"));
        m_fields[plane] = new QLineEdit(this);
        m_fields[plane]->setObjectName(plane ? QStringLiteral("planeFields")
                                             : QStringLiteral("cellFields"));
        m_fields[plane]->setToolTip(QStringLiteral(
            "필드: tile, hflip, vflip, palette, priority, 또는 사용자 이름 (collision 등), "
            "예: tile:0-9,hflip:10,vflip:11,palette:12-15"));
        row->addWidget(m_bits[plane]);
        row->addWidget(m_order[plane]);
        row->addWidget(m_fields[plane], 1);
        form->addRow(plane ? QStringLiteral("속성 평면") : QStringLiteral("셀 워드"), row);
        connect(m_bits[plane], &QComboBox::currentIndexChanged, this, &CellFieldsBox::changed);
        connect(m_order[plane], &QComboBox::currentIndexChanged, this, &CellFieldsBox::changed);
        connect(m_fields[plane], &QLineEdit::textEdited, this, &CellFieldsBox::changed);
    }
    m_colours = new QSpinBox(this);
    m_colours->setRange(1, 256);
    form->addRow(QStringLiteral("팔레트당 색 수"), m_colours);
    connect(m_colours, &QSpinBox::valueChanged, this, &CellFieldsBox::changed);
    Show(layout);
    connect(m_preset, &QComboBox::activated, this, &CellFieldsBox::OnPreset);
}

void CellFieldsBox::Show(const CellLayout& layout) {
    const CellWord* words[2] = {&layout.word, &layout.plane};
    for (int plane = 0; plane < 2; ++plane) {
        const QSignalBlocker a(m_bits[plane]), b(m_order[plane]);
        m_bits[plane]->setCurrentIndex(std::max(m_bits[plane]->findData(words[plane]->bits), 0));
        m_order[plane]->setCurrentIndex(words[plane]->bigEndian ? 1 : 0);
        m_fields[plane]->setText(QString::fromStdString(FieldsText(*words[plane])));
    }
    const QSignalBlocker c(m_colours);
    m_colours->setValue(layout.coloursPerPalette);
}

void CellFieldsBox::OnPreset(int index) {
    const QString name = m_preset->itemData(index).toString();
    bool usesPlane = false;
    const std::optional<CellLayout> layout = CellPresetLayout(name.toStdString(), usesPlane);
    if (!layout) {
        return;
    }
    Show(*layout);
    emit presetChosen(usesPlane);
    emit changed();
}

Status CellFieldsBox::ReadWord(bool plane, CellWord& out) const {
    const int i = plane ? 1 : 0;
    CellWord head;
    head.bits = uint8_t(m_bits[i]->currentData().toInt());
    head.bigEndian = m_order[i]->currentIndex() == 1;
    // The item text kesh-cli takes, from the controls.
    std::string text = CellWordText(head, plane);
    text.pop_back();
    text += m_fields[i]->text().trimmed().toStdString() + ']';
    bool isPlane = false;
    return ParseCellWordText(text, out, isPlane);
}

Status CellFieldsBox::Read(CellLayout& out, bool cellWord, bool plane, bool nesTable) const {
    CellLayout layout;
    layout.coloursPerPalette = uint16_t(m_colours->value());
    if (cellWord) {
        if (Status st = ReadWord(false, layout.word); !st) {
            return st;
        }
    }
    if (plane) {
        if (Status st = ReadWord(true, layout.plane); !st) {
            return st;
        }
    }
    if (Status st = CheckCellLayout(layout, nesTable); !st) {
        return st;
    }
    out = layout;
    return Status::Ok();
}

} // namespace kesh::ui
