#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "doc/Command.h"
#include "doc/FileIdentity.h"
#include "doc/TileSetCommand.h"
#include "layout/MapFormat.h"

namespace kesh {

class TileList;

// Whole tiles taken out of a tile list: their pixels and attribute words.
struct TileRun {
    std::vector<uint8_t> pixels;
    std::vector<uint32_t> attributes;

    // Tiles `from` to the last of `tiles`.
    static TileRun Of(const TileList& tiles, int32_t from);
    size_t Bytes() const { return pixels.capacity() + attributes.capacity() * 4; }
};

// What an import replaces of the map: its layout (with the size), its cells
// and its file.
struct MapState {
    MapFormat format;
    std::vector<uint16_t> cells;
    std::vector<uint16_t> attrs;
    FileIdentity file;
};

// An import that replaced the map and changed the tile set: the first
// `keep` tiles of the set stayed, the others were replaced by the imported
// ones (an image import keeps them all; a Tiled map replaces the whole set).
// The step holds the tiles on both sides of `keep` and the map it does not
// show now, so undo and redo swap the two maps.
class ImportCommand : public Command {
public:
    // `before` and `removed` were taken before the import, which has been
    // applied to the tile set `now`; `format` and `cells` are the map it made.
    ImportCommand(const char* name, const TileSetState& before, int32_t keep, TileRun removed,
                  const TileSet& now, MapFormat format, std::vector<uint16_t> cells,
                  std::vector<uint16_t> attrs);
    // Puts the imported map in place the first time, as an untitled map.
    void PlaceMap(Document& doc);

    void Undo(Document& doc) override;
    void Redo(Document& doc) override;
    const char* Name() const override { return m_name; }
    size_t Bytes() const override;
    uint32_t Changes() const override;

private:
    void swapMap(Document& doc);

    const char* m_name;
    TileSetState m_before;
    TileSetState m_after;
    int32_t m_keep;
    TileRun m_removed;
    TileRun m_added;
    MapState m_otherMap;
    size_t m_bytes = 0; // fixed, though the grid held changes with each swap
};

} // namespace kesh
