#pragma once

#include <unistd.h>

#include "support/FaultyFileSystem.h"

namespace kesh::test {

// The real disk, but the process ends, with no clean-up of any kind, when
// the save reaches its `stopAt`-th step that changes the disk.
class DyingFileSystem final : public FaultyFileSystem {
public:
    explicit DyingFileSystem(int stopAt) : m_stopAt(stopAt) {}

    int createExclusive(const std::string& path) override {
        step();
        return FaultyFileSystem::createExclusive(path);
    }
    bool writeAll(int handle, const uint8_t* data, size_t size) override {
        // Die half-way through the bytes, as a kill during write() would.
        step([&] { FaultyFileSystem::writeAll(handle, data, size / 2); });
        return FaultyFileSystem::writeAll(handle, data, size);
    }
    bool sync(int handle) override { return step(), FaultyFileSystem::sync(handle); }
    bool close(int handle) override { return step(), FaultyFileSystem::close(handle); }
    bool rename(const std::string& from, const std::string& to) override {
        return step(), FaultyFileSystem::rename(from, to);
    }
    bool remove(const std::string& path) override { return step(), FaultyFileSystem::remove(path); }
    bool link(const std::string& existing, const std::string& newName) override {
        return step(), FaultyFileSystem::link(existing, newName);
    }
    bool syncFolder(const std::string& folder) override {
        return step(), FaultyFileSystem::syncFolder(folder);
    }

private:
    template <typename Before = void (*)()> void step(Before before = [] {}) {
        if (m_steps++ == m_stopAt) {
            before();
            ::_exit(0);
        }
    }
    int m_stopAt;
    int m_steps = 0;
};

} // namespace kesh::test
