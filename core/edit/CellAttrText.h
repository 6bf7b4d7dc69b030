#pragma once

#include <cstdint>
#include <string>

#include "layout/MapFormat.h"

namespace kesh {

// The attribute bits of a cell as the status bar shows them beside its tile
// number, for the fields `format` has: "↔" for a horizontal flip, "↕" for a
// vertical one, "팔레트 n" (also for the NES attribute table's palette),
// "우선순위" when set, and the names of the user fields that are set, each
// after a space. Empty without fields.
std::string CellAttrText(const MapFormat& format, uint16_t attr);

// The name a user field shows under: its own, or "사용자 n" (from 1).
std::string UserFieldTitle(const CellLayout& layout, int user);

} // namespace kesh
