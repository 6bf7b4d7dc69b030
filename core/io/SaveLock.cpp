#include "io/SaveLock.h"

#include <algorithm>
#include <thread>

#include "io/CommitRecord.h"

namespace kesh {

SaveLock::SaveLock(FileSystem& fs, const std::vector<std::string>& targets,
                   std::chrono::milliseconds wait)
    : m_fs(fs) {
    std::vector<std::string> folders;
    for (const auto& target : targets) {
        const std::string folder = FolderOf(target);
        folders.push_back(folder.empty() ? "." : folder);
    }
    // Always in the same order, so two saves of several folders never each
    // hold what the other waits for.
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (const auto& folder : folders) {
        int handle = fs.lockFile(folder);
        // A folder that cannot be opened at all is no one's lock to wait for.
        while (handle < 0 && fs.exists(folder) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            handle = fs.lockFile(folder);
        }
        if (handle >= 0)
            m_handles.push_back(handle);
        else
            m_held = false;
    }
}

SaveLock::~SaveLock() {
    for (const int handle : m_handles)
        m_fs.close(handle);
}

} // namespace kesh
