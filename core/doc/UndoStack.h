#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>

#include "doc/Command.h"

namespace kesh {

// The history of steps: those before the position can be undone, those
// after it redone. Pushing drops the steps after the position. The oldest
// steps go first when there are more than `maxSteps` of them or they hold
// more than `maxBytes`; the newest step always stays, however large.
class UndoStack {
public:
    static constexpr size_t kMaxSteps = 1000;
    static constexpr size_t kMaxBytes = size_t(256) << 20;

    explicit UndoStack(size_t maxSteps = kMaxSteps, size_t maxBytes = kMaxBytes)
        : m_maxSteps(maxSteps), m_maxBytes(maxBytes) {}

    void Push(std::unique_ptr<Command> step);
    // Empties the history; the empty history counts as saved.
    void Clear();

    bool CanUndo() const { return m_position > 0; }
    bool CanRedo() const { return m_position < m_steps.size(); }
    // The step Undo or Redo would take, or null.
    const Command* NextUndo() const { return CanUndo() ? m_steps[m_position - 1].get() : nullptr; }
    const Command* NextRedo() const { return CanRedo() ? m_steps[m_position].get() : nullptr; }
    // Moves the position one step and gives the step to undo or redo (null
    // when there is none); the caller applies it.
    Command* StepBack();
    Command* StepForward();

    // The position now is what the file holds.
    void MarkSaved() { m_saved = m_position; }
    // True when a step between the saved position and this one marks the
    // map, or when the saved position has left the history.
    bool ChangedSinceSave() const;

    size_t size() const { return m_steps.size(); }
    size_t position() const { return m_position; }
    size_t bytes() const { return m_bytes; }

private:
    void trim();

    std::deque<std::unique_ptr<Command>> m_steps;
    size_t m_position = 0;
    std::optional<size_t> m_saved = 0; // none: no longer reachable
    size_t m_bytes = 0;
    size_t m_maxSteps;
    size_t m_maxBytes;
};

} // namespace kesh
