#pragma once

#include <QIcon>

namespace kesh::ui {

// The program's icon: "kesh" from the desktop's icon theme when it has one,
// otherwise the copy built into the program (the scalable drawing where SVG
// can be read, the rendered sizes elsewhere).
QIcon AppIcon();

// The built-in copy alone.
QIcon BuiltInAppIcon();

} // namespace kesh::ui
