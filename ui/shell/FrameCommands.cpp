#include "shell/FrameCommands.h"

#include <QFile>

#include "app/ImportProcedures.h"
#include "app/MapProcedures.h"
#include "app/OpenTarget.h"
#include "app/ReaderCode.h"
#include "app/TileProcedures.h"
#include "doc/StepNames.h"
#include "io/FileSystem.h"
#include "mapview/CKeshView.h"
#include "shell/AppServices.h"
#include "shell/CommandIds.h"
#include "tileview/CTile1View.h"
#include "tileview/CTileInfoBar.h"
#include "widgets/CSplitterWnd.h"

namespace kesh::ui {

FrameCommands::FrameCommands(TitleSetter setTitle)
    : FrameCommands(std::move(setTitle), FileSystem::Native()) {}

FrameCommands::FrameCommands(TitleSetter setTitle, FileSystem& fs) : m_fs(fs) {
    if (setTitle) {
        m_setTitle = [setTitle = std::move(setTitle)](const std::string& name) {
            setTitle(QString::fromStdString(name));
        };
    }
}

CKeshView* FrameCommands::MapView() {
    return g_pMainSplitter ? qobject_cast<CKeshView*>(g_pMainSplitter->GetPane(0, 0)) : nullptr;
}

CTile1View* FrameCommands::TileView() {
    return g_pMainSplitter ? qobject_cast<CTile1View*>(g_pMainSplitter->GetPane(0, 1)) : nullptr;
}

MapProcedures FrameCommands::MapProcs(CKeshView& map) const {
    CTile1View* tiles = TileView();
    MapProcedures procs(map.map(), tiles ? &tiles->tileSet() : nullptr, Services(), m_fs,
                        m_setTitle);
    procs.OnFileUsed(m_fileUsed);
    procs.AttachDocument(map.document());
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

TileProcedures FrameCommands::TileProcs(CTile1View& tiles) const {
    return TileProcedures(tiles.tileSet(), Services(), m_fs);
}

void FrameCommands::RepaintMap() {
    if (CKeshView* map = MapView()) {
        map->viewport()->update();
    }
}

void FrameCommands::RepaintTiles() {
    if (CTile1View* tiles = TileView()) {
        tiles->TileSetChanged();
        if (g_wndTileInfoBar) {
            g_wndTileInfoBar->Refresh(tiles);
        }
    }
}

void FrameCommands::MarkMapChanged() {
    if (CKeshView* map = MapView()) {
        map->document().MarkChanged();
        map->viewport()->update();
    }
}

void FrameCommands::ChangeTiles(CTile1View& tiles, const char* step, bool marksMap,
                                const std::function<void(TileProcedures&)>& procedure) {
    Document& doc = tiles.document();
    const uint64_t before = doc.historyRevision();
    doc.ChangeTiles(step, marksMap, [&] {
        TileProcedures procs = TileProcs(tiles);
        procedure(procs);
    });
    // The document has told both views what changed. The map counts as
    // changed even when nothing was taken (a cancelled dialog), as it always
    // has: then without a step to undo.
    if (marksMap && doc.historyRevision() == before) {
        MarkMapChanged();
    }
}

Document* FrameCommands::Doc() {
    if (CKeshView* map = MapView()) {
        return &map->document();
    }
    CTile1View* tiles = TileView();
    return tiles ? &tiles->document() : nullptr;
}

void FrameCommands::OnEditUndo() {
    if (Document* doc = Doc()) {
        doc->Undo();
    }
}

void FrameCommands::OnEditRedo() {
    if (Document* doc = Doc()) {
        doc->Redo();
    }
}

bool FrameCommands::Run(int id, const QWidget* activeView) {
    CTile1View* tiles = TileView();
    const bool tileViewActive = tiles && activeView == tiles;
    switch (id) {
    case ID_FILE_NEW:
        OnFileNew();
        return true;
    case ID_TILE_ADDFILE:
        tileViewActive ? TileViewAddFile(*tiles) : OnTileAddFile();
        return true;
    case ID_TILE_LOADPALETTE:
        tileViewActive ? TileViewLoadPalette(*tiles) : OnLoadPalette();
        return true;
    case ID_TILE_SAVE:
        OnTileSave();
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
    CKeshView* map = MapView();
    if (!map || !MapProcs(*map).NewMap()) {
        return;
    }
    // The old map is gone, and with it the need to recover it.
    if (m_mapReplaced) {
        m_mapReplaced();
    }
    CTile1View* tiles = TileView();
    if (!tiles) {
        return;
    }
    // Cancelling the tile layout dialog keeps the old tile set with the new map.
    TileProcs(*tiles).NewTileFormat();
    // The new tile size may leave the selection off the cell grid.
    map->viewState().ClampSelection(map->map(), tiles->tileSet().tileWidth(),
                                    tiles->tileSet().tileHeight());
    RepaintMap();
    RepaintTiles();
}

// From the tile set view these change the tile set only: the map does not
// count as changed.
void FrameCommands::TileViewAddFile(CTile1View& tiles) {
    ChangeTiles(tiles, step::kAddTileFile, false,
                [](TileProcedures& procs) { procs.OnTileAddFile(); });
}

void FrameCommands::TileViewLoadPalette(CTile1View& tiles) {
    ChangeTiles(tiles, step::kLoadPalette, false,
                [](TileProcedures& procs) { procs.OnLoadPalette(); });
}

// The tile commands below change what the map shows or what its file holds,
// so the map counts as changed afterwards, cancelled or not.
void FrameCommands::OnTileAddFile() {
    if (CTile1View* tiles = TileView()) {
        ChangeTiles(*tiles, step::kAddTileFile, true,
                    [](TileProcedures& procs) { procs.OnTileAddFile(); });
    }
}

void FrameCommands::OnLoadPalette() {
    if (CTile1View* tiles = TileView()) {
        ChangeTiles(*tiles, step::kLoadPalette, true,
                    [](TileProcedures& procs) { procs.OnLoadPalette(); });
    }
}

void FrameCommands::OnTileFormat() {
    CTile1View* tiles = TileView();
    if (!tiles) {
        return;
    }
    ChangeTiles(*tiles, step::kTileFormat, true,
                [](TileProcedures& procs) { procs.OnTileFormat(); });
}

void FrameCommands::OnTileSave() {
    if (CTile1View* tiles = TileView()) {
        TileProcs(*tiles).OnTileSave();
    }
}

void FrameCommands::OnTileSaveBmp() {
    if (CTile1View* tiles = TileView()) {
        TileProcs(*tiles).OnTileSaveBmp();
    }
}

void FrameCommands::OnMapOpen() {
    CKeshView* map = MapView();
    if (!map) {
        return;
    }
    MapProcs(*map).OpenMap();
    RepaintMap();
    RepaintTiles();
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
    CKeshView* map = MapView();
    if (!map) {
        return false;
    }
    const bool opened = MapProcs(*map).OpenMapPath(path);
    RepaintMap();
    RepaintTiles();
    return opened;
}

bool FrameCommands::OpenTilePath(const std::string& path) {
    CTile1View* tiles = TileView();
    if (!tiles) {
        return false;
    }
    const bool opened = TileProcs(*tiles).OpenTileSetPath(path);
    if (opened) {
        // Another tile set: no step before it can be taken back.
        tiles->document().ResetHistory();
        if (CKeshView* map = MapView()) {
            // The new tile size may leave the selection off the cell grid.
            map->viewState().ClampSelection(map->map(), tiles->tileWidth(), tiles->tileHeight());
        }
        MarkMapChanged();
    }
    RepaintTiles();
    return opened;
}

void FrameCommands::OnMapSave() {
    CKeshView* map = MapView();
    if (!map) {
        return;
    }
    MapProcs(*map).SaveMap();
    RepaintMap();
}

void FrameCommands::OnMapReaderCode() {
    CKeshView* map = MapView();
    CTile1View* tiles = TileView();
    if (!map || !tiles) {
        return;
    }
    SaveMapReaderCode(map->map(), tiles->tileSet(), map->map().m_strFileName, Services(), m_fs);
}

void FrameCommands::OnMapFormat() {
    CKeshView* map = MapView();
    if (!map) {
        return;
    }
    // Even a cancelled dialog leaves the map changed; a taken layout is a
    // step of its own.
    const uint64_t before = map->document().historyRevision();
    MapProcs(*map).ChangeMapFormat();
    if (map->document().historyRevision() == before) {
        map->document().MarkChanged();
    }
}

void FrameCommands::OnMapSaveBmp() {
    if (CKeshView* map = MapView()) {
        MapProcs(*map).ExportMapBitmap();
    }
}

void FrameCommands::OnMapSavePng() {
    if (CKeshView* map = MapView()) {
        MapProcs(*map).ExportMapPng();
    }
}

void FrameCommands::OnMapExportTmx() {
    if (CKeshView* map = MapView()) {
        MapProcs(*map).ExportMapTmx();
    }
}

void FrameCommands::OnTileImportImage() {
    RunImport([](ImportProcedures& procs) { return procs.OnImportImage(); });
}

void FrameCommands::OnMapImportTmx() {
    RunImport([](ImportProcedures& procs) { return procs.OnImportTmx(); });
}

void FrameCommands::RunImport(const std::function<bool(ImportProcedures&)>& procedure) {
    CKeshView* map = MapView();
    CTile1View* tiles = TileView();
    if (!map || !tiles) {
        return;
    }
    // The caption stays, as after File New: only an opened file names it.
    MapProcedures mapProcs = MapProcs(*map);
    ImportProcedures procs(map->document(), mapProcs, Services(), m_fs);
    procedure(procs);
    RepaintMap();
    RepaintTiles();
}

void FrameCommands::OnFileSaveAs() {
    if (CKeshView* map = MapView()) {
        MapProcs(*map).SaveMapAs();
    }
}

void FrameCommands::OnEditCopy() {
    if (CKeshView* map = MapView()) {
        map->RememberRegion();
    }
}

void FrameCommands::OnEditPaste() {
    if (CKeshView* map = MapView()) {
        map->PasteRegion();
    }
}

void FrameCommands::OnEditFill() {
    if (CKeshView* map = MapView()) {
        map->FillRegion();
    }
}

bool FrameCommands::QueryClose() {
    CKeshView* map = MapView();
    return !map || MapProcs(*map).AskSaveChanges();
}

} // namespace kesh::ui
