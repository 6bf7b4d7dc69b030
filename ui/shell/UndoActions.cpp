#include "shell/UndoActions.h"

#include <QAction>

#include "shell/CommandIds.h"
#include "shell/CommandStrings.h"

namespace kesh::ui {

namespace {

void Show(QAction* action, int id, bool enabled, const std::string& step) {
    if (!action) {
        return;
    }
    action->setEnabled(enabled);
    if (enabled) {
        action->setStatusTip(CommandToolTip(id) + QStringLiteral(": ") +
                             QString::fromStdString(step));
    } else {
        action->setStatusTip(CommandPrompt(id));
    }
}

} // namespace

UndoActions::UndoActions(Document& doc, QAction* undo, QAction* redo)
    : m_doc(doc), m_undo(undo), m_redo(redo) {
    m_doc.AddListener(this);
    Update();
}

UndoActions::~UndoActions() {
    m_doc.RemoveListener(this);
}

void UndoActions::Update() {
    Show(m_undo, ID_EDIT_UNDO, m_doc.CanUndo(), m_doc.UndoName());
    Show(m_redo, ID_EDIT_REDO, m_doc.CanRedo(), m_doc.RedoName());
}

void UndoActions::DocumentChanged(uint32_t changes) {
    if (changes & (change::kHistory | change::kModified)) {
        Update();
    }
}

} // namespace kesh::ui
