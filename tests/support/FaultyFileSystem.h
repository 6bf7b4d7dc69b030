#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>

#include "io/FileSystem.h"

namespace kesh::test {

// The real disk, with one step made to fail on demand: the create of a
// temporary file, a write after a number of bytes, the flush, the close, a
// rename, a link or the flush of a folder. Running as root, permissions cannot make a save fail, so
// this is how the tests see what a failed save leaves behind.
class FaultyFileSystem : public FileSystem {
public:
    enum class Fault { None, Create, Write, Sync, Close, Rename, Link, SyncFolder };

    Fault fault = Fault::None;
    // With Fault::Write: total bytes accepted (across all files) before writes fail.
    int64_t writeBudget = 0;
    // With Fault::Create/Rename/Link/SyncFolder: how many of those calls succeed before the one
    // that fails.
    int succeedFirst = 0;

    ReadResult<std::vector<uint8_t>> readFile(const std::string& path, uint64_t limit) override {
        return real().readFile(path, limit);
    }
    bool exists(const std::string& path) override { return real().exists(path); }
    bool isReadOnly(const std::string& path) override { return real().isReadOnly(path); }
    std::string resolveLinks(const std::string& path) override { return real().resolveLinks(path); }
    std::vector<std::string> listFolder(const std::string& folder) override {
        return real().listFolder(folder);
    }
    bool makeFolders(const std::string& path) override { return real().makeFolders(path); }
    void copyMode(int handle, const std::string& like) override { real().copyMode(handle, like); }
    int createExclusive(const std::string& path) override {
        if (fault == Fault::Create && m_calls++ == succeedFirst)
            return untold(-1);
        return real().createExclusive(path);
    }
    bool writeAll(int handle, const uint8_t* data, size_t size) override {
        if (fault == Fault::Write) {
            int64_t take = std::min<int64_t>(writeBudget, static_cast<int64_t>(size));
            writeBudget -= take;
            real().writeAll(handle, data, static_cast<size_t>(take));
            if (take < static_cast<int64_t>(size))
                return untold(false); // a full disk
            return true;
        }
        return real().writeAll(handle, data, size);
    }
    bool sync(int handle) override {
        bool ok = real().sync(handle);
        return fault == Fault::Sync ? untold(false) : ok;
    }
    bool close(int handle) override {
        bool ok = real().close(handle);
        return fault == Fault::Close ? untold(false) : ok;
    }
    bool rename(const std::string& from, const std::string& to) override {
        if (fault == Fault::Rename && m_calls++ == succeedFirst)
            return untold(false);
        return real().rename(from, to);
    }
    bool remove(const std::string& path) override { return real().remove(path); }
    bool link(const std::string& existing, const std::string& newName) override {
        if (fault == Fault::Link && m_calls++ == succeedFirst)
            return untold(false);
        return real().link(existing, newName);
    }
    int lockFile(const std::string& path) override { return real().lockFile(path); }
    bool syncFolder(const std::string& folder) override {
        if (fault == Fault::SyncFolder && m_calls++ == succeedFirst)
            return untold(false);
        return real().syncFolder(folder);
    }

private:
    static FileSystem& real() { return FileSystem::Native(); }
    // A made-up failure has no reason of the system's: a failed save then
    // says only what failed.
    template <typename T> static T untold(T result) {
        errno = 0;
        return result;
    }
    int m_calls = 0;
};

} // namespace kesh::test
