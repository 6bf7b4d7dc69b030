#pragma once

#include <cstdint>
#include <vector>

#include "doc/Command.h"

namespace kesh {

class MapModel;

// Deleting a tile: the tile leaves the set, the map's cells that showed it
// become empty and higher tile numbers move down by one. Holds the tile's
// pixels, attribute and number, the current tile before, and the cells
// that showed it; every other cell is renumbered back by rule.
class DeleteTileCommand : public Command {
public:
    // For tile `number` of `doc`, which must exist; nothing is changed yet.
    DeleteTileCommand(Document& doc, int32_t number);

    void Undo(Document& doc) override;
    void Redo(Document& doc) override;
    const char* Name() const override;
    size_t Bytes() const override;
    uint32_t Changes() const override;

    // Cells equal to `number` become empty, greater ones (not empty) move down
    // one; gives the cells that became empty.
    static std::vector<int32_t> Renumber(MapModel& map, uint16_t number);
    // The way back: cells of `number` and above (not empty) move up one, and
    // `emptied` get `number` again.
    static void Restore(MapModel& map, uint16_t number, const std::vector<int32_t>& emptied);

private:
    int32_t m_number;
    uint32_t m_attribute;
    std::vector<uint8_t> m_pixels;
    int32_t m_currentBefore;
    std::vector<int32_t> m_emptied;
    bool m_renumbered = false;
};

} // namespace kesh
