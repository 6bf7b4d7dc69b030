#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/Status.h"
#include "io/FileSystem.h"

namespace kesh {

// Before a file is read or written: every save that was cut short while it
// put its files in place, and whose commit record lies beside any of `paths`
// (the folder they lead to) and names it, is carried to its end. A save that
// had all its new files written is finished (the remaining temporaries
// renamed into place); one that was failing is undone (the old files put
// back). Either way its files are all old or all new afterwards, and its
// record and leftovers are gone. A record that cannot be read is left alone,
// with every file it might name. Fails with "파일을 저장하지 못했습니다.",
// the path and why when a record naming one of the paths could not be
// carried out (it stays for the next attempt).
Status FinishInterruptedSaves(FileSystem& fs, const std::vector<std::string>& paths);

// Removes the temporaries that dead saves of `paths` left beside them (links
// resolved), by the rules a save's own clean-up follows: nothing while
// another save of them runs (it holds their SaveLock), nothing a commit
// record still needs. Called when files are opened, so that what a killed
// save left does not wait for the next save.
void RemoveDeadSavesLeftovers(FileSystem& fs, const std::vector<std::string>& paths);

// The files (as absolute paths) that commit records in `folder` still need;
// nullopt when a record there cannot be read, as it may need any of them.
std::optional<std::vector<std::string>> FilesNeededByRecords(FileSystem& fs,
                                                             const std::string& folder);

} // namespace kesh
