#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "io/FileSystem.h"

namespace kesh {

// Keeps apart saves of the same files by different processes (or by two
// saves of one). While a save runs it holds an exclusive lock on each folder
// its files go to (FileSystem::lockFile on the folder itself, so nothing is
// left beside the files, and a lock dies with its process). A save waits up
// to `wait` for a lock held elsewhere, then goes ahead without it; it then
// leaves the temporaries it finds alone, as they may be the other save's.
class SaveLock {
public:
    static constexpr std::chrono::milliseconds kWait{5000};

    // `targets` are the files the save replaces, links resolved.
    SaveLock(FileSystem& fs, const std::vector<std::string>& targets,
             std::chrono::milliseconds wait = kWait);
    ~SaveLock();
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;

    // True when every folder is locked: no other save of these files runs.
    bool held() const { return m_held; }

private:
    FileSystem& m_fs;
    std::vector<int> m_handles;
    bool m_held = true;
};

} // namespace kesh
