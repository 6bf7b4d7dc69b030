#pragma once

#include <QBoxLayout>
#include <QComboBox>

#include <optional>

#include "layout/PlatformPresets.h"

namespace kesh::ui {

// "프리셋": none, then the platform presets by title. Choosing one tells
// the layouts it stands for; the dialog that holds it fills its fields with
// them and the user may still change them before OK.
class PlatformPresetCombo : public QComboBox {
    Q_OBJECT
public:
    explicit PlatformPresetCombo(QWidget* parent = nullptr);

    // A "프리셋" row with a new combo, added to `layout` of `owner`.
    static PlatformPresetCombo* AddRow(QWidget* owner, QBoxLayout* layout);

    // Chooses the preset of that name ("nes"), or none for an unknown name.
    void choose(const QString& name);

signals:
    // The user chose a preset (not "none").
    void presetChosen(const kesh::PlatformLayouts& layouts);
};

} // namespace kesh::ui
