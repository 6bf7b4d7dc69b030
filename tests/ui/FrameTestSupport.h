#pragma once

#include <functional>

#include <QApplication>
#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "shell/CMainFrame.h"

// Keeps the settings the main window reads and writes, and its recovery
// copies, in a folder of the test's own, never in the user's store. Call
// before the first window.
inline QString IsolateSettings() {
    static QTemporaryDir dir;
    qputenv("XDG_STATE_HOME", (dir.path() + QStringLiteral("/state")).toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    return dir.path();
}

// Shows the window and waits until it can take keys.
inline bool ShowActive(kesh::ui::CMainFrame& frame) {
    frame.show();
    frame.activateWindow();
    if (!QTest::qWaitForWindowActive(&frame)) {
        return false;
    }
    QCoreApplication::processEvents();
    return true;
}

// Runs `act` on the next modal widget (a question, a dialog) once it is up.
inline void WhenModalShows(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        }
    });
    timer->start();
}
