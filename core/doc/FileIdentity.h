#pragma once

#include <string>

namespace kesh {

// The name of a map that has no file yet, as File New gives it.
inline constexpr const char* kUntitledMapName = "Untitled.map";

// Which file the map is: its absolute path once it was read from or saved
// to a file, a bare name while it is untitled (or about to be saved under a
// new name); and the name the path ends in.
struct FileIdentity {
    std::string name = kUntitledMapName;
    std::string path = kUntitledMapName;

    // The identity of the file at `path` (already absolute).
    static FileIdentity Of(const std::string& path);
    // True once the map has a file of its own: a later save needs no name.
    bool hasFile() const { return !path.empty() && path.front() == '/'; }
    bool operator==(const FileIdentity&) const = default;
};

// The name a path ends in: "/maps/town.map" -> "town.map".
std::string FileNameOf(const std::string& path);

} // namespace kesh
