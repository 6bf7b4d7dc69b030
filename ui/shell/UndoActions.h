#pragma once

#include <QPointer>

#include "doc/Document.h"
#include "doc/DocumentListener.h"

class QAction;

namespace kesh::ui {

// Keeps the undo and redo actions in step with the document's history:
// enabled only when there is a step to take, and while enabled their status
// prompt names it ("실행 취소: 채우기").
class UndoActions : private DocumentListener {
public:
    UndoActions(Document& doc, QAction* undo, QAction* redo);
    ~UndoActions() override;
    UndoActions(const UndoActions&) = delete;
    UndoActions& operator=(const UndoActions&) = delete;

    // Brings both actions up to date now.
    void Update();

private:
    void DocumentChanged(uint32_t changes) override;

    Document& m_doc;
    QPointer<QAction> m_undo;
    QPointer<QAction> m_redo;
};

} // namespace kesh::ui
