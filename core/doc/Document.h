#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "doc/Command.h"
#include "doc/DocumentListener.h"
#include "doc/UndoStack.h"
#include "map/CellRecorder.h"
#include "map/MapModel.h"
#include "map/MapViewState.h"
#include "tileset/TileSet.h"

namespace kesh {

class StrokeCommand;
class RegionCommand;

// What the user edits: the map (cells, layout, file name and path), the tile
// set (tiles, colours, layout, current tile) and the history of changes;
// beside them the map's view state (current cell, selection, copy source),
// which no step records: a step that replaces the grid leaves it fitted to
// the new one.
// Every change goes through here, as a step that can be undone, and the
// listeners hear what changed. Knows nothing of windows.
//
// The changed flag (the map's m_bModified, kept current here) is set while
// the history stands elsewhere than where the map was last saved, or while
// a change without history is pending (MarkChanged).
class Document : private CellRecorder {
public:
    Document();
    ~Document() override;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    MapModel& map() { return m_map; }
    const MapModel& map() const { return m_map; }
    MapViewState& view() { return m_view; }
    const MapViewState& view() const { return m_view; }
    TileSet& tiles() { return m_tiles; }
    const TileSet& tiles() const { return m_tiles; }

    // Where a map editor reports the cells it paints, pastes and fills.
    CellRecorder& recorder() { return *this; }

    void AddListener(DocumentListener* listener);
    void RemoveListener(DocumentListener* listener);

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

    // Applies `step` and puts it on the history.
    void Execute(std::unique_ptr<Command> step);
    // Puts a step on the history whose change has been applied already.
    void Push(std::unique_ptr<Command> step);

    // Deletes tile `number`, renumbering the map's cells, as one step. False
    // (nothing changed) when there is no such tile.
    bool DeleteTile(int32_t number);
    // Runs `change`, which may add tiles at the end of the set and change its
    // colours, layout, header and current tile (and the tile size of an empty
    // set), and makes what it did one step named `name`. Nothing changed, no
    // step. A change that removed or altered tiles cannot be taken back: the
    // history then starts afresh and the map counts as changed.
    void ChangeTiles(const char* name, bool marksMap, const std::function<void()>& change);
    // Gives tile `number` the attribute word `attribute` as one step. False
    // (nothing changed, no step) when there is no such tile or it has that word.
    bool SetTileAttribute(int32_t number, uint32_t attribute);
    // Gives the map a new item list and header as one step.
    void SetMapLayout(std::vector<uint8_t> items, std::string header);

    // Imports a map, as one step named `name`: `import` changes the tile set,
    // keeping its first `keep` tiles (an image import keeps them all, 0 lets
    // it replace the whole set), and gives the new map's layout (with its
    // size) and cells. The new map has no file yet ("Untitled.map"), so a
    // later save asks for a name; undo gives back the old map, its names and
    // the old tiles. A failed import must leave the tile set as it was: its
    // status comes back, with nothing changed and no step. So does a map
    // size the map cannot hold.
    using MapImport =
        std::function<Status(TileSet& tiles, MapFormat& format, std::vector<uint16_t>& cells)>;
    Status ImportMap(const char* name, int32_t keep, const MapImport& import);

    // Tells every listener; the changed flag is brought up to date first.
    void Notify(uint32_t changes);

private:
    // CellRecorder: the map editor's changes.
    void CellPainted(int32_t index, uint16_t before, uint16_t after) override;
    void StrokeEnded() override;
    void RegionChanging(const Rect& cells) override;
    void RegionChanged(RegionEdit edit) override;

    // Forgets every step after a change that cannot be taken back; the map
    // stays changed if it was, and becomes changed when `marksMap`.
    void dropHistory(bool marksMap);
    // Runs a step's Redo or Undo and fits the view state to a grid it replaced.
    void apply(Command& step, bool redo);
    // Puts an unfinished stroke on the history.
    void closeStroke();
    // Sets the map's m_bModified from the state; true when it flipped.
    bool syncModified();

    MapModel m_map;
    MapViewState m_view;
    TileSet m_tiles;
    UndoStack m_history;
    std::unique_ptr<StrokeCommand> m_stroke;
    std::unique_ptr<RegionCommand> m_region;
    bool m_regionLost = false; // no memory to record the paste or fill under way
    bool m_pending = false;
    bool m_modified = false; // as last told to the listeners
    uint64_t m_revision = 0;
    std::vector<DocumentListener*> m_listeners;
};

} // namespace kesh
