#include "formatdlg/PlatformPresetCombo.h"

#include <algorithm>

#include <QLabel>

namespace kesh::ui {

PlatformPresetCombo::PlatformPresetCombo(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("platformPreset"));
    addItem(QStringLiteral("없음"));
    for (const PlatformPreset& preset : PlatformPresets()) {
        addItem(QString::fromUtf8(preset.title), QString::fromLatin1(preset.name));
    }
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (const auto layouts = PlatformPresetLayouts(itemData(index).toString().toStdString())) {
            emit presetChosen(*layouts);
        }
    });
}

void PlatformPresetCombo::choose(const QString& name) {
    const int index = name.isEmpty() ? -1 : findData(name);
    setCurrentIndex(std::max(index, 0));
    emit activated(currentIndex());
}

PlatformPresetCombo* PlatformPresetCombo::AddRow(QWidget* owner, QBoxLayout* layout) {
    auto* combo = new PlatformPresetCombo(owner);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("프리셋"), owner));
    row->addWidget(combo, 1);
    layout->addLayout(row);
    return combo;
}

} // namespace kesh::ui
