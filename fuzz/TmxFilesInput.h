#pragma once
// The input of the TMX target that reads through the program's own loader:
// as TmxFuzzInput.h (the .tmx text, then files after "@@file NAME" lines),
// the files placed in a file system in memory under /m/, the .tmx as
// /m/map.tmx. A file whose body is "@@fifo" is no regular file, and one whose
// body is "@@link TARGET" a symbolic link to /m/TARGET.

#include <string>
#include <string_view>

#include "TmxFuzzInput.h"
#include "support/MemoryFileSystem.h"

namespace kesh::fuzz {

inline constexpr std::string_view kTmxFilesFolder = "/m";
inline constexpr std::string_view kTmxFilesMap = "/m/map.tmx";

inline void PlaceTmxFiles(const uint8_t* data, size_t size, test::MemoryFileSystem& fs) {
    test::MemoryLoader split;
    const std::string_view tmx = SplitTmxInput(data, size, split);
    fs.files[std::string(kTmxFilesMap)] = std::vector<uint8_t>(tmx.begin(), tmx.end());
    const std::string folder = std::string(kTmxFilesFolder) + "/";
    static constexpr std::string_view kLink = "@@link ";
    static constexpr std::string_view kFifo = "@@fifo";
    for (auto& [name, bytes] : split.files) {
        const std::string_view body(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (body == kFifo)
            fs.others.push_back(folder + name);
        else if (body.substr(0, kLink.size()) == kLink)
            fs.links[folder + name] = folder + std::string(body.substr(kLink.size()));
        else
            fs.files[folder + name] = std::move(bytes);
    }
}

} // namespace kesh::fuzz
