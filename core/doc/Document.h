#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "doc/Command.h"
#include "doc/DocumentListener.h"
#include "doc/FileIdentity.h"
#include "doc/TileCleanup.h"
#include "doc/UndoStack.h"
#include "map/MapModel.h"
#include "terrain/TerrainLayer.h"
#include "tileset/TileSet.h"
#include "tileset/TileTransform.h"

namespace kesh {

class PixelStrokeCommand;
class StrokeCommand;
class TerrainCommand;

// What the user edits: the map (cells and layout), the tile set (tiles,
// colours, layout, current tile), the map's file name and path, and the
// history of changes. Knows nothing of windows.
//
// Every edit is a request to the document, which runs one command for it:
// the command's Redo is the only code that writes cells, tiles or
// attributes, its Undo the only code that puts them back. Listeners hear
// what changed after each request.
//
// The changed flag is derived: set while the history stands elsewhere than
// where the map was last saved, or while a change without history is
// pending (MarkChanged).
class Document {
public:
    Document();
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Read access for views, exports and procedures. Writing through the
    // non-const accessors is left to the commands (core/doc) and to tests
    // that set up a document.
    MapModel& map() { return m_map; }
    const MapModel& map() const { return m_map; }
    TileSet& tiles() { return m_tiles; }
    const TileSet& tiles() const { return m_tiles; }
    const FileIdentity& file() const { return m_file; }
    // The terrain set and its values (TerrainLayer.h), kept beside the map.
    TerrainLayer& terrain() { return m_terrain; }
    const TerrainLayer& terrain() const { return m_terrain; }

    void AddListener(DocumentListener* listener);
    void RemoveListener(DocumentListener* listener);

    // Cells. A stroke is every cell painted from the start of a paint drag,
    // an Enter press or an Enter+arrow run until EndStroke: one step.
    // Paints `tile` into cell `index` as part of the stroke under way (one is
    // begun if none is); true when the cell changed. The caller repaints the
    // cell: the listeners hear only of the stroke's start (kHistory), so that
    // a drag is not a repaint of the whole map per cell.
    // The cell gets the brush's attribute bits too while the map keeps them.
    bool PaintCell(int32_t index, uint16_t tile);
    void EndStroke();
    // Sets every cell of `cells` (inclusive, cut to the grid) to `tile` with
    // the brush's attribute bits, as one step named "채우기", even when no
    // cell changes.
    void FillCells(const Rect& cells, uint16_t tile);
    // Mirrors `cells` (inclusive, cut to the grid) left to right, or top to
    // bottom: the cells move, and each cell's flip bit toggles while the map
    // has that field. One step named "선택 영역 뒤집기".
    void FlipCells(const Rect& cells, bool horizontal);
    // Copies `source` (cells, inclusive, cut to the grid) so that its top-left
    // lands on (`col`, `row`), cut at the map's edges; overlapping source and
    // target behave as if the source had been copied out first. One step.
    void PasteCells(const Rect& source, int32_t col, int32_t row);

    // Terrain (DocumentTerrain.cpp). Takes `set` for the map, its values
    // read from the map's cells (an empty set: none); no step. The map
    // counts as changed when `marksMap` (a set made now, whose file the
    // next save writes; not one read with the map). Fails (nothing changed)
    // with the set's own complaint. Both tell the listeners (kTerrain).
    Status SetTerrainSet(TerrainSet set, bool marksMap = true);
    void SetTerrainOptions(const TerrainOptions& options);
    // Paints `terrain` at value point `at` (a cell corner of a corner set, a
    // cell of a blob set) as part of the stroke under way (EndStroke ends
    // it), and chooses the cells that read it again. Returns the cells that
    // may have changed, for the caller to repaint; empty (left > right) when
    // nothing changed, there is no set, or `at` or `terrain` is outside it.
    Rect PaintTerrain(Point at, int terrain);
    // Gives every value point of `points` (inclusive, cut to the grid) the
    // terrain `terrain` as one step named "지형 채우기", even when nothing
    // changes; nothing without a set or for a terrain outside it.
    void FillTerrain(const Rect& points, int terrain);
    // 지형 만들기: runs `make`, which may add tiles at the end of the set (and
    // change what ChangeTiles allows) and fills in the terrain set they
    // show; on success that set becomes the map's, and the tiles and the
    // set are one step named `name`, whose undo brings back the old set
    // and the old tiles. A failed `make` must leave the tiles as they were;
    // its status comes back, as does the set's own complaint (the tiles
    // then put back), with nothing changed and no step.
    using TerrainMake = std::function<Status(TileSet& tiles, TerrainSet& set)>;
    Status MakeTerrainSet(const char* name, const TerrainMake& make);
    // How many cells the last terrain step left on the nearest tile, the set
    // having none of their label.
    uint64_t terrainUnmatched() const { return m_terrainUnmatched; }

