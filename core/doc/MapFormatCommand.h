#pragma once

#include "doc/Command.h"
#include "layout/MapFormat.h"

namespace kesh {

// A new item list and header for the map's file; the size stays.
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
};

} // namespace kesh
