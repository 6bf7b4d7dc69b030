#pragma once

#include <cstdint>

#include "doc/Command.h"

namespace kesh {

// A new attribute word for one tile.
class AttributeCommand : public Command {
public:
    AttributeCommand(int32_t tile, uint32_t before, uint32_t after)
        : m_tile(tile), m_before(before), m_after(after) {}

    void Undo(Document& doc) override;
    void Redo(Document& doc) override;
    const char* Name() const override;
    size_t Bytes() const override { return sizeof(*this); }
    uint32_t Changes() const override;

private:
    int32_t m_tile;
    uint32_t m_before;
    uint32_t m_after;
};

} // namespace kesh
