#include "doc/UndoStack.h"

#include <algorithm>

namespace kesh {

void UndoStack::Push(std::unique_ptr<Command> step) {
    while (m_steps.size() > m_position) {
        m_bytes -= m_steps.back()->Bytes();
        m_steps.pop_back();
    }
    if (m_saved && *m_saved > m_position)
        m_saved.reset();
    m_bytes += step->Bytes();
    m_steps.push_back(std::move(step));
    ++m_position;
    trim();
}

void UndoStack::trim() {
    while (m_steps.size() > 1 && (m_steps.size() > m_maxSteps || m_bytes > m_maxBytes)) {
        m_bytes -= m_steps.front()->Bytes();
        m_steps.pop_front();
        --m_position;
        if (m_saved)
            m_saved = *m_saved > 0 ? std::optional<size_t>(*m_saved - 1) : std::nullopt;
    }
}

void UndoStack::Clear() {
    m_steps.clear();
    m_position = 0;
    m_saved = 0;
    m_bytes = 0;
}

Command* UndoStack::StepBack() {
    if (!CanUndo())
        return nullptr;
    return m_steps[--m_position].get();
}

Command* UndoStack::StepForward() {
    if (!CanRedo())
        return nullptr;
    return m_steps[m_position++].get();
}

bool UndoStack::ChangedSinceSave() const {
    if (!m_saved)
        return true;
    const size_t from = std::min(*m_saved, m_position), to = std::max(*m_saved, m_position);
    for (size_t i = from; i < to; ++i)
        if (m_steps[i]->MarksMap())
            return true;
    return false;
}

} // namespace kesh
