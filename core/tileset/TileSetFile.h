#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "base/Status.h"
#include "io/FileSystem.h"
#include "layout/Descriptor.h"
#include "tileset/TileSet.h"

namespace kesh {

// A tile data file (.til) read or written on its own, with its .ktf beside it.

// How to read a .til: its descriptor (from the .ktf, or set by hand) and, for
// a layout set by hand, the tile size given with it; a size item in the file
// still overrides that size.
struct TileReadLayout {
    TileDescriptor descriptor;
    int32_t width = -1; // -1: only a size item gives the tiles their size
    int32_t height = -1;
};

// Reads a tile file from its bytes as a fresh tile set: the layout (items,
// AttrWidth) is the descriptor's; the header, tile size, colours and tiles
// come from the file, the current tile is 0. All-or-nothing: `set` changes
// only on success. Fails with the messages of TileSet::ReadTileFile.
Status ReadTileSetFile(std::span<const uint8_t> bytes, const TileReadLayout& layout, TileSet& set);

// Reads the .ktf beside `tilePath`. When it cannot be opened, `missing` is
// set (so the caller can offer to set the layout by hand) and the status
// fails with "파일포맷(.ktf)을 찾을수가 없습니다.".
Status LoadTileDescriptor(FileSystem& fs, const std::string& tilePath, TileDescriptor& out,
                          bool& missing);
// Reads the .til at `path` with a layout already known. A file that cannot
// be opened fails with "파일을 열지 못했습니다." and the path.
Status LoadTileSetFile(FileSystem& fs, const std::string& path, const TileReadLayout& layout,
                       TileSet& set);
// Both: the descriptor first, then the tile file. `descriptorMissing` tells a
// missing .ktf (nothing read) from any other failure.
Status OpenTileSetFiles(FileSystem& fs, const std::string& path, TileSet& set,
                        bool& descriptorMissing);

// What to do with a tile set whose tile blocks can't be written: one without
// tiles, in a layout with size, count, tile or attribute items.
enum class EmptyTileSet {
    Write, // write the file up to its first such block; it can't be read back
    Refuse, // write nothing and fail with "타일이 없어서 타일 파일을 저장할 수 없습니다."
};

// The .til at `path` and its .ktf as two files of a save (SaveFiles), to go
// with others all or nothing; fails, adding nothing, as SaveTileSetFiles does.
// The tile file is made from `set` as it is written: keep the set unchanged
// until the save is done.
Status TileSetFileSources(const std::string& path, const TileSet& set, EmptyTileSet empty,
                          std::vector<FileSource>& files);

// Writes the .til at `path` and its .ktf beside it, both or neither. A path
// whose descriptor would be the path itself (a file named like "set.ktf")
// fails with "파일을 저장하지 못했습니다." and the path, writing nothing.
// `beside` are saved with them, all or nothing (the terrain set's file).
Status SaveTileSetFiles(FileSystem& fs, const std::string& path, const TileSet& set,
                        EmptyTileSet empty, const std::vector<FileSource>& beside = {});

} // namespace kesh
