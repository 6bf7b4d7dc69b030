#include "io/Replacement.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include "base/Messages.h"
#include "io/CommitRecord.h"

namespace kesh {

void AbandonReplacements(FileSystem& fs, const std::vector<Replacement>& files) {
    for (const auto& file : files)
        fs.remove(file.temp);
}

Status CommitReplacements(FileSystem& fs, const std::vector<Replacement>& files, bool locked) {
    std::vector<std::string> backups; // old targets kept under a second name ("" when none)
    size_t placed = 0;                // targets already replaced by their new contents
    std::optional<CommitRecord> record;

    auto syncFolders = [&] {
        std::vector<std::string> folders;
        for (const auto& file : files)
            if (std::find(folders.begin(), folders.end(), FolderOf(file.target)) == folders.end())
                folders.push_back(FolderOf(file.target));
        return std::all_of(folders.begin(), folders.end(),
                           [&](const std::string& folder) { return fs.syncFolder(folder); });
    };

    auto fail = [&](const std::string& path) {
        const int error = errno; // why the step that failed did, before the undoing
        // From here on a recovery undoes this save rather than finishing it.
        if (record)
            record->MarkAborted(fs);
        // Put back the old files that were already replaced, newest first.
        for (size_t i = placed; i-- > 0;) {
            if (!backups[i].empty())
                fs.rename(backups[i], files[i].target);
            else
                fs.remove(files[i].target);
        }
        for (size_t i = placed; i < backups.size(); ++i)
            if (!backups[i].empty())
                fs.remove(backups[i]);
        for (size_t i = placed; i < files.size(); ++i)
            fs.remove(files[i].temp);
        if (record) {
            syncFolders();
            record->Remove(fs);
        }
        return Status::Fail(SaveFailure(path, error, locked));
    };

    // Keep every old target under a second name until all new files are in place.
    for (const auto& file : files) {
        std::string backup;
        if (fs.exists(file.target)) {
            errno = 0;
            backup = LinkUnderFreshName(fs, file.target);
            if (backup.empty())
                return fail(file.path);
        }
        backups.push_back(backup);
    }
    // The record of what goes where, so that a save cut short during the
    // renames is finished or undone by the next open or save.
    if (!files.empty()) {
        std::vector<CommitEntry> entries;
        for (size_t i = 0; i < files.size(); ++i)
            entries.push_back({files[i].temp, backups[i], files[i].target});
        errno = 0;
        record = CommitRecord::Place(fs, entries);
        if (!record)
            return fail(files.front().path);
    }
    for (; placed < files.size(); ++placed) {
        errno = 0;
        if (!fs.rename(files[placed].temp, files[placed].target))
            return fail(files[placed].path);
    }
    // The new names must be on the disk before the old files' second names go.
    errno = 0;
    if (!files.empty() && !syncFolders())
        return fail(files.front().path);
    for (const auto& backup : backups)
        if (!backup.empty())
            fs.remove(backup);
    if (record)
        record->Remove(fs);
    // Without the lock another save may be under way: its temporaries stay.
    if (locked)
        for (const auto& file : files)
            RemoveLeftoverTemporaries(fs, file.target);
    return Status::Ok();
}

} // namespace kesh
