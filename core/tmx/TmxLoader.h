#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "io/FileSystem.h"

namespace kesh {

// Where a TMX import gets the files its map names: external tile sets (.tsx)
// and tile set images. Paths are as the map names them, relative to the
// .tmx's folder (those named in a .tsx joined to the .tsx's folder first).
class TmxLoader {
public:
    virtual ~TmxLoader() = default;
    // The file's bytes, of at most `limit` bytes; or why there are none.
    virtual ReadResult<std::vector<uint8_t>> Load(const std::string& path, uint64_t limit) = 0;
    // What names the file itself, however the map spells its path: names
    // that lead to one file give the same identity, so it is decoded once.
    virtual std::string Identity(const std::string& path) { return path; }
};

// Reads the files through `fs`, relative paths from `folder` ("" for the
// working folder).
class FolderLoader : public TmxLoader {
public:
    FolderLoader(FileSystem& fs, std::string folder) : m_fs(fs), m_folder(std::move(folder)) {}
    ReadResult<std::vector<uint8_t>> Load(const std::string& path, uint64_t limit) override;
    // The absolute path with symbolic links resolved.
    std::string Identity(const std::string& path) override;

private:
    FileSystem& m_fs;
    std::string m_folder;
};

// The folder part of `path` ("" when it has none), and `relative` joined to
// `folder` (kept as it is when absolute).
std::string FolderOfPath(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& relative);

} // namespace kesh
