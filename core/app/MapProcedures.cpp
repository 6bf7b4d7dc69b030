#include "app/MapProcedures.h"

#include <utility>

#include "app/FileTypes.h"
#include "app/TerrainHome.h"
#include "base/Messages.h"
#include "io/AbsolutePath.h"
#include "map/LayoutDataOf.h"
#include "map/MapBitmapExport.h"
#include "map/MapFile.h"
#include "map/MapPngExport.h"
#include "terrain/TerrainFile.h"
#include "tmx/TmxExport.h"

namespace kesh {

FileDialogOptions MapProcedures::MapFileDialog(bool save) {
    return filetype::Dialog("map", {filetype::kMap}, save);
}

MapFormatEdit MapProcedures::EditOf(const MapFormat& format, bool sizesLocked) {
    MapFormatEdit edit;
    edit.hasHeader = !format.header.empty();
    edit.header = format.header;
    edit.width = format.width;
    edit.height = format.height;
    edit.items = format.items;
    edit.cells = format.cells;
    edit.sizesLocked = sizesLocked;
    return edit;
}

bool MapProcedures::AskSaveChanges() {
    if (!m_map.hasCells() || !m_doc.IsModified())
        return true;
    const std::string name = m_doc.file().hasFile() ? m_doc.file().name : msg::kUntitled;
    switch (m_user.AskYesNoCancel(msg::kAskSaveChanged, name)) {
    case UserServices::Answer::Yes:
        return SaveMap();
    case UserServices::Answer::No:
        return true;
    case UserServices::Answer::Cancel:
        break;
    }
    return false;
}

bool MapProcedures::NewMap() {
    if (!AskSaveChanges())
        return false;
    MapFormatEdit edit = EditOf(MapFormat::Default(), false);
    edit.tiles = m_tiles.format();
    if (!m_user.EditMapFormat(edit))
        return false;
    if (const Status size = MapModel::CheckSize(edit.width, edit.height); !size) {
        m_user.ShowMessage(size.message());
        return false;
    }
    // Still changed (declined, or the save failed): this is the last chance,
    // and the old map is saved as it is, in its own layout and under its name.
    if (!AskSaveChanges())
        return false;
    const Status st = m_doc.Replace(
        [&edit](MapModel& map, TileSet&) {
            Status made = map.AllocateCells(edit.width, edit.height);
            if (made) {
                map.format().items = std::move(edit.items);
                map.format().header = edit.hasHeader ? std::move(edit.header) : std::string();
                map.format().cells = edit.cells;
                made = map.MatchAttrs();
            }
            return made;
        },
        FileIdentity{}, false);
    if (!st) {
        m_user.ShowMessage(st.message());
        return false;
    }
    return true;
}

bool MapProcedures::SaveMap() {
    return saveTo(m_doc.file());
}

bool MapProcedures::saveTo(FileIdentity file) {
    if (!m_map.hasCells())
        return false;
    const bool named = !file.hasFile();
    if (named) {
        const auto path = m_user.ChooseSaveFile(MapFileDialog(true));
        if (!path)
            return false;
        // The name stays even when the save below fails.
        file = FileIdentity::Of(AbsolutePath(*path));
        m_doc.SetFile(file);
    }
    // A map that holds its tiles holds its terrain set: it goes beside the
    // map, in the same save. Otherwise it goes with the tile file.
    std::vector<FileSource> beside;
    if (m_doc.terrain().active() && TerrainHome::InMap(m_map.format()))
        beside.push_back(TerrainFileSource(TerrainPathFor(file.path), m_doc.terrain().set()));
    const Status st = SaveMapFiles(m_fs, file.path, m_map, m_tiles, beside);
    if (!st) {
        m_user.ShowMessage(st.message());
        return false;
    }
    m_doc.MarkSaved();
    // A map saved under a name chosen now is that file from here on, as
    // after an open: the caption names it.
    if (named && m_setTitle)
        m_setTitle(file.name);
    if (m_fileUsed)
        m_fileUsed(file.path);
    return true;
}

bool MapProcedures::SaveMapAs() {
    const FileIdentity old = m_doc.file();
    // A bare name, so that the save asks for one.
    if (saveTo(FileIdentity{old.name, old.name}))
        return true;
    m_doc.SetFile(old);
    return false;
}

bool MapProcedures::ChangeMapFormat() {
    MapFormatEdit edit = EditOf(m_map.format(), true);
    edit.tiles = m_tiles.format();
    edit.data = LayoutDataOf(m_map, m_tiles);
    if (!m_user.EditMapFormat(edit))
        return false;
    m_doc.SetMapLayout(std::move(edit.items),
                       edit.hasHeader ? std::move(edit.header) : std::string(), edit.cells);
    return true;
}

bool MapProcedures::ExportMapBitmap() {
    return ExportMapImage("bmp", kesh::ExportMapBitmap);
}

bool MapProcedures::ExportMapPng() {
    return ExportMapImage("png", kesh::ExportMapPng);
}

bool MapProcedures::ExportMapTmx() {
    return ExportMapImage("tmx", kesh::ExportTmx);
}

bool MapProcedures::ExportMapImage(const char* extension, MapExport exportTo) {
    if (!m_map.hasCells())
        return false;
    const std::string type = extension;
    const auto path = m_user.ChooseSaveFile(filetype::Dialog(extension,
                                                             {type == "png"   ? filetype::kPng
                                                              : type == "tmx" ? filetype::kTmx
                                                                              : filetype::kBitmap},
                                                             true));
    if (!path)
        return false;
    const Status st = exportTo(m_fs, *path, m_map, m_tiles);
    if (!st) {
        m_user.ShowMessage(st.message());
        return false;
    }
    m_written = *path;
    return true;
}

} // namespace kesh
