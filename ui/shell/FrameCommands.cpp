#include "shell/FrameCommands.h"

#include <QFile>

#include "app/CleanupProcedures.h"
#include "app/ImportProcedures.h"
#include "app/MapProcedures.h"
#include "app/OpenTarget.h"
#include "app/ReaderCode.h"
#include "app/TerrainHome.h"
#include "app/TileProcedures.h"
#include "base/Messages.h"
#include "doc/CommandNames.h"
#include "io/FileSystem.h"
#include "layout/TileBudget.h"
#include "mapview/CKeshView.h"
#include "shell/AppServices.h"
#include "shell/CommandIds.h"
#include "shell/StatusNotice.h"
#include "tileview/CTile1View.h"

namespace kesh::ui {

namespace {

// A procedure that already told the user why it did not go on.
Status Refused() {
    return Status::Fail(std::string());
}

} // namespace

FrameCommands::FrameCommands(Document& doc, TitleSetter setTitle)
    : FrameCommands(doc, std::move(setTitle), FileSystem::Native()) {}

FrameCommands::FrameCommands(Document& doc, TitleSetter setTitle, FileSystem& fs)
    : m_doc(doc), m_fs(fs) {
    if (setTitle) {
        m_setTitle = [setTitle = std::move(setTitle)](const std::string& name) {
            setTitle(QString::fromStdString(name));
        };
    }
}

MapProcedures FrameCommands::MapProcs() const {
    MapProcedures procs(m_doc, Services(), m_fs, m_setTitle);
    procs.OnFileUsed(m_fileUsed);
    return procs;
}

void FrameCommands::SetFileUsed(std::function<void(const QString&)> used) {
    m_fileUsed = nullptr;
    if (used) {
        m_fileUsed = [used = std::move(used)](const std::string& path) {
            used(QFile::decodeName(path.c_str()));
        };
    }
}

TileProcedures FrameCommands::TileProcs(TileSet& tiles) const {
    return TileProcedures(tiles, Services(), m_fs);
}

void FrameCommands::ChangeTiles(const char* name, bool marksMap,
                                const std::function<void(TileProcedures&)>& procedure) {
    // A cancelled dialog takes nothing and leaves the changed flag as it was.
    m_doc.ChangeTiles(name, marksMap, [&](TileSet& tiles) {
        TileProcedures procs = TileProcs(tiles);
        procedure(procs);
    });
}

void FrameCommands::OnEditUndo() {
    m_doc.Undo();
}

void FrameCommands::OnEditRedo() {
    m_doc.Redo();
}

void FrameCommands::OnTileDelete() {
    // Nothing to delete: the map's numbers must not move either.
    const int32_t deleted = m_doc.currentTile();
    if (!m_doc.tiles().tiles().NodeAt(deleted) || !Services().AskOkCancel(msg::kAskDeleteTile)) {
        return;
    }
    m_doc.DeleteTile(deleted);
}

bool FrameCommands::Run(int id, const QWidget* activeView) {
    const bool tileViewActive = m_tileView && activeView == m_tileView;
    switch (id) {
    case ID_FILE_NEW:
        OnFileNew();
        return true;
    case ID_TILE_ADDFILE:
        tileViewActive ? ChangeTiles(command::kAddTileFile, false,
                                     [](TileProcedures& procs) { procs.OnTileAddFile(); })
                       : OnTileAddFile();
        return true;
    case ID_TILE_LOADPALETTE: {
        const uint64_t before = m_doc.historyRevision();
        tileViewActive ? ChangeTiles(command::kLoadPalette, false,
                                     [](TileProcedures& procs) { procs.OnLoadPalette(); })
                       : OnLoadPalette();
        if (m_doc.historyRevision() != before) {
            Notice(notice::PaletteLoaded());
        }
        return true;
    }
    case ID_TILE_SAVE:
        OnTileSave();
        return true;
    case ID_TILE_REMOVEUNUSED:
        CleanupProcedures(m_doc, Services()).RemoveUnused();
        return true;
    case ID_TILE_MERGEDUPLICATES:
        CleanupProcedures(m_doc, Services()).MergeDuplicates();
        return true;
    case ID_TILE_SAVEBMP:
        OnTileSaveBmp();
        return true;
    case ID_TILE_FORMAT:
        OnTileFormat();
        return true;
    // Ctrl+O and Ctrl+S open and save the map, as the map menu does.
    case ID_FILE_OPEN:
    case ID_MAP_OPEN:
        OnMapOpen();
        return true;
    case ID_FILE_SAVE:
    case ID_MAP_SAVE:
        OnMapSave();
        return true;
    case ID_MAP_FORMAT:
        OnMapFormat();
        return true;
    case ID_MAP_SAVEBMP:
        OnMapSaveBmp();
        return true;
    case ID_MAP_SAVEPNG:
        OnMapSavePng();
        return true;
    case ID_MAP_READERCODE:
        OnMapReaderCode();
        return true;
    case ID_MAP_EXPORTTMX:
        OnMapExportTmx();
        return true;
    case ID_TILE_IMPORTIMAGE:
        OnTileImportImage();
        return true;
    case ID_MAP_IMPORTTMX:
        OnMapImportTmx();
        return true;
    case ID_FILE_SAVE_AS:
        OnFileSaveAs();
        return true;
    case ID_EDIT_COPY:
        OnEditCopy();
        return true;
    case ID_EDIT_PASTE:
        OnEditPaste();
        return true;
    case ID_EDIT_FILL:
        OnEditFill();
        return true;
    case ID_EDIT_FLIPH:
    case ID_EDIT_FLIPV:
        if (m_mapView) {
            m_mapView->FlipRegion(id == ID_EDIT_FLIPH);
        }
        return true;
    case ID_EDIT_UNDO:
        OnEditUndo();
        return true;
    case ID_EDIT_REDO:
        OnEditRedo();
        return true;
    // Cut has keys but no handler: the keys do nothing.
    case ID_EDIT_CUT:
        return true;
    default:
        return false;
    }
}

void FrameCommands::OnFileNew() {
    if (!MapProcs().NewMap()) {
        return;
    }
    // The old map is gone, and with it the need to recover it.
    if (m_mapReplaced) {
        m_mapReplaced();
    }
    // Cancelling the tile layout dialog keeps the old tile set with the new map.
    (void)m_doc.Replace(
        [this](MapModel&, TileSet& tiles) {
            return TileProcs(tiles).NewTileFormat() ? Status::Ok() : Refused();
        },
        std::nullopt, false);
}

// The tile commands below change what the map shows or what its file holds,
// so a step they take counts as a change of the map; a cancelled one leaves
// the changed flag as it was. From the tile set view (Run) adding a tile file
// and loading a palette change the tile set only.
void FrameCommands::OnTileAddFile() {
    ChangeTiles(command::kAddTileFile, true, [](TileProcedures& procs) { procs.OnTileAddFile(); });
}

void FrameCommands::OnLoadPalette() {
    ChangeTiles(command::kLoadPalette, true, [](TileProcedures& procs) { procs.OnLoadPalette(); });
}

void FrameCommands::OnTileFormat() {
    // The limit's range and warning come from the map: its cell item and flip fields.
    const int64_t most = DefaultTileLimit(m_doc.map().format());
    const int64_t stored = m_doc.storedTiles();
    ChangeTiles(command::kTileFormat, true,
                [&](TileProcedures& procs) { procs.OnTileFormat(most, stored); });
}

void FrameCommands::OnTileSave() {
    TileProcedures procs = TileProcs(m_doc.tiles());
    const auto terrain = [this](const std::string& path) {
        return TerrainHome::ForTileSave(m_doc, path);
    };
    if (procs.OnTileSave(terrain)) {
        Notice(notice::Saved(QFile::decodeName(procs.written().c_str())));
    }
}

void FrameCommands::OnTileSaveBmp() {
    TileProcedures procs = TileProcs(m_doc.tiles());
    if (procs.OnTileSaveBmp()) {
        Notice(notice::Saved(QFile::decodeName(procs.written().c_str())));
    }
}

void FrameCommands::NoticeWritten(const std::function<bool(MapProcedures&)>& procedure) {
    MapProcedures procs = MapProcs();
    if (procedure(procs)) {
        // An export names the file it wrote; a save, the map's file.
        const std::string& path = procs.written().empty() ? m_doc.file().path : procs.written();
        Notice(notice::Saved(QFile::decodeName(path.c_str())));
    }
}

void FrameCommands::OnMapOpen() {
    MapProcs().OpenMap();
}

bool FrameCommands::OpenFile(const QString& path) {
    // Either kind replaces what a later map save writes: a changed map is
    // offered for saving first, and nothing is read when that save fails.
    if (!QueryClose()) {
        return false;
    }
    const OpenTarget target = OpenTargetOf(QFile::encodeName(path).toStdString());
    return target.kind == OpenTarget::TileSet ? OpenTilePath(target.path)
                                              : OpenMapPath(target.path);
}

bool FrameCommands::OpenMapFile(const QString& path) {
    return OpenMapPath(QFile::encodeName(path).toStdString());
}

bool FrameCommands::OpenTileFile(const QString& path) {
    return OpenTilePath(QFile::encodeName(path).toStdString());
}

bool FrameCommands::OpenMapPath(const std::string& path) {
    return MapProcs().OpenMapPath(path);
}

bool FrameCommands::OpenTilePath(const std::string& path) {
    // Another tile set: no step before it can be taken back, and the map
    // counts as changed, as after adding a tile file.
    const bool opened = bool(m_doc.Replace(
        [&](MapModel&, TileSet& tiles) {
            return TileProcs(tiles).OpenTileSetPath(path) ? Status::Ok() : Refused();
        },
        std::nullopt, true));
    // The terrain set of a map whose tiles are in their own file comes with them.
    if (opened)
        TerrainHome::OpenBesideTiles(m_doc, m_fs, Services(), path);
    return opened;
}

void FrameCommands::OnMapSave() {
    NoticeWritten([](MapProcedures& procs) { return procs.SaveMap(); });
}

void FrameCommands::OnMapReaderCode() {
    SaveMapReaderCode(m_doc.map(), m_doc.tiles(), m_doc.file().name, Services(), m_fs);
}

void FrameCommands::OnMapFormat() {
    // A taken layout is a step of its own; a cancelled dialog changes nothing.
    MapProcs().ChangeMapFormat();
}

void FrameCommands::OnMapSaveBmp() {
    NoticeWritten([](MapProcedures& procs) { return procs.ExportMapBitmap(); });
}

void FrameCommands::OnMapSavePng() {
    NoticeWritten([](MapProcedures& procs) { return procs.ExportMapPng(); });
}

void FrameCommands::OnMapExportTmx() {
    NoticeWritten([](MapProcedures& procs) { return procs.ExportMapTmx(); });
}

void FrameCommands::OnTileImportImage() {
    if (RunImport([](ImportProcedures& procs) { return procs.OnImportImage(); })) {
        Notice(notice::ImageImported());
    }
}

void FrameCommands::OnMapImportTmx() {
    if (RunImport([](ImportProcedures& procs) { return procs.OnImportTmx(); })) {
        Notice(notice::TmxImported());
    }
}

bool FrameCommands::RunImport(const std::function<bool(ImportProcedures&)>& procedure) {
    // The caption stays, as after File New: only an opened file names it.
    MapProcedures mapProcs = MapProcs();
    ImportProcedures procs(m_doc, mapProcs, Services(), m_fs);
    return procedure(procs);
}

void FrameCommands::OnFileSaveAs() {
    NoticeWritten([](MapProcedures& procs) { return procs.SaveMapAs(); });
}

void FrameCommands::OnEditCopy() {
    if (m_mapView) {
        m_mapView->RememberRegion();
        Notice(notice::Copied());
    }
}

void FrameCommands::OnEditPaste() {
    if (m_mapView) {
        const uint64_t before = m_doc.historyRevision();
        m_mapView->PasteRegion();
        if (m_doc.historyRevision() != before) {
            Notice(notice::Pasted());
        }
    }
}

void FrameCommands::OnEditFill() {
    if (m_mapView) {
        m_mapView->FillRegion();
    }
}

bool FrameCommands::QueryClose() {
    return MapProcs().AskSaveChanges();
}

} // namespace kesh::ui