    // The tile the map paints with.
    int32_t currentTile() const { return m_tiles.current(); }
    // Makes `number` current and tells the listeners; no step.
    void SetCurrentTile(int32_t number);
    // The attribute bits the brush paints with beside the current tile
    // (cellbit: flips, palette, priority, user bits), cut to what the map's
    // fields hold when painted.
    uint16_t brushAttr() const { return m_brushAttr; }
    // The cell a paint would write: the current tile and the brush's bits
    // that the map's fields hold.
    Cell brush() const;
    // Sets the brush's bits and tells the listeners (kCurrentTile); no step.
    void SetBrushAttr(uint16_t attr);

    // Deletes tile `number`, renumbering the map's cells, as one step. False
    // (nothing changed) when there is no such tile.
    bool DeleteTile(int32_t number);
    // The tile workshop. Each request is one step (none when nothing would
    // change) and fails, changing nothing, for a tile number the set does
    // not have ("없는 타일 번호입니다: N") or when no tile would be left
    // ("타일이 하나도 남지 않게 되므로 할 수 없습니다."). The clean-ups fill
    // `summary`.
    //
    // Gives tile `number` the pixels `pixels` (tileSize() bytes), as the
    // step `name` (a stroke of a drawing tool: command::kEditTile).
    Status EditTilePixels(int32_t number, const std::vector<uint8_t>& pixels,
                          const char* name);
    // A pixel stroke (DocumentPixels.cpp): every pixel the pencil sets from
    // its press until EndStroke, in one tile or in several (on the map), is
    // one step named "타일 편집". Sets `points` (cut to the tile) of tile
    // `number` to `value` at once and tells the listeners (kTiles), so every
    // cell showing the tile repaints as the drag goes; false, with nothing
    // changed, when no pixel changed or there is no such tile.
    bool PaintTilePixels(int32_t number, const std::vector<Point>& points, uint8_t value);
    // Flips, turns (square tiles only) or shifts the whole of tile `number`.
    Status TransformTile(int32_t number, TileTransform how);
    // The flip bits (cellbit::kFlips) the map's cell fields can hold: the
    // mirror images a tile may be merged with.
    uint16_t mapFlips() const;
    // The tile budget for the status bar ("타일 187 / 256"): the tiles as
    // the hardware stores them (mirror images matched while the map has
    // flip fields), and the tile limit in force (layout/TileBudget.h).
    int32_t storedTiles() const;
    int64_t tileLimit() const;
    // Drops the tiles no cell shows, renumbering the map.
    Status RemoveUnusedTiles(CleanupSummary& summary);
    // Merges tiles equal to a lower-numbered one, and with `mirrors` those
    // equal to a mirror image of one when the map has flip fields (setting
    // the flip bits of the cells renumbered).
    Status MergeDuplicateTiles(bool mirrors, CleanupSummary& summary);
    // Every cell of tile `from` shows tile `into` instead, with the flip bits
    // `flip` toggled (those the map holds), and tile `from` leaves the set.
    Status MergeTiles(int32_t from, int32_t into, uint16_t flip, CleanupSummary& summary);
    // Merges pairs of tiles that differ in at most `most` pixels
    // (TileCleanup::MergeNear); summary.tilesMerged counts the pairs.
    Status MergeNearTiles(int32_t most, CleanupSummary& summary);
    // Moves tile `from` to number `to`, renumbering the map.
    Status MoveTile(int32_t from, int32_t to);
    // Every cell showing tile `from` shows the current tile instead, its
    // attribute bits kept; in `area` (cells, inclusive, cut to the grid) only,
    // when given.
    Status ReplaceTile(int32_t from, std::optional<Rect> area, CleanupSummary& summary);

    // Runs `change`, which may add tiles at the end of the set and change its
    // colours, layout, header and current tile (and the tile size of an empty
    // set), and makes what it did one step named `name`. Nothing changed, no
    // step. A change that removed or altered tiles cannot be taken back: the
    // history then starts afresh and the map counts as changed.
    void ChangeTiles(const char* name, bool marksMap, const std::function<void(TileSet&)>& change);
    // Gives tile `number` the attribute word `attribute` as one step. False
    // (nothing changed, no step) when there is no such tile or it has that word.
    bool SetTileAttribute(int32_t number, uint32_t attribute);
    // Gives the map a new item list and header as one step; and new cell
    // fields, when given (attribute bits the new fields cannot hold are
    // cleared; undo gives them back).
    void SetMapLayout(std::vector<uint8_t> items, std::string header,
                      std::optional<CellLayout> cells = std::nullopt);

