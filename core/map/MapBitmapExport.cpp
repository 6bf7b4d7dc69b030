#include "map/MapBitmapExport.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "app/Messages.h"
#include "map/StreamedFile.h"

namespace kesh {

namespace {

constexpr int64_t kLimit = std::numeric_limits<int32_t>::max();
constexpr int64_t kPixelOffset = 14 + 40 + 1024;

int64_t RowLength(int64_t width) {
    return (width + 3) / 4 * 4;
}

void Put(uint8_t* p, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        p[i] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace

bool FitsBitmap(int64_t width, int64_t height) {
    return width >= 0 && height >= 0 && width <= kLimit && height <= kLimit &&
           RowLength(width) * height <= kLimit - kPixelOffset;
}

std::array<uint8_t, 1078> MapBitmapHeader(int64_t width, int64_t height,
                                          const uint8_t* colourTable) {
    const auto imageSize = static_cast<uint32_t>(RowLength(width) * height);
    std::array<uint8_t, 1078> h{};
    h[0] = 'B';
    h[1] = 'M';
    Put(&h[2], uint32_t(kPixelOffset) + imageSize, 4);
    Put(&h[10], uint32_t(kPixelOffset), 4);
    Put(&h[14], 40, 4);
    Put(&h[18], uint32_t(width), 4);
    Put(&h[22], uint32_t(height), 4); // positive: bottom row first
    Put(&h[26], 1, 2);
    Put(&h[28], 8, 2);
    Put(&h[34], imageSize, 4);
    std::memcpy(&h[54], colourTable, 1024);
    return h;
}

Status ExportMapBitmap(FileSystem& fs, const std::string& path, const MapModel& map,
                       const TileSet& tiles) {
    const int64_t cols = map.width();
    const int64_t rows = map.height();
    if (!map.hasCells() || cols < 1 || rows < 1 || map.cells().size() != size_t(cols * rows))
        return Status::Fail(msg::kBadMapSize);
    const int64_t w = std::max(tiles.tileWidth(), 0);
    const int64_t h = std::max(tiles.tileHeight(), 0);
    if (!FitsBitmap(cols * w, rows * h))
        return Status::Fail(msg::kMapTooLargeForBitmap);

    StreamedFile file(fs, path);
    if (!file.Open())
        return file.Finish();
    const auto header = MapBitmapHeader(cols * w, rows * h, tiles.colourTable());
    file.Write(header.data(), header.size());

    // Pixels come from a tile only when the list holds tiles of this very size.
    const TileList& list = tiles.tiles();
    const bool sizesAgree = list.width() == w && list.height() == h;
    const auto rowLength = size_t(RowLength(cols * w));
    const auto tileRow = size_t(w);
    std::vector<const uint8_t*> rowTiles(size_t(cols), nullptr);
    for (int64_t r = rows - 1; r >= 0; --r) {
        const uint16_t* cells = map.cells().data() + r * cols;
        for (int64_t c = 0; c < cols; ++c)
            rowTiles[size_t(c)] = sizesAgree ? list.PixelsAt(cells[c]) : nullptr;
        for (int64_t y = h - 1; y >= 0; --y) {
            uint8_t* out = file.Append(rowLength);
            for (const uint8_t* pixels : rowTiles) {
                if (pixels)
                    std::memcpy(out, pixels + size_t(y) * tileRow, tileRow);
                else
                    std::memset(out, 0, tileRow);
                out += tileRow;
            }
            std::memset(out, 0, rowLength - size_t(cols) * tileRow);
        }
    }
    return file.Finish();
}

} // namespace kesh
