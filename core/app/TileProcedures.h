#pragma once

#include "app/UserServices.h"
#include "io/FileSystem.h"
#include "layout/TileFormat.h"
#include "tileset/TileSet.h"

namespace kesh {

// The tile menu's procedures: each asks the user what it needs through
// `UserServices`, touches the disk only through `FileSystem`, and changes the
// tile set only once everything it needs has been read. The frame repaints
// afterwards, and after add, palette and format marks the map changed.
class TileProcedures {
public:
    TileProcedures(TileSet& tiles, UserServices& user, FileSystem& fs)
        : m_tiles(tiles), m_user(user), m_fs(fs) {}

    // Saves the tile set as a .til with its .ktf beside it, both or neither.
    // False when cancelled or when the save failed (the user has been told).
    bool OnTileSave();
    // Adds the tiles of a .til (read through its .ktf, or a layout set by hand
    // when there is none) after the tiles already there, skipping identical ones.
    void OnTileAddFile();
    // The layout dialog on the current layout with the size locked; OK takes
    // its items, AttrWidth and header. True on OK.
    bool OnTileFormat();
    // The tile step of File New: the layout dialog on the new-file defaults;
    // OK starts an empty tile set of that layout. True on OK.
    bool NewTileFormat();
    // Takes the colours of a 256-colour PCX or BMP image. True when they were taken.
    bool OnLoadPalette();
    // Writes the tile set as a BMP sheet ten tiles wide. True when written.
    bool OnTileSaveBmp();

    // The layout dialog's starting values for a tile format.
    static TileFormatEdit EditOf(const TileFormat& format, bool sizesLocked);

private:
    TileSet& m_tiles;
    UserServices& m_user;
    FileSystem& m_fs;
};

} // namespace kesh
