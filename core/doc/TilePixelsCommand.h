#pragma once

#include <cstdint>
#include <vector>

#include "doc/Command.h"

namespace kesh {

// New pixels for one tile: a stroke of a drawing tool, or a flip, quarter
// turn or shift of the whole tile. Every cell showing the tile shows the
// change. Holds the tile's pixels before and after.
class TilePixelsCommand : public Command {
public:
    TilePixelsCommand(const char* name, int32_t number, std::vector<uint8_t> before,
                      std::vector<uint8_t> after)
        : m_name(name), m_number(number), m_before(std::move(before)), m_after(std::move(after)) {}

    void Undo(Document& doc) override;
    void Redo(Document& doc) override;
    const char* Name() const override { return m_name; }
    size_t Bytes() const override {
        return sizeof(*this) + m_before.capacity() + m_after.capacity();
    }
    uint32_t Changes() const override;

private:
    const char* m_name;
    int32_t m_number;
    std::vector<uint8_t> m_before;
    std::vector<uint8_t> m_after;
};

} // namespace kesh
