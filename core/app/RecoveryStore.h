#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Status.h"
#include "io/FileSystem.h"
#include "map/MapModel.h"
#include "tileset/TileSet.h"

namespace kesh {

// One recovery copy: the map (a .map with its .kmf) and, when the tile set
// has tiles, the tile set (a .til with its .ktf), in the layouts they had,
// with an index naming the file they belong to.
struct RecoveryEntry {
    std::string slot;         // the copy's name inside the folder
    std::string originalPath; // the map's file; empty for an untitled map
    int64_t savedAt = 0;      // when it was written, in seconds since 1970
    int64_t owner = 0;        // the process that wrote it

    bool operator==(const RecoveryEntry&) const = default;
};

// The recovery copies of unsaved maps, kept in one folder of their own
// (never beside the user's files). Each running editor writes one slot; a
// slot's files are written all-or-nothing, so a copy that fails to be
// written leaves the previous copy of that slot as it was.
class RecoveryStore {
public:
    RecoveryStore(FileSystem& fs, std::string folder) : m_fs(fs), m_folder(std::move(folder)) {}

    // "$XDG_STATE_HOME/kesh/recovery", with ~/.local/state when that is unset
    // or not an absolute path.
    static std::string DefaultFolder();

    const std::string& folder() const { return m_folder; }

    // Writes the copy of `map` and `tiles` into `slot` (creating the folder),
    // replacing the slot's earlier copy only when every file was written.
    Status Write(const RecoveryEntry& entry, const MapModel& map, const TileSet& tiles);
    // Every complete copy in the folder, newest first. Damaged indexes are skipped.
    std::vector<RecoveryEntry> List();
    // Reads the copy into `map` and `tiles`, all-or-nothing. The map's names
    // and changed flag are left to the caller.
    Status Load(const RecoveryEntry& entry, MapModel& map, TileSet& tiles);
    // Deletes the slot's files; nothing happens for a slot without a copy.
    void Remove(const std::string& slot);

    // The text of an index and back (exposed for the tests). `layout`: the
    // map's items when the copy had to leave its TileFile items out (the
    // layout embeds an empty tile set); empty otherwise.
    static std::string IndexText(const RecoveryEntry& entry, bool hasTiles,
                                 const std::vector<uint8_t>& layout = {});
    static bool ParseIndex(const std::string& text, RecoveryEntry& entry, bool& hasTiles,
                           std::vector<uint8_t>* layout = nullptr);

private:
    std::string PathOf(const std::string& slot, const char* ext) const;

    FileSystem& m_fs;
    std::string m_folder;
};

} // namespace kesh
