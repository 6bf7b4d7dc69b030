#pragma once

#include <optional>

#include "app/UserServices.h"
#include "formatdlg/CFormatDlgBase.h"

namespace kesh::ui {

// The "Map Property" dialog: map width and height, the items of a map file
// and its header string. Width and height take any integer here; the map
// refuses the sizes it cannot hold.
class CMapFormatDlg : public CFormatDlgBase {
    Q_OBJECT
public:
    CMapFormatDlg(const MapFormatEdit& edit, bool lockSize, QWidget* parent = nullptr);

    // The edited values (after OK). The header is empty unless its check box is set.
    MapFormatEdit Result() const;

protected:
    LayoutTable ComputeLayout() const override;

private:
    TileFormat m_tiles;
    std::optional<MapLayoutData> m_data;
};

} // namespace kesh::ui
