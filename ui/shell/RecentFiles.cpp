#include "shell/RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace kesh::ui {

namespace {
const QString kRecentKey = QStringLiteral("Recent/Files");
}

RecentFiles::RecentFiles(const QStringList& files) {
    // Oldest first, so the first one listed ends up first.
    for (auto it = files.crbegin(); it != files.crend(); ++it) {
        if (!it->isEmpty()) {
            Add(*it);
        }
    }
}

QString RecentFiles::Normalized(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

void RecentFiles::Add(const QString& path) {
    if (path.isEmpty()) {
        return;
    }
    const QString clean = Normalized(path);
    m_files.removeAll(clean);
    m_files.prepend(clean);
    while (m_files.size() > kMaxCount) {
        m_files.removeLast();
    }
}

void RecentFiles::Remove(const QString& path) {
    m_files.removeAll(Normalized(path));
}

RecentFiles RecentFiles::Load(QSettings& settings) {
    return RecentFiles(settings.value(kRecentKey).toStringList());
}

void RecentFiles::Save(QSettings& settings) const {
    settings.setValue(kRecentKey, m_files);
}

} // namespace kesh::ui
