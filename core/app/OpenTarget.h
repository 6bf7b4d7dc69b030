#pragma once

#include <string>
#include <string_view>

namespace kesh {

// What a file handed to the editor (on its command line, from a file
// manager) is opened as, by its extension in any case:
//   .til  the tile set, read through its .ktf
//   .ktf  the tile set, from the .til it describes
//   .kmf  the map, from the .map it describes
//   anything else  the map, read through its .kmf
struct OpenTarget {
    enum Kind { Map, TileSet };

    Kind kind = Map;
    std::string path; // the data file to read

    bool operator==(const OpenTarget&) const = default;
};

OpenTarget OpenTargetOf(std::string_view path);

} // namespace kesh
