#include "widgets/LockKeys.h"

#include <QGuiApplication>
#include <QLibrary>

#if QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
#endif

namespace kesh::ui {

#if QT_CONFIG(xcb)

namespace {

// The few X library entry points needed, looked up at run time so that the
// program does not depend on the X library where it runs without X.
using XAtom = unsigned long;
using InternAtomFn = XAtom (*)(Display*, const char*, int);
using GetNamedIndicatorFn = int (*)(Display*, XAtom, int*, int*, void*, int*);

struct XkbIndicators {
    InternAtomFn internAtom = nullptr;
    GetNamedIndicatorFn getNamedIndicator = nullptr;
    Display* display = nullptr;
    XAtom caps = 0, num = 0, scroll = 0;

    bool usable() const { return internAtom && getNamedIndicator && display; }

    bool state(XAtom name) const {
        int on = 0;
        return name && getNamedIndicator(display, name, nullptr, &on, nullptr, nullptr) && on;
    }
};

const XkbIndicators& Indicators() {
    static const XkbIndicators indicators = [] {
        XkbIndicators x;
        auto* native =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        if (!native || !native->display()) {
            return x;
        }
        QLibrary library(QStringLiteral("X11"), 6);
        x.internAtom = reinterpret_cast<InternAtomFn>(library.resolve("XInternAtom"));
        x.getNamedIndicator =
            reinterpret_cast<GetNamedIndicatorFn>(library.resolve("XkbGetNamedIndicator"));
        x.display = native->display();
        if (x.usable()) {
            // Only names the server already knows: no atoms are created.
            x.caps = x.internAtom(x.display, "Caps Lock", 1);
            x.num = x.internAtom(x.display, "Num Lock", 1);
            x.scroll = x.internAtom(x.display, "Scroll Lock", 1);
        }
        return x;
    }();
    return indicators;
}

} // namespace

std::optional<LockKeyStates> QueryLockKeys() {
    const XkbIndicators& x = Indicators();
    if (!x.usable()) {
        return std::nullopt;
    }
    return LockKeyStates{x.state(x.caps), x.state(x.num), x.state(x.scroll)};
}

#else

std::optional<LockKeyStates> QueryLockKeys() {
    return std::nullopt;
}

#endif

} // namespace kesh::ui
