#pragma once

#include <optional>

#include "app/UserServices.h"
#include "formatdlg/CFormatDlgBase.h"

class QButtonGroup;
class QRadioButton;

namespace kesh::ui {

// The "Config" dialog: tile size, attribute width, the items of a tile file
// and its header string. Sizes lie in 8 to 128; they are greyed when locked.
class CTileFormatDlg : public CFormatDlgBase {
    Q_OBJECT
public:
    explicit CTileFormatDlg(const TileFormatEdit& edit, QWidget* parent = nullptr);

    // The edited values (after OK). The header is empty unless its check box is set.
    TileFormatEdit Result() const;

    // The radio button of attribute width selector 0, 1 or 2.
    QRadioButton* attrButton(int selector) const;

protected:
    LayoutTable ComputeLayout() const override;

private:
    std::optional<TileLayoutData> m_data;
    QButtonGroup* m_attrGroup = nullptr;
    AttrWidth m_originalAttrWidth = 0;
    bool m_sizesLocked = false;
};

} // namespace kesh::ui
