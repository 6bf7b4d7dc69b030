#include "app/MapProcedures.h"

#include <utility>

#include "app/FileTypes.h"
#include "base/Messages.h"
#include "io/AbsolutePath.h"
#include "map/LayoutDataOf.h"
#include "map/MapBitmapExport.h"
#include "map/MapFile.h"
#include "map/MapPngExport.h"
#include "tmx/TmxExport.h"

namespace kesh {

namespace {

constexpr const char* kUntitled = "Untitled.map";

} // namespace

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

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
    edit.sizesLocked = sizesLocked;
    return edit;
}

void MapProcedures::fitView(int32_t oldWidth) {
    if (!m_view)
        return;
    m_view->FitGrid(m_map, oldWidth);
    if (m_tiles)
        m_view->ClampSelection(m_map, m_tiles->tileWidth(), m_tiles->tileHeight());
}

bool MapProcedures::AskSaveChanges() {
    if (!m_map.hasCells() || !m_map.m_bModified || !m_user.AskYesNo(msg::kAskSaveChanged))
        return true;
    return SaveMap();
}

bool MapProcedures::NewMap() {
    if (!AskSaveChanges())
        return false;
    MapFormatEdit edit = EditOf(MapFormat::Default(), false);
    if (m_tiles)
        edit.tiles = m_tiles->format();
    if (!m_user.EditMapFormat(edit))
        return false;
    if (!MapModel::IsValidSize(edit.width, edit.height)) {
        m_user.ShowMessage(msg::kBadMapSize);
        return false;
    }
    // Still changed (declined, or the save failed): this is the last chance,
    // and the old map is saved as it is, in its own layout and under its name.
    if (!AskSaveChanges())
        return false;
    const int32_t oldWidth = m_map.width();
    const Status st = m_map.AllocateCells(edit.width, edit.height);
    if (!st) {
        m_user.ShowMessage(st.message());
        return false;
    }
    m_map.format().items = std::move(edit.items);
    m_map.format().header = edit.hasHeader ? std::move(edit.header) : std::string();
    m_map.m_strFileName = kUntitled;
    m_map.m_strPathName = kUntitled;
    fitView(oldWidth);
    if (m_doc)
        m_doc->ResetHistory();
    return true;
}

bool MapProcedures::SaveMap() {
    if (!m_tiles || !m_map.hasCells())
        return false;
    if (!hasFile()) {
        const auto path = m_user.ChooseSaveFile(MapFileDialog(true));
        if (!path)
            return false;
        // The name stays even when the save below fails.
        m_map.m_strPathName = AbsolutePath(*path);
        m_map.m_strFileName = FileNameOf(m_map.m_strPathName);
    }
    const Status st = SaveMapFiles(m_fs, m_map.m_strPathName, m_map, *m_tiles);
    if (!st) {
        m_user.ShowMessage(st.message());
        return false;
    }
    m_map.m_bModified = 0;
    if (m_doc)
        m_doc->MarkSaved();
    if (m_fileUsed)
        m_fileUsed(m_map.m_strPathName);
    return true;
}

bool MapProcedures::SaveMapAs() {
    std::string oldPath = m_map.m_strPathName;
    std::string oldName = m_map.m_strFileName;
    m_map.m_strPathName = m_map.m_strFileName; // so that SaveMap asks for a name
    if (SaveMap())
        return true;
    m_map.m_strPathName = std::move(oldPath);
    m_map.m_strFileName = std::move(oldName);
    return false;
}

bool MapProcedures::ChangeMapFormat() {
    MapFormatEdit edit = EditOf(m_map.format(), true);
    if (m_tiles) {
        edit.tiles = m_tiles->format();
        edit.data = LayoutDataOf(m_map, *m_tiles);
    }
    if (!m_user.EditMapFormat(edit))
        return false;
    std::string header = edit.hasHeader ? std::move(edit.header) : std::string();
    if (m_doc) {
        m_doc->SetMapLayout(std::move(edit.items), std::move(header));
        return true;
    }
    m_map.format().items = std::move(edit.items);
    m_map.format().header = std::move(header);
    m_map.m_bModified = 1;
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
    if (!m_tiles || !m_map.hasCells())
        return false;
    const auto path = m_user.ChooseSaveFile(filetype::Dialog(
        extension, {std::string(extension) == "png" ? filetype::kPng : filetype::kBitmap}, true));
    if (!path)
        return false;
    const Status st = exportTo(m_fs, *path, m_map, *m_tiles);
    if (!st) {
        m_user.ShowMessage(st.message());
        return false;
    }
    return true;
}

} // namespace kesh
