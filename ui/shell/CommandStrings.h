#pragma once

#include <QString>

namespace kesh::ui {

// The string of command `id`: the status-bar prompt, a line feed, and the
// tool tip. Empty for a command without one.
QString CommandString(int id);
// The part before the line feed: shown in the status bar while the command's
// menu item is highlighted or the mouse rests on its button.
QString CommandPrompt(int id);
// The part after the line feed: the tool button's tip.
QString CommandToolTip(int id);

// What the status bar's message pane shows when nothing else is shown.
QString IdlePrompt();

} // namespace kesh::ui
