#pragma once

#include <memory>

#include "doc/Command.h"
#include "terrain/TerrainSet.h"

namespace kesh {

// A terrain set taken as a step (지형 만들기): the tiles it brought into the
// tile set, when any (a TileSetCommand), and the set before and after. Undo
// gives back the old set, its values read from the map again, and then the
// old tiles; the map's cells are not touched either way.
class TerrainSetCommand : public Command {
public:
    TerrainSetCommand(std::unique_ptr<Command> tiles, TerrainSet before, TerrainSet after,
                      const char* name)
        : m_tiles(std::move(tiles)), m_before(std::move(before)), m_after(std::move(after)),
          m_name(name) {}

    void Undo(Document& doc) override;
    void Redo(Document& doc) override;
    const char* Name() const override { return m_name; }
    size_t Bytes() const override;
    uint32_t Changes() const override;

    // Makes `set` the document's (none when empty).
    static void Take(Document& doc, const TerrainSet& set);

private:
    std::unique_ptr<Command> m_tiles;
    TerrainSet m_before;
    TerrainSet m_after;
    const char* m_name;
};

} // namespace kesh
