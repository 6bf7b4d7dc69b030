#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "io/FileSystem.h"

namespace kesh::test {

// A file system held in memory, for the fuzz targets and tests that read
// through the program's own loaders: regular files, symbolic links and
// entries that are no regular file (a FIFO, a device), read by the same
// rules as the disk (type, then the ceiling). Paths are taken as given, with
// "." and "name/.." parts dropped.
class MemoryFileSystem : public FileSystem {
public:
    std::map<std::string, std::vector<uint8_t>> files;
    std::map<std::string, std::string> links; // name -> what it leads to
    std::vector<std::string> others;          // neither files nor links

    ReadResult<std::vector<uint8_t>> readFile(const std::string& path, uint64_t limit) override {
        const std::string real = resolveLinks(path);
        if (std::find(others.begin(), others.end(), real) != others.end())
            return ReadResult<std::vector<uint8_t>>(ReadError::NotRegularFile, path);
        const auto it = files.find(real);
        if (it == files.end())
            return ReadResult<std::vector<uint8_t>>(ReadError::CannotOpen, path);
        if (it->second.size() > limit)
            return ReadResult<std::vector<uint8_t>>(ReadError::TooLarge, path, limit);
        return it->second;
    }
    bool exists(const std::string& path) override {
        const std::string real = resolveLinks(path);
        return files.count(real) || std::count(others.begin(), others.end(), real);
    }
    bool isReadOnly(const std::string&) override { return false; }
    std::string resolveLinks(const std::string& path) override {
        std::string at = Normal(path);
        for (int hops = 0; hops < 8; ++hops) {
            const auto it = links.find(at);
            if (it == links.end())
                break;
            at = Normal(it->second);
        }
        return at;
    }
    std::vector<std::string> listFolder(const std::string& folder) override {
        std::vector<std::string> names;
        const std::string prefix = folder.empty() ? "" : folder + "/";
        for (const auto& [path, bytes] : files)
            if (path.rfind(prefix, 0) == 0 && path.find('/', prefix.size()) == std::string::npos)
                names.push_back(path.substr(prefix.size()));
        return names;
    }
    bool makeFolders(const std::string&) override { return true; }

    int createExclusive(const std::string& path) override {
        if (exists(path))
            return -1;
        files[path];
        m_open.push_back(path);
        return int(m_open.size() - 1);
    }
    bool writeAll(int handle, const uint8_t* data, size_t size) override {
        auto& bytes = files[m_open.at(size_t(handle))];
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    void copyMode(int, const std::string&) override {}
    bool sync(int) override { return true; }
    bool close(int) override { return true; }
    bool rename(const std::string& from, const std::string& to) override {
        const auto it = files.find(from);
        if (it == files.end())
            return false;
        auto bytes = std::move(it->second);
        files.erase(it);
        files[to] = std::move(bytes);
        return true;
    }
    bool remove(const std::string& path) override { return files.erase(path) > 0; }
    bool link(const std::string& existing, const std::string& newName) override {
        if (!files.count(existing) || files.count(newName))
            return false;
        files[newName] = files[existing];
        return true;
    }
    bool syncFolder(const std::string&) override { return true; }
    int lockFile(const std::string& path) override {
        m_open.push_back(path);
        return int(m_open.size() - 1);
    }

private:
    static std::string Normal(const std::string& path) {
        std::vector<std::string> parts;
        size_t start = 0;
        for (size_t slash = 0; slash != std::string::npos; start = slash + 1) {
            slash = path.find('/', start);
            const std::string part = path.substr(start, slash - start);
            if (part == "." || (part.empty() && !parts.empty()))
                continue;
            if (part == ".." && !parts.empty() && parts.back() != ".." && !parts.back().empty())
                parts.pop_back();
            else
                parts.push_back(part);
        }
        std::string out;
        for (size_t i = 0; i < parts.size(); ++i)
            out += (i ? "/" : "") + parts[i];
        return out.empty() && !path.empty() && path[0] == '/' ? "/" : out;
    }

    std::vector<std::string> m_open; // by handle
};

} // namespace kesh::test
