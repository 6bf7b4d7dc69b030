#pragma once

#include <QObject>
#include <QString>

#include "doc/Document.h"

namespace kesh::ui {

// The document behind the main window: the map, the tile set and their
// history (data()), which both views show, and the title in the caption,
// which only a successfully opened map file changes.
class CKeshDoc : public QObject, private DocumentListener {
    Q_OBJECT
public:
    explicit CKeshDoc(QObject* parent = nullptr);
    ~CKeshDoc() override;

    // The title of a document that has not been given a file: "제목없음".
    static QString UntitledTitle();

    // Starts over as an untitled document; always succeeds.
    bool OnNewDocument();

    // What the user edits; the views and the frame's commands work on it.
    Document& data() { return m_data; }

    QString GetTitle() const { return m_strTitle; }
    // The caption: the title, "*" after it while the map has unsaved
    // changes, then " - kesh".
    QString Caption() const;
    // Makes `title` the document's title; the caption follows.
    void SetTitle(const QString& title);

signals:
    void titleChanged(const QString& title);
    // The caption changed: a new title, or the map became changed or unchanged.
    void captionChanged(const QString& caption);

private:
    void DocumentChanged(uint32_t changes) override;

    Document m_data;
    QString m_strTitle;
};

} // namespace kesh::ui
