#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kesh {

// Item codes of a map file layout.
namespace MapItem {
enum : uint8_t {
    SizeByte = 0,
    SizeWord = 1,
    SizeDword = 2,
    TileFile = 3,
    CellsByte = 4,
    CellsWord = 5,
};
} // namespace MapItem
inline constexpr int kMapItemCount = 6;

// The byte layout of a map file (.map), also the live map size.
struct MapFormat {
    std::string header;         // code page 949 bytes, written raw at offset 0
    int32_t width = 64;         // cells
    int32_t height = 64;        // cells
    std::vector<uint8_t> items; // MapItem codes in file order

    // 64 x 64, SizeByte, CellsByte, TileFile: start-up, File New, missing .kmf.
    static MapFormat Default();

    bool operator==(const MapFormat&) const = default;
};

const char* MapItemText(int code);
const char* MapItemName(int code);
// Bytes a map item other than TileFile writes for a width x height map; 0
// for TileFile (its block is a whole tile file) and codes outside the table.
uint64_t MapItemBytes(int code, int64_t width, int64_t height);

} // namespace kesh
