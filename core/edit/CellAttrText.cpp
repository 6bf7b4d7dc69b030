#include "edit/CellAttrText.h"

#include <vector>

namespace kesh {

std::string UserFieldTitle(const CellLayout& layout, int user) {
    const std::vector<std::string> names = layout.UserNames();
    if (user >= 0 && size_t(user) < names.size() && !names[size_t(user)].empty())
        return names[size_t(user)];
    return "사용자 " + std::to_string(user + 1);
}

std::string CellAttrText(const MapFormat& format, uint16_t attr) {
    const CellLayout& layout = format.cells;
    std::string text;
    if (layout.Has(CellFieldKind::HFlip) && (attr & cellbit::kHFlip))
        text += " ↔";
    if (layout.Has(CellFieldKind::VFlip) && (attr & cellbit::kVFlip))
        text += " ↕";
    if (format.AttrMask() & cellbit::kPaletteMask)
        text += " 팔레트 " + std::to_string(cellbit::PaletteOf(attr));
    if (layout.Has(CellFieldKind::Priority) && (attr & cellbit::kPriority))
        text += " 우선순위";
    const size_t users = layout.UserNames().size();
    for (size_t i = 0; i < users && i < size_t(cellbit::kUserBits); ++i) {
        if (attr & cellbit::UserBit(int(i)))
            text += " " + UserFieldTitle(layout, int(i));
    }
    return text;
}

} // namespace kesh
