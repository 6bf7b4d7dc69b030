#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "io/FileSystem.h"

namespace kesh {

// One file of a save that replaces several files at once.
struct CommitEntry {
    std::string temp;   // the complete new contents, "<target>.kesh-XXXXXXXX.tmp"
    std::string backup; // a second name of the old target, the same form; "" when there was none
    std::string target; // the file replaced

    bool operator==(const CommitEntry&) const = default;
};

// The note a save leaves beside its files while it renames them into place,
// so that a save cut short (a crash, a kill, a power cut) can be finished or
// undone by the next open or save of any of its files. It lies in the folder
// of the first target as "<first target>.kesh-XXXXXXXX.commit" while the
// renames are under way, and is renamed to "....abort" when the save failed
// and is putting the old files back.
//
// Its contents (version 1) are text, one field a line, each path with its
// length in bytes so that any name can be stored:
//     kesh commit record 1
//     files <N>                    (1 to kMaxFiles)
//     temp <length>:<path>         (these three lines N times;
//     backup <length>:<path>        an empty backup is "backup 0:")
//     target <length>:<path>
//     end
// A path in the record's own folder is stored as its bare name; any other as
// an absolute path. The record is written under a temporary name, flushed,
// and only then given its name, so a record with that name is always whole.
// The saving process holds a lock on it (FileSystem::lockFile) from before it
// has its name until it is removed: a record nobody holds is a dead save's.
class CommitRecord {
public:
    enum class State { Commit, Abort };

    static constexpr size_t kMaxFiles = 64;
    static constexpr size_t kMaxPath = 4096;
    // The largest record: every field of kMaxFiles files at their longest.
    static constexpr uint64_t kMaxBytes = 64 + kMaxFiles * 3 * (kMaxPath + 24);

    // Writes the record of `entries` beside the first target and makes it and
    // its name durable. nullopt when any step failed (nothing is left then).
    static std::optional<CommitRecord> Place(FileSystem& fs,
                                             const std::vector<CommitEntry>& entries);

    // Marks the save as failed: from now on the record undoes it.
    bool MarkAborted(FileSystem& fs);
    // Removes the record and lets go of its lock.
    bool Remove(FileSystem& fs);
    const std::string& path() const { return m_path; }

    // The record's bytes for `entries`, paths given relative to `folder`.
    static std::vector<uint8_t> Encode(const std::string& folder,
                                       const std::vector<CommitEntry>& entries);
    // The entries of a record found in `folder`; nullopt for anything that
    // is not a whole, well-formed record whose temporaries and backups are
    // named after their targets, so a damaged record can never make a
    // recovery rename or remove any other file.
    static std::optional<std::vector<CommitEntry>> Decode(std::span<const uint8_t> bytes,
                                                          const std::string& folder);
    // For a folder entry's name: whether it is a record, and of which state.
    static std::optional<State> StateOfName(const std::string& name);

private:
    CommitRecord(std::string path, State state, int lock)
        : m_path(std::move(path)), m_state(state), m_lock(lock) {}

    std::string m_path;
    State m_state;
    int m_lock; // held while the save runs, so no other process takes the record for a dead one's
};

// The folder a path lies in ("" for a bare name, "/" for one at the root),
// and a name joined to it.
std::string FolderOf(const std::string& path);
std::string InFolder(const std::string& folder, const std::string& name);

} // namespace kesh
