#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "app/UserServices.h"
#include "doc/Document.h"
#include "io/FileSystem.h"
#include "layout/MapFormat.h"
#include "map/MapFile.h"
#include "map/MapModel.h"
#include "tileset/TileSet.h"

namespace kesh {

// The map menu's procedures on the document's map and tile set. Every
// question and message goes through `UserServices`, every file through
// `FileSystem`. Saves are all-or-nothing; an open reads into fresh objects,
// so a cancelled or failed one changes nothing at all. A new or opened map
// replaces the document's content (Document::Replace), a layout change is a
// step of its history, and a save marks where the file stands.
class MapProcedures {
public:
    using TitleSetter = std::function<void(const std::string&)>;

    MapProcedures(Document& doc, UserServices& user, FileSystem& fs, TitleSetter setTitle = {})
        : m_doc(doc), m_map(doc.map()), m_tiles(doc.tiles()), m_user(user), m_fs(fs),
          m_setTitle(std::move(setTitle)) {}

    // File New, the map step: offers to save a changed map, then the layout
    // dialog on the defaults. True when a new map was made (the frame then runs
    // the tile step); false when cancelled or refused, or when the user asked
    // to save and the save failed or was cancelled, with nothing changed.
    bool NewMap();
    // Offers to save a changed map, then reads a .map through its .kmf (or a
    // layout set by hand). True on success, when the caption takes the file
    // name. Stops, changing nothing, when the user asked to save and the save
    // failed or was cancelled.
    bool OpenMap();
    // The reading part of OpenMap for a path already chosen (the command
    // line): no question about unsaved changes and no file dialog, but the
    // same layout questions and messages. True on success, as OpenMap. The
    // map keeps the file's absolute path, so a later save needs no name.
    bool OpenMapPath(const std::string& path);
    // Saves the .map and its .kmf, asking for a name when the map has none.
    // Clears the changed flag on success; failures are shown to the user.
    bool SaveMap();
    // Saves under a name chosen now; on failure the old name stays.
    bool SaveMapAs();
    // The layout dialog on the current layout with the size locked; OK makes
    // its items and header a step of the history.
    bool ChangeMapFormat();
    // Writes the whole map as an 8-bit BMP. True when written.
    bool ExportMapBitmap();
    // Writes the whole map as an 8-bit palette PNG. True when written.
    bool ExportMapPng();
    // Writes the map as a Tiled .tmx with its tile sheet PNG beside it. True when written.
    bool ExportMapTmx();
    // Before a changed map is dropped (File New, open, exit): asks
    // "변경된 파일을 저장할까요?" with the map's name below, and on Yes saves
    // it. Nothing is asked for an unchanged map or one without cells. True
    // when the map may be dropped: nothing to save, the user declined, or the
    // save succeeded; false on Cancel (Escape, the close box) too.
    bool AskSaveChanges();

    // The file the last successful export of this object wrote.
    const std::string& written() const { return m_written; }

    // Called with the map file's path after every successful open or save
    // (by whatever route), e.g. to keep a list of recent files.
    void OnFileUsed(std::function<void(const std::string&)> used) { m_fileUsed = std::move(used); }

    // The file dialog every map file procedure shows.
    static FileDialogOptions MapFileDialog(bool save);
    // The layout dialog's starting values for a map format.
    static MapFormatEdit EditOf(const MapFormat& format, bool sizesLocked);

private:
    using MapExport = Status (*)(FileSystem&, const std::string&, const MapModel&, const TileSet&);
    // The save dialog for `extension`, then `exportTo` the chosen path.
    bool ExportMapImage(const char* extension, MapExport exportTo);
    // Saves to `file`, asking for a name when it has no file of its own;
    // the document takes the name even when the save fails.
    bool saveTo(FileIdentity file);
    // For a map without .kmf: the map layout dialog, then the tile layout
    // dialog on the tile set's layout (cancelling that one keeps the set's
    // layout). False when the map dialog was cancelled. `tileHeader` gets the
    // tile header chosen by hand, for a map that does not embed its tiles.
    bool LayoutByHand(MapReadLayout& layout, std::optional<std::string>& tileHeader);
    Document& m_doc;
    const MapModel& m_map;
    const TileSet& m_tiles;
    UserServices& m_user;
    FileSystem& m_fs;
    TitleSetter m_setTitle;
    std::function<void(const std::string&)> m_fileUsed;
    std::string m_written;
};

} // namespace kesh
