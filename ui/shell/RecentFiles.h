#pragma once

#include <QString>
#include <QStringList>

class QSettings;

namespace kesh::ui {

// The maps last opened or saved, most recent first, at most kMaxCount.
// Paths are kept absolute and cleaned, so one file is listed once however
// it was named.
class RecentFiles {
public:
    static constexpr int kMaxCount = 8;

    RecentFiles() = default;
    explicit RecentFiles(const QStringList& files);

    const QStringList& files() const { return m_files; }
    bool isEmpty() const { return m_files.isEmpty(); }

    // Puts `path` first, moving it there when it is listed already; the
    // oldest entry beyond kMaxCount goes.
    void Add(const QString& path);
    // Takes `path` off the list.
    void Remove(const QString& path);

    // The list kept in the settings store.
    static RecentFiles Load(QSettings& settings);
    void Save(QSettings& settings) const;

    static QString Normalized(const QString& path);

private:
    QStringList m_files;
};

} // namespace kesh::ui
