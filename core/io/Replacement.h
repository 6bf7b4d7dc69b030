#pragma once

#include <string>
#include <vector>

#include "base/Status.h"
#include "io/FileSystem.h"

namespace kesh {

// One file of a save whose new contents are complete and flushed in a
// temporary file beside the file they are to replace.
struct Replacement {
    std::string path;   // as the user named it, for messages
    std::string target; // the file replaced: where a symbolic link at `path` leads
    std::string temp;   // the complete new contents
};

// Puts every temporary in place of its target, all or nothing: the old
// targets are kept under a second name until every new file is in place, and
// are put back when any step fails. A commit record beside the first target
// (see CommitRecord) names every file while the renames are under way, so a
// save cut short there is finished or undone by the next open or save; the
// folders are flushed before the old files' second names go. On failure no temporary is left and
// the status carries "파일을 저장하지 못했습니다.", the path and why (SaveFailure). On success,
// when the save holds its lock (`locked`), the temporaries that earlier
// unfinished saves of the targets left are cleared.
Status CommitReplacements(FileSystem& fs, const std::vector<Replacement>& files, bool locked);

// Removes the temporaries of a save that ends before its commit.
void AbandonReplacements(FileSystem& fs, const std::vector<Replacement>& files);

} // namespace kesh
