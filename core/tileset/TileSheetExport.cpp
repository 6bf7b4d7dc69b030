#include "tileset/TileSheetExport.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "raster/PngWriter.h"
#include "tileset/ShownColours.h"

namespace kesh {

namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kPixelOffset = kFileHeaderBytes + kInfoHeaderBytes + 1024; // 1078

void Put32(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

} // namespace

std::vector<uint8_t> BuildTileSheet(const TileSet& set) {
    const TileList& tiles = set.tiles();
    const uint64_t w = uint64_t(std::max(set.tileWidth(), 0));
    const uint64_t h = uint64_t(std::max(set.tileHeight(), 0));
    const uint64_t n = tiles.count();
    const uint64_t sheetRows = (n + kSheetColumns - 1) / kSheetColumns;
    const uint64_t width = kSheetColumns * w;
    const uint64_t height = sheetRows * h;
    const uint64_t stride = (width + 3) / 4 * 4;
    const uint64_t imageBytes = stride * height;

    // Header and colour table: the set's own bitmap description with the
    // sheet's width, height (positive: bottom row first) and image size.
    std::vector<uint8_t> bytes(size_t(kPixelOffset + imageBytes), 0);
    uint8_t* p = bytes.data();
    p[0] = 'B';
    p[1] = 'M';
    Put32(p + 2, kPixelOffset + imageBytes);
    Put32(p + 10, kPixelOffset);
    uint8_t* info = p + kFileHeaderBytes;
    std::memcpy(info, set.bitmapInfo().data(), set.bitmapInfo().size());
    const ColourTable shown = ShownColours(set);
    std::memcpy(info + kInfoHeaderBytes, shown.data(), shown.size());
    Put32(info + 4, width);
    Put32(info + 8, height);
    Put32(info + 20, imageBytes);

    // Stored rows run from the bottom of the sheet up; each sheet row's tiles
    // are looked up once. Missing tiles and row padding stay 0.
    uint8_t* row = p + kPixelOffset;
    std::array<const uint8_t*, kSheetColumns> rowTiles{};
    for (uint64_t r = sheetRows; r-- > 0;) {
        for (int c = 0; c < kSheetColumns; ++c)
            rowTiles[size_t(c)] = tiles.PixelsAt(int64_t(r * kSheetColumns + uint64_t(c)));
        for (uint64_t y = h; y-- > 0;) {
            for (int c = 0; c < kSheetColumns; ++c) {
                if (rowTiles[size_t(c)])
                    std::memcpy(row + uint64_t(c) * w, rowTiles[size_t(c)] + y * w, size_t(w));
            }
            row += stride;
        }
    }
    return bytes;
}

Status SaveTileSheet(FileSystem& fs, const std::string& path, const TileSet& set) {
    return SaveFiles(fs, {{path, BuildTileSheet(set)}});
}

Status SaveTileSheetPng(FileSystem& fs, const std::string& path, const TileSet& set) {
    const TileList& tiles = set.tiles();
    const int64_t w = std::max(set.tileWidth(), 0);
    const int64_t h = std::max(set.tileHeight(), 0);
    const int64_t sheetRows = (int64_t(tiles.count()) + kSheetColumns - 1) / kSheetColumns;
    const int64_t width = kSheetColumns * w;
    const int64_t height = std::max<int64_t>(sheetRows * h, 1);
    std::array<const uint8_t*, kSheetColumns> rowTiles{};
    int64_t lookedUp = -1;
    return WriteIndexedPng(
        fs, path, width, height, ShownColours(set).data(), [&](int64_t y, uint8_t* out) {
            std::memset(out, 0, size_t(width));
            if (h == 0 || y >= sheetRows * h)
                return;
            const int64_t r = y / h;
            if (r != lookedUp) { // each sheet row's tiles looked up once
                for (int c = 0; c < kSheetColumns; ++c)
                    rowTiles[size_t(c)] = tiles.PixelsAt(r * kSheetColumns + c);
                lookedUp = r;
            }
            const size_t offset = size_t((y % h) * w);
            for (int c = 0; c < kSheetColumns; ++c)
                if (rowTiles[size_t(c)])
                    std::memcpy(out + c * w, rowTiles[size_t(c)] + offset, size_t(w));
        });
}

} // namespace kesh
