#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/UserServices.h"
#include "io/FileSystem.h"
#include "layout/TileFormat.h"
#include "tileset/TileSet.h"
#include "tileset/TileSetFile.h"

namespace kesh {

// The tile menu's procedures: each asks the user what it needs through
// `UserServices`, touches the disk only through `FileSystem`, and changes the
// tile set only once everything it needs has been read. The frame repaints
// afterwards, and after add, palette and format marks the map changed.
class TileProcedures {
public:
    TileProcedures(TileSet& tiles, UserServices& user, FileSystem& fs)
        : m_tiles(tiles), m_user(user), m_fs(fs) {}

    // Saves the tile set as a .til with its .ktf beside it, both or neither,
    // and with them, all or nothing, the files `beside` gives for the chosen
    // path (the terrain set, TerrainHome). False when cancelled or when the
    // save failed (the user has been told).
    using BesideFiles = std::function<std::vector<FileSource>(const std::string& path)>;
    bool OnTileSave(const BesideFiles& beside = {});
    // Adds the tiles of a .til (read through its .ktf, or a layout set by hand
    // when there is none) after the tiles already there, skipping identical ones.
    void OnTileAddFile();
    // The layout dialog on the current layout with the size locked; OK takes
    // its items, AttrWidth, header and tile limit. `mostTiles` is the most
    // the map's cell item numbers, `storedTiles` the tiles as the hardware
    // stores them (-1: not known). True on OK.
    bool OnTileFormat(int64_t mostTiles = 0xFFFF, int64_t storedTiles = -1);
    // The tile step of File New: the layout dialog on the new-file defaults;
    // OK starts an empty tile set of that layout. True on OK.
    bool NewTileFormat();
    // Reads the .til at `path` (named on the command line) as the tile set:
    // through its .ktf, or, when there is none, the question and the layout
    // dialog of OnTileAddFile. The file's tiles, size, colours and header
    // replace the set's, with the layout it was read in; a cancelled or failed
    // read changes nothing (failures are shown). True when it was read.
    bool OpenTileSetPath(const std::string& path);
    // Takes the colours of a 256-colour PCX, BMP or palette PNG image, or of
    // a GIMP or JASC palette file. A PNG without a palette is offered a
    // 256-colour one built from its colours, and the summary gives its PSNR.
    // True when the colours were taken.
    bool OnLoadPalette();
    // Writes the tile set as a sheet ten tiles wide: a PNG when the chosen
    // name ends in ".png", else a BMP. True when written.
    bool OnTileSaveBmp();

    // The layout dialog's starting values for a tile format.
    static TileFormatEdit EditOf(const TileFormat& format, bool sizesLocked);

    // The file the last successful save or bitmap export of this object wrote.
    const std::string& written() const { return m_written; }

private:
    // For a .til without .ktf: asks whether to set the layout by hand and, on
    // OK, takes it from the layout dialog on the new-file defaults with
    // editable sizes. False when either was cancelled.
    bool LayoutByHand(TileReadLayout& layout);
    // The layout to read the .til at `path` with: its .ktf, else by hand.
    // False when cancelled or when the .ktf is damaged (the user has been told).
    bool ReadLayout(const std::string& path, TileReadLayout& layout);

    TileSet& m_tiles;
    UserServices& m_user;
    FileSystem& m_fs;
    std::string m_written;
};

} // namespace kesh
