#pragma once

#include <optional>

namespace kesh::ui {

// Whether Caps Lock, Num Lock and Scroll Lock are on.
struct LockKeyStates {
    bool caps = false;
    bool num = false;
    bool scroll = false;
    bool operator==(const LockKeyStates&) const = default;
};

// The lock states as the window system reports them now, or nothing where it
// does not say. Only the X11 display is asked (through its keyboard
// extension's named indicators, with the X library loaded when first
// needed); elsewhere (Wayland, the offscreen platform) there is no answer and
// the status bar leaves the indicators blank.
std::optional<LockKeyStates> QueryLockKeys();

} // namespace kesh::ui
