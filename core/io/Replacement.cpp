#include "io/Replacement.h"

#include "app/Messages.h"

namespace kesh {

void AbandonReplacements(FileSystem& fs, const std::vector<Replacement>& files) {
    for (const auto& file : files)
        fs.remove(file.temp);
}

Status CommitReplacements(FileSystem& fs, const std::vector<Replacement>& files) {
    std::vector<std::string> backups; // old targets kept under a second name ("" when none)
    size_t placed = 0;                // targets already replaced by their new contents

    auto fail = [&](const std::string& path) {
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
        return Status::Fail(std::string(msg::kSaveFailed) + "\n" + path);
    };

    // Keep every old target under a second name until all new files are in place.
    for (const auto& file : files) {
        std::string backup;
        if (fs.exists(file.target)) {
            backup = LinkUnderFreshName(fs, file.target);
            if (backup.empty())
                return fail(file.path);
        }
        backups.push_back(backup);
    }
    for (; placed < files.size(); ++placed) {
        if (!fs.rename(files[placed].temp, files[placed].target))
            return fail(files[placed].path);
    }
    for (const auto& backup : backups)
        if (!backup.empty())
            fs.remove(backup);
    for (const auto& file : files)
        RemoveLeftoverTemporaries(fs, file.target);
    return Status::Ok();
}

} // namespace kesh
