#include "shell/StartTrace.h"

#include <cstdio>

#include <QApplication>
#include <QDateTime>
#include <QEvent>
#include <QTimer>
#include <QWindow>

#include "mapview/CKeshView.h"
#include "shell/CMainFrame.h"

namespace kesh::ui {

namespace {

void Trace(const char* what) {
    std::fprintf(stderr, "kesh-trace %s %lld\n", what,
                 static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
    std::fflush(stderr);
}

// Watches the main window and the map view's client area for their first
// exposure and paint, then removes itself.
class StartWatcher final : public QObject {
public:
    StartWatcher(CMainFrame& frame, QObject* parent) : QObject(parent), m_frame(frame) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_shown && event->type() == QEvent::Expose && watched == m_frame.windowHandle() &&
            m_frame.windowHandle()->isExposed()) {
            m_shown = true;
            Trace("shown");
        }
        CKeshView* map = m_frame.mapView();
        if (!m_drawn && event->type() == QEvent::Paint && map && watched == map->viewport()) {
            m_drawn = true;
            // Once the paint this event starts is done and on screen.
            QTimer::singleShot(0, this, [] { Trace("map-drawn"); });
        }
        if (m_shown && m_drawn) {
            qApp->removeEventFilter(this);
        }
        return false;
    }

private:
    CMainFrame& m_frame;
    bool m_shown = false;
    bool m_drawn = false;
};

} // namespace

void InstallStartTrace(CMainFrame& frame) {
    if (qEnvironmentVariableIsEmpty("KESH_TRACE_START")) {
        return;
    }
    Trace("start");
    auto* watcher = new StartWatcher(frame, &frame);
    qApp->installEventFilter(watcher);
}

} // namespace kesh::ui
