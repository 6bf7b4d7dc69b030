#include "io/SaveRecovery.h"

#include <algorithm>

#include "base/Messages.h"
#include "io/AbsolutePath.h"
#include "io/CommitRecord.h"
#include "io/SaveLock.h"

namespace kesh {

namespace {

struct FoundRecord {
    std::string path;
    CommitRecord::State state;
    std::optional<std::vector<CommitEntry>> entries; // nullopt: unreadable or damaged
};

std::vector<FoundRecord> RecordsIn(FileSystem& fs, const std::string& folder) {
    std::vector<FoundRecord> found;
    for (const auto& name : fs.listFolder(folder)) {
        const auto state = CommitRecord::StateOfName(name);
        if (!state)
            continue;
        FoundRecord record{InFolder(folder, name), *state, std::nullopt};
        if (const auto bytes = fs.readFile(record.path, CommitRecord::kMaxBytes))
            record.entries = CommitRecord::Decode(*bytes, folder);
        found.push_back(std::move(record));
    }
    return found;
}

bool SyncTargetFolders(FileSystem& fs, const std::vector<CommitEntry>& entries) {
    std::vector<std::string> folders;
    for (const auto& entry : entries) {
        const std::string folder = FolderOf(entry.target);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    }
    bool ok = true;
    for (const auto& folder : folders)
        ok = fs.syncFolder(folder) && ok;
    return ok;
}

// All new files were complete when the record was written: the temporaries
// still there go into place, then the old files' second names go.
bool RollForward(FileSystem& fs, const FoundRecord& record) {
    for (const auto& entry : *record.entries)
        if (fs.exists(entry.temp) && !fs.rename(entry.temp, entry.target))
            return false;
    if (!SyncTargetFolders(fs, *record.entries))
        return false;
    for (const auto& entry : *record.entries)
        if (!entry.backup.empty() && fs.exists(entry.backup))
            fs.remove(entry.backup);
    return fs.remove(record.path);
}

// The save was failing: every old file comes back from its second name (a
// target not yet replaced is the same file, and renaming a file onto itself
// changes nothing), a new file that had no old one goes, and so do the
// temporaries.
bool RollBack(FileSystem& fs, const FoundRecord& record) {
    const auto& entries = *record.entries;
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        if (!entry->backup.empty()) {
            if (fs.exists(entry->backup)) {
                if (!fs.rename(entry->backup, entry->target))
                    return false;
                if (fs.exists(entry->backup))
                    fs.remove(entry->backup);
            }
        } else if (!fs.exists(entry->temp)) {
            fs.remove(entry->target); // put in place, or already taken away
        }
        if (fs.exists(entry->temp))
            fs.remove(entry->temp);
    }
    if (!SyncTargetFolders(fs, entries))
        return false;
    return fs.remove(record.path);
}

bool Names(const std::vector<CommitEntry>& entries, const std::string& absolute) {
    return std::any_of(entries.begin(), entries.end(), [&](const CommitEntry& entry) {
        return AbsolutePath(entry.target) == absolute;
    });
}

} // namespace

Status FinishInterruptedSaves(FileSystem& fs, const std::vector<std::string>& paths) {
    for (const auto& path : paths) {
        const std::string target = fs.resolveLinks(path);
        const std::string absolute = AbsolutePath(target);
        for (const auto& record : RecordsIn(fs, FolderOf(target))) {
            if (!record.entries || !Names(*record.entries, absolute))
                continue;
            // A save still running holds its record: it is left to finish.
            // One that another recovery carried out meanwhile is gone.
            const int lock = fs.lockFile(record.path);
            if (lock < 0)
                continue;
            const bool done = !fs.exists(record.path) ||
                              (record.state == CommitRecord::State::Commit ? RollForward(fs, record)
                                                                           : RollBack(fs, record));
            fs.close(lock);
            if (!done)
                return Status::Fail(std::string(msg::kSaveFailed) + "\n" + path + "\n" +
                                    msg::kUnfinishedSave);
        }
    }
    return Status::Ok();
}

void RemoveDeadSavesLeftovers(FileSystem& fs, const std::vector<std::string>& paths) {
    std::vector<std::string> targets;
    for (const auto& path : paths)
        targets.push_back(fs.resolveLinks(path));
    const SaveLock lock(fs, targets, std::chrono::milliseconds(0));
    if (!lock.held())
        return;
    for (const auto& target : targets)
        RemoveLeftoverTemporaries(fs, target);
}

std::optional<std::vector<std::string>> FilesNeededByRecords(FileSystem& fs,
                                                             const std::string& folder) {
    std::vector<std::string> needed;
    for (const auto& record : RecordsIn(fs, folder)) {
        if (!record.entries)
            return std::nullopt;
        for (const auto& entry : *record.entries) {
            needed.push_back(AbsolutePath(entry.temp));
            if (!entry.backup.empty())
                needed.push_back(AbsolutePath(entry.backup));
        }
    }
    return needed;
}

} // namespace kesh
