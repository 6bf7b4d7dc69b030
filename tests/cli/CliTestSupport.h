#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "Cli.h"
#include "io/FileSystem.h"
#include "layout/Descriptor.h"
#include "map/MapFile.h"
#include "support/TempDir.h"
#include "text/Cp949.h"

// Running kesh-cli in-process and the small files its tests work on.
namespace kesh::test {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

inline CliRun Cli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = cli::RunCli(args, out, err);
    return {status, out.str(), err.str()};
}

inline bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Tiles of 8 x 8; tile i is filled with values[i], attribute 10 * values[i].
inline TileSet Tiles(std::vector<uint8_t> values, int32_t size = 8) {
    TileSet set;
    set.format().width = size;
    set.format().height = size;
    set.InitTileSet();
    for (uint8_t v : values) {
        const std::vector<uint8_t> pixels(size_t(size * size), v);
        set.tiles().Append(pixels.data(), 10u * v);
    }
    return set;
}

inline void SaveTiles(const std::string& path, const TileSet& set) {
    ByteWriter out;
    ASSERT_TRUE(set.WriteTileFile(out));
    WriteBytes(path, out.bytes());
    WriteBytes(DescriptorPath(path, ".ktf"), BuildKtf(set.format()));
}

// A 3 x 2 map with the header "지도", cells 0 1 2 / 3 4 empty, two tiles embedded.
inline void SaveMap(const std::string& path) {
    MapModel map;
    ASSERT_TRUE(map.AllocateCells(3, 2));
    map.format().header = *Utf8ToCp949("지도");
    map.format().items = {MapItem::SizeWord, MapItem::CellsWord, MapItem::TileFile};
    map.cells() = {0, 1, 2, 3, 4, kEmptyCell};
    ASSERT_TRUE(SaveMapFiles(FileSystem::Native(), path, map, Tiles({5, 6})));
}

} // namespace kesh::test
