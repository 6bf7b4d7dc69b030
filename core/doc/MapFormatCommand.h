#pragma once

#include <cstdint>
#include <vector>

#include "doc/Command.h"
#include "layout/MapFormat.h"

namespace kesh {

// A new item list, header and cell fields for the map's file; the size
// stays. Attribute bits the new fields cannot hold are cleared, and come
// back on undo.
class MapFormatCommand : public Command {
public:
    MapFormatCommand(MapFormat before, MapFormat after)
        : m_before(std::move(before)), m_after(std::move(after)) {}

    void Undo(Document& doc) override;
    void Redo(Document& doc) override;
    const char* Name() const override;
    size_t Bytes() const override;
    uint32_t Changes() const override;

private:
    MapFormat m_before;
    MapFormat m_after;
    // The attribute words as they were before the first redo cut them.
    std::vector<uint16_t> m_attrsBefore;
};

} // namespace kesh
