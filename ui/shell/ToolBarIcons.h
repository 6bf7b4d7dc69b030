#pragma once

#include <QIcon>
#include <QSize>

namespace kesh::ui {

// Every tool bar button image is this size.
inline constexpr QSize kToolButtonSize{16, 15};

// The tool bar image of command `id` (new, open map, save map, copy, paste,
// fill, about); a null icon for any other command.
QIcon ToolBarIcon(int id);

} // namespace kesh::ui
