#include "edit/CellAttrText.h"

#include <vector>

namespace kesh {

std::string UserFieldTitle(const CellLayout& layout, int user) {
    const std::vector<std::string> names = layout.UserNames();
    if (user >= 0 && size_t(user) < names.size() && !names[size_t(user)].empty())
        return names[size_t(user)];
    return "사용자 " + std::to_string(user + 1);
}

std::string CellAttrText(const CellLayout& layout, uint16_t attr) {
    std::string text;
    if (layout.Has(CellFieldKind::HFlip) && (attr & cellbit::kHFlip))
        text += " ↔";
    if (layout.Has(CellFieldKind::VFlip) && (attr & cellbit::kVFlip))
        text += " ↕";
    if (layout.Has(CellFieldKind::Palette))
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
