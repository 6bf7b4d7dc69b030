#pragma once

#include <QGroupBox>

#include "base/Status.h"
#include "layout/CellFields.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace kesh::ui {

// The cell fields of a map layout in the map layout dialog: a preset, the
// cell word's and the attribute plane's width, byte order and fields (as
// kesh-cli writes them, "tile:0-9,hflip:10,palette:12-15,collision:11"),
// and the colours a palette number steps over.
class CellFieldsBox : public QGroupBox {
    Q_OBJECT
public:
    explicit CellFieldsBox(const CellLayout& layout, QWidget* parent = nullptr);

    void Show(const CellLayout& layout);
    // The layout the controls show, checked (CheckCellLayout): a Korean
    // message naming the bad field otherwise. `cellWord` and `plane` say
    // which of the two the map's items use; the other is not checked.
    // Beside the NES attribute table (`nesTable`) no word may hold a palette.
    Status Read(CellLayout& out, bool cellWord, bool plane, bool nesTable = false) const;

    QComboBox* presetCombo() const { return m_preset; }
    QComboBox* bitsCombo(bool plane) const { return m_bits[plane ? 1 : 0]; }
    QComboBox* orderCombo(bool plane) const { return m_order[plane ? 1 : 0]; }
    QLineEdit* fieldsEdit(bool plane) const { return m_fields[plane ? 1 : 0]; }
    QSpinBox* coloursBox() const { return m_colours; }

signals:
    void changed();
    // A preset was chosen: its layout is shown; `usesPlane` when its tile
    // numbers are bytes before an attribute plane.
    void presetChosen(bool usesPlane);

private:
    Status ReadWord(bool plane, CellWord& out) const;
    void OnPreset(int index);

    QComboBox* m_preset = nullptr;
    QComboBox* m_bits[2] = {};
    QComboBox* m_order[2] = {};
    QLineEdit* m_fields[2] = {};
    QSpinBox* m_colours = nullptr;
};

} // namespace kesh::ui
