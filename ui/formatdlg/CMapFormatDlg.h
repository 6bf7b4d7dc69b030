#pragma once

#include <optional>

#include "app/UserServices.h"
#include "formatdlg/CFormatDlgBase.h"
#include "formatdlg/CellFieldsBox.h"

namespace kesh::ui {

class PlatformPresetCombo;

// The "Map Property" dialog: map width and height, the items of a map file
// its header string, and the cell fields of the items that have them. Width and height take any
// integer here; the map refuses the sizes it cannot hold. A platform preset
// fills the items and the cell fields; the size stays the map's.
class CMapFormatDlg : public CFormatDlgBase {
    Q_OBJECT
public:
    CMapFormatDlg(const MapFormatEdit& edit, bool lockSize, QWidget* parent = nullptr);

    // The edited values (after OK). The header is empty unless its check box is set.
    MapFormatEdit Result() const;
    // Refuses cell fields that overlap, lie beyond their word or repeat a
    // kind, or put a palette beside the NES attribute table, with the
    // message naming the field, before the sizes' checks.
    void accept() override;

    CellFieldsBox* cellFields() const { return m_cellFields; }
    PlatformPresetCombo* presetCombo() const { return m_preset; }

protected:
    LayoutTable ComputeLayout() const override;

private:
    // The cell layout the controls show, where it reads; else the last one that did.
    CellLayout ShownCells() const;
    // A preset's cell items in place of the cell items of the list.
    void UsePresetItems(bool usesPlane);
    // A platform preset's items and cell fields in place of those shown.
    void UsePlatform(const MapFormat& map);

    TileFormat m_tiles;
    CellLayout m_cells;
    CellFieldsBox* m_cellFields = nullptr;
    PlatformPresetCombo* m_preset = nullptr;
    std::optional<MapLayoutData> m_data;
};

} // namespace kesh::ui