    // Imports a map, as one step named `name`: `import` changes the tile set,
    // keeping its first `keep` tiles (an image import keeps them all, 0 lets
    // it replace the whole set), and gives the new map's layout (with its
    // size) and cells. The new map has no file yet ("Untitled.map"), so a
    // later save asks for a name; undo gives back the old map, its names and
    // the old tiles. A failed import must leave the tile set as it was: its
    // status comes back, with nothing changed and no step. So does a map
    // size the map cannot hold.
    // `attrs` may stay empty: the new map's cells then have no attribute bits.
    using MapImport = std::function<Status(TileSet& tiles, MapFormat& format,
                                           std::vector<uint16_t>& cells,
                                           std::vector<uint16_t>& attrs)>;
    Status ImportMap(const char* name, int32_t keep, const MapImport& import);

    // Runs a command of a new kind: applies it and puts it on the history.
    void Execute(std::unique_ptr<Command> command);

    // Replaces the whole content (File New, an opened map or tile file, a
    // recovered copy): `read` brings the map and the tile set to their new
    // state, all or nothing. On success the map gets the file `file` (none:
    // it keeps its own), the history starts afresh, the map counts as changed
    // when `changed` (an opened tile set the map's file does not hold yet, a
    // recovered copy), and the listeners hear that everything changed. On
    // failure its status comes back and nothing changed.
    using ContentReader = std::function<Status(MapModel& map, TileSet& tiles)>;
    Status Replace(const ContentReader& read, std::optional<FileIdentity> file, bool changed);
    // The map now has this file (a save under a name); no step.
    void SetFile(FileIdentity file);

    // History.
    bool CanUndo() const;
    bool CanRedo() const;
    // The name of the step undo or redo would take, empty when there is none.
    std::string UndoName() const;
    std::string RedoName() const;
    // Takes back the last step, or does again the last one undone; false when
    // there is none.
    bool Undo();
    bool Redo();
    const UndoStack& history() const { return m_history; }
    // Counts every step done, undone or redone, so a caller can tell whether
    // a procedure made one.
    uint64_t historyRevision() const { return m_revision; }

    // The changed flag.
    bool IsModified() const;
    // A change that cannot be undone, or none at all that still counts (a
    // cancelled palette load): the map counts as changed until saved.
    void MarkChanged();
    // The map was saved: what it holds now is unchanged.
    void MarkSaved();
    // A new or opened map: the history starts afresh, unchanged.
    void ResetHistory();

private:
    friend class ImportCommand;

    // Tells every listener; the changed flag is brought up to date first.
    void notify(uint32_t changes);
    // Puts an applied command on the history.
    void push(std::unique_ptr<Command> command);
    // Forgets every step after a change that cannot be taken back; the map
    // stays changed if it was, and becomes changed when `marksMap`.
    void dropHistory(bool marksMap);
    // Puts an unfinished stroke on the history.
    void closeStroke();
    void closeTerrainStroke();
    void closePixelStroke();
    // The stroke being painted, when it changed anything.
    const Command* strokeUnderWay() const;
    // Gives the map `grid` (a layout with its size, and cells) and the file
    // identity `file`; gives back what it held.
    // Runs a clean-up's plan as the step `name` and sums up what it did.
    void remap(const char* name, TileRemap plan, std::optional<Rect> area,
               CleanupSummary& summary);
    void swapMap(MapFormat& format, std::vector<uint16_t>& cells, std::vector<uint16_t>& attrs,
                 FileIdentity& file);

    MapModel m_map;
    TileSet m_tiles;
    FileIdentity m_file;
    UndoStack m_history;
    std::unique_ptr<StrokeCommand> m_stroke;
    TerrainLayer m_terrain;
    std::unique_ptr<TerrainCommand> m_terrainStroke;
    std::unique_ptr<PixelStrokeCommand> m_pixelStroke;
    uint64_t m_terrainUnmatched = 0;
    uint16_t m_brushAttr = 0;
    bool m_pending = false;
    bool m_modified = false; // as last told to the listeners
    uint64_t m_revision = 0;
    std::vector<DocumentListener*> m_listeners;
};

} // namespace kesh
