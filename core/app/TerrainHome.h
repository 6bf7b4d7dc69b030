#pragma once

#include <string>
#include <vector>

#include "app/UserServices.h"
#include "doc/Document.h"
#include "io/FileSystem.h"

namespace kesh {

// Where a terrain set is kept. Its file labels tiles, so it lives beside the
// file that holds the tiles: the map, when the map's layout holds a tile
// file (a TileFile item), and otherwise the tile file of its own (a
// console's map), saved and opened with that file. The terrain values of
// the map follow from its cells and are not stored.
class TerrainHome {
public:
    // Whether the map holds its tiles, and so its terrain set.
    static bool InMap(const MapFormat& format);
    // The set's file to save with the tile file at `tilePath`: none unless
    // the document has a set that lives with a tile file of its own.
    static std::vector<FileSource> ForTileSave(const Document& doc, const std::string& tilePath);
    // After the tile file at `tilePath` was opened as the tile set: the set
    // beside it comes with the tiles, and without one the old set goes (it
    // labelled other tiles), whatever map is open; a map that holds its
    // tiles then saves the set beside itself. A damaged set is told and
    // left out. No step, and the map's changed flag stays.
    static void OpenBesideTiles(Document& doc, FileSystem& fs, UserServices& user,
                                const std::string& tilePath);
};

} // namespace kesh
