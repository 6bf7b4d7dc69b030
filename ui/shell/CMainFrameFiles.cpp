#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QUrl>

#include "base/Messages.h"
#include "shell/AppServices.h"
#include "shell/AppSettings.h"
#include "shell/CKeshDoc.h"
#include "shell/CMainFrame.h"
#include "shell/FrameCommands.h"
#include "shell/FrameRecovery.h"

namespace kesh::ui {

void CMainFrame::SetUpFiles() {
    m_recovery = new FrameRecovery(
        m_pDocument->data(), RecoveryStore::DefaultFolder(),
        [this](const QString& title) { SetTitle(title); }, this);
    // An opened or saved map goes to the top of the recent files, and a copy
    // of unsaved work is no longer needed.
    m_commands->SetFileUsed([this](const QString& path) {
        UpdateRecentFiles([&path](RecentFiles& recent) { recent.Add(path); });
        m_recovery->Discard();
    });
    m_commands->SetMapReplaced([this] { m_recovery->Discard(); });
    UpdateRecentFiles([](RecentFiles&) {});
    setAcceptDrops(true);
}

void CMainFrame::UpdateRecentFiles(const std::function<void(RecentFiles&)>& change) {
    // Read back first: another editor may have added files since.
    const std::unique_ptr<QSettings> settings = OpenSettings();
    m_recent = RecentFiles::Load(*settings);
    change(m_recent);
    m_recent.Save(*settings);
    RebuildRecentMenu();
}

void CMainFrame::RebuildRecentMenu() {
    if (!m_recentMenu) {
        return;
    }
    m_recentMenu->clear();
    int number = 1;
    for (const QString& path : m_recent.files()) {
        QString text = path;
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(text));
        item->setData(path);
        connect(item, &QAction::triggered, this, [this, path] { OpenRecentFile(path); });
    }
    m_recentMenu->setEnabled(!m_recent.isEmpty());
}

void CMainFrame::OpenRecentFile(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        Services().ShowMessage(std::string(msg::kOpenFailed) + "\n" +
                               QFile::encodeName(path).toStdString());
        UpdateRecentFiles([&path](RecentFiles& recent) { recent.Remove(path); });
        return;
    }
    m_commands->OpenFile(path);
}

QString CMainFrame::DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) {
        return {};
    }
    static const QStringList kSuffixes = {QStringLiteral("map"), QStringLiteral("kmf"),
                                          QStringLiteral("til"), QStringLiteral("ktf")};
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) {
            continue;
        }
        const QString path = url.toLocalFile();
        if (kSuffixes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive)) {
            return path;
        }
    }
    return {};
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* event) {
    if (!DroppedFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    // The drag source waits for the drop to end: open once it has.
    QMetaObject::invokeMethod(
        this, [this, path] { m_commands->OpenFile(path); }, Qt::QueuedConnection);
}

} // namespace kesh::ui
