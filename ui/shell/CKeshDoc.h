#pragma once

#include <QObject>
#include <QString>

namespace kesh::ui {

// The document behind the main window. It holds no map or tile data (the
// views own those); its one visible trace is the title in the caption, which
// only a successfully opened map file changes.
class CKeshDoc : public QObject {
    Q_OBJECT
public:
    explicit CKeshDoc(QObject* parent = nullptr);

    // The title of a document that has not been given a file: "제목없음".
    static QString UntitledTitle();

    // Starts over as an untitled document; always succeeds.
    bool OnNewDocument();

    QString GetTitle() const { return m_strTitle; }
    // Makes `title` the document's title; the caption follows.
    void SetTitle(const QString& title);

    QString GetPathName() const { return m_strPathName; }
    void SetPathName(const QString& path) { m_strPathName = path; }

signals:
    void titleChanged(const QString& title);

private:
    QString m_strTitle;
    QString m_strPathName;
};

} // namespace kesh::ui
