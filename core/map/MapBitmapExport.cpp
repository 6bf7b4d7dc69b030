#include "map/MapBitmapExport.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "base/Messages.h"
#include "io/StreamedFile.h"
#include "map/MapImageRows.h"
#include "tileset/ShownColours.h"

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
    if (Status st = MapImageRows::Check(map, tiles, FitsBitmap); !st)
        return st;
    MapImageRows image(map, tiles);

    StreamedFile file(fs, path);
    if (!file.Open())
        return file.Finish();
    const auto header = MapBitmapHeader(image.width(), image.height(), ShownColours(tiles).data());
    file.Write(header.data(), header.size());

    const auto rowLength = size_t(RowLength(image.width()));
    const auto padding = rowLength - size_t(image.width());
    for (int64_t y = image.height() - 1; y >= 0; --y) { // bottom row first
        uint8_t* out = file.Append(rowLength);
        image.Compose(y, out);
        std::memset(out + image.width(), 0, padding);
    }
    return file.Finish();
}

} // namespace kesh
