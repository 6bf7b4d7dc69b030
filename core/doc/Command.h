#pragma once

#include <cstddef>
#include <cstdint>

namespace kesh {

class Document;

// One undoable step. A command is made after (or as) its change is applied,
// holding only what the change touched, and can then be taken back and done
// again any number of times, always in history order.
class Command {
public:
    virtual ~Command() = default;

    virtual void Undo(Document& doc) = 0;
    virtual void Redo(Document& doc) = 0;

    // The step's name in the edit menu's prompt ("채우기").
    virtual const char* Name() const = 0;
    // Bytes of memory the step holds, for the history's budget.
    virtual size_t Bytes() const = 0;
    // The change flags (DocumentListener.h) that undoing or redoing sends.
    virtual uint32_t Changes() const = 0;
    // Whether the step makes the map count as changed. Tile set changes made
    // from the tile set view alone do not.
    virtual bool MarksMap() const { return true; }
};

} // namespace kesh
