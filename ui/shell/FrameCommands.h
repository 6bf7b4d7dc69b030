#pragma once

#include <functional>
#include <string>

#include <QString>

class QWidget;

namespace kesh {
class Document;
class FileSystem;
class ImportProcedures;
class MapProcedures;
class TileProcedures;
class TileSet;
class UserServices;
} // namespace kesh

namespace kesh::ui {

class CKeshView;
class CTile1View;

// The main window's map and tile commands. Each handler runs one procedure
// on the document; the document tells the views what to repaint. The map
// view's own commands (copy, paste, fill) go to the map view the frame
// handed over, and do nothing without one. Questions and messages are the
// procedures' own, through the installed user services.
class FrameCommands {
public:
    // Called with the map's file name after a map file was opened.
    using TitleSetter = std::function<void(const QString&)>;

    // Commands on `doc`, whose files go through `fs` (the real disk, or a
    // file layer of a test's).
    FrameCommands(Document& doc, TitleSetter setTitle);
    FrameCommands(Document& doc, TitleSetter setTitle, FileSystem& fs);

    // The views the commands reach: the map view for copy, paste and fill,
    // the tile set view to tell whether it is the active one.
    void SetViews(CKeshView* map, CTile1View* tiles) {
        m_mapView = map;
        m_tileView = tiles;
    }

    // Runs command `id` as the window routes it, `activeView` being the view
    // with the focus: while that is the tile set view, adding a tile file and
    // loading a palette change the tile set only. False when `id` is not one
    // of these commands.
    bool Run(int id, const QWidget* activeView);

    // The handlers.
    void OnFileNew();
    void OnTileAddFile();
    void OnLoadPalette();
    void OnTileSave();
    void OnTileSaveBmp();
    void OnTileFormat();
    void OnMapOpen();
    void OnMapSave();
    void OnMapFormat();
    void OnMapSaveBmp();
    void OnMapSavePng();
    // Saves the C header or Python module that reads the map's current layout.
    void OnMapReaderCode();
    void OnMapExportTmx();
    // Tiles (and a map) from a picture, and a Tiled map: each one step.
    void OnTileImportImage();
    void OnMapImportTmx();
    void OnFileSaveAs();
    void OnEditCopy();
    void OnEditPaste();
    void OnEditFill();
    // Take back the last step, or do again the last one taken back.
    void OnEditUndo();
    void OnEditRedo();
    // The tile set view's Delete key: asks, then deletes the current tile and
    // renumbers the map's cells, as one step.
    void OnTileDelete();

    // Opens a file named on the command line, dropped on the window or
    // chosen from the recent files, without a file dialog: a .til (or the
    // .til beside a .ktf) as the tile set, anything else (or the .map beside a
    // .kmf) as the map. A changed map is first offered for saving; when the
    // user wanted it saved and that did not happen, nothing is opened.
    // True when it was read.
    bool OpenFile(const QString& path);
    // Reads the map file `path` without a file dialog and repaints both
    // views. True when it was read.
    bool OpenMapFile(const QString& path);
    // Reads the tile file `path` as the tile set without a file dialog. On
    // success the map keeps its cells and counts as changed, as after adding
    // a tile file; both views and the attribute bar are repainted. True when
    // it was read.
    bool OpenTileFile(const QString& path);

    // Before the window closes: offers to save a changed map. False when the
    // user asked to save and the map was not saved (the window stays open).
    bool QueryClose();

    // Called with the map file's path after the map was opened or saved, by
    // any route (menu, keys, command line, drop, the exit question).
    void SetFileUsed(std::function<void(const QString&)> used);
    // Called with a short Korean notice after a save, an export, a copy, a
    // paste, a palette load or an import did its work.
    void SetNotice(std::function<void(const QString&)> notice) { m_notice = std::move(notice); }
    // Called after File New replaced the map.
    void SetMapReplaced(std::function<void()> replaced) { m_mapReplaced = std::move(replaced); }

private:
    // OpenMapFile and OpenTileFile on a path in the file system's encoding.
    bool OpenMapPath(const std::string& path);
    bool OpenTilePath(const std::string& path);
    // Runs a tile procedure as one step of the document's history; with
    // `marksMap` a step it takes counts as a change of the map.
    void ChangeTiles(const char* name, bool marksMap,
                     const std::function<void(TileProcedures&)>& procedure);
    // True when the import took its step.
    bool RunImport(const std::function<bool(ImportProcedures&)>& procedure);

    MapProcedures MapProcs() const;
    void Notice(const QString& text) const {
        if (m_notice) {
            m_notice(text);
        }
    }
    // Runs a map export or save; a written file is told in the notice.
    void NoticeWritten(const std::function<bool(MapProcedures&)>& procedure);
    TileProcedures TileProcs(TileSet& tiles) const;

    Document& m_doc;
    CKeshView* m_mapView = nullptr;
    CTile1View* m_tileView = nullptr;

    std::function<void(const std::string&)> m_setTitle;
    std::function<void(const std::string&)> m_fileUsed;
    std::function<void()> m_mapReplaced;
    std::function<void(const QString&)> m_notice;
    FileSystem& m_fs;
};

} // namespace kesh::ui
