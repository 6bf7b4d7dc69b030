#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/Status.h"
#include "io/FileSystem.h"
#include "terrain/TerrainSet.h"

namespace kesh {

// The terrain set's file (.kterrain), saved beside the tile file (beside the
// map when the map holds its tiles): UTF-8 text, one statement a line, '#'
// starting a comment line, blank lines ignored.
//
//   kesh-terrain 1          the first line: the format and its version
//   kind corner             or "kind blob"
//   terrain 물              1..8 lines; the name is the rest of the line,
//   terrain 풀              the first terrain is 0
//   tile 5 0 1 1 0          a tile's number, then its terrain at each
//                           position: NW NE SE SW for a corner set; N NE E
//                           SE S SW W NW and the middle for a blob set
//
// "kind" comes before the tiles; a tile listed twice with one label is a
// variant of itself and is kept. A file of a later version is refused
// rather than misread.
inline constexpr int kTerrainFileVersion = 1;
inline constexpr const char* kTerrainExt = ".kterrain";
inline constexpr uint64_t kMaxTerrainFileBytes = uint64_t(4) << 20;

// Reads a set from the bytes of its file, checked (TerrainSet::Check).
// All or nothing: `set` changes only on success. Bad input fails with a
// Korean message naming the line.
Status ReadTerrainFile(std::span<const uint8_t> bytes, TerrainSet& set);
// The file's text for `set`.
std::string WriteTerrainFile(const TerrainSet& set);
// Where the set of the tile (or map) file `dataPath` lives: its name with
// the extension replaced by .kterrain.
std::string TerrainPathFor(const std::string& dataPath);
// Reads the file at `path`; `missing` tells a file that is not there.
Status LoadTerrainFile(FileSystem& fs, const std::string& path, TerrainSet& set, bool& missing);
// The file as one of a save's files (SaveFiles, SaveMapFiles' `beside`).
FileSource TerrainFileSource(const std::string& path, const TerrainSet& set);

} // namespace kesh
