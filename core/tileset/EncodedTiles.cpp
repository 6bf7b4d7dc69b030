#include "tileset/EncodedTiles.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/Messages.h"

namespace kesh {

uint64_t EncodedTilesBytes(PixelEncoding encoding, int32_t width, int32_t height, int64_t count) {
    return count <= 0 ? 0 : uint64_t(count) * EncodedTileBytes(encoding, width, height);
}

Status CheckEncodedTiles(const TileList& tiles, PixelEncoding encoding) {
    const int32_t w = tiles.width(), h = tiles.height();
    if (Status st = CheckTileSize(encoding, w, h); !st)
        return st;
    const size_t pixels = size_t(tiles.tileSize());
    for (uint32_t t = 0; t < tiles.count(); ++t) {
        const uint8_t* p = tiles.PixelsAt(t);
        const int64_t at = FirstPixelTooLarge(encoding, p, pixels);
        if (at < 0)
            continue;
        return Status::Fail(std::to_string(t) + "번 타일 (" + std::to_string(at % w) + ", " +
                            std::to_string(at / w) + ") 픽셀의 값 " + std::to_string(p[at]) +
                            " — 픽셀 형식 " + std::string(PixelEncodingName(encoding)) +
                            "에는 0부터 " + std::to_string(LargestPixel(encoding)) +
                            "까지만 저장할 수 있습니다.");
    }
    return Status::Ok();
}

std::vector<uint8_t> LargestPixelPerTile(const TileList& tiles) {
    std::vector<uint8_t> largest(tiles.count());
    const size_t pixels = size_t(tiles.tileSize());
    for (uint32_t t = 0; t < tiles.count(); ++t) {
        const uint8_t* p = tiles.PixelsAt(t);
        largest[t] = pixels ? *std::max_element(p, p + pixels) : 0;
    }
    return largest;
}

Status WriteEncodedTiles(const TileList& tiles, PixelEncoding encoding, ByteWriter& out) {
    if (Status st = CheckEncodedTiles(tiles, encoding); !st)
        return st;
    const int32_t w = tiles.width(), h = tiles.height();
    std::vector<uint8_t> tile(EncodedTileBytes(encoding, w, h));
    out.reserve(out.size() + tile.size() * tiles.count());
    for (uint32_t t = 0; t < tiles.count(); ++t) {
        EncodeTile(encoding, w, h, tiles.PixelsAt(t), tile.data());
        out.write(tile.data(), tile.size());
    }
    return Status::Ok();
}

Status ReadEncodedTiles(std::span<const uint8_t> bytes, PixelEncoding encoding, int64_t count,
                        TileList& tiles) {
    const int32_t w = tiles.width(), h = tiles.height();
    if (Status st = CheckTileSize(encoding, w, h); !st)
        return st;
    const size_t each = EncodedTileBytes(encoding, w, h);
    // A negative count, cast, is larger than any file.
    if (uint64_t(count) > bytes.size() / each)
        return Status::Fail(msg::kDamagedFile);
    if (count > tiles.capacity() - int64_t(tiles.count()))
        return Status::Fail(msg::kTileSetFull);
    tiles.reserve(tiles.count() + size_t(count));
    for (int64_t t = 0; t < count; ++t) {
        uint8_t* pixels = tiles.AppendUnwritten(0);
        if (!pixels)
            return Status::Fail(msg::kTileSetFull);
        DecodeTile(encoding, w, h, bytes.data() + size_t(t) * each, pixels);
    }
    return Status::Ok();
}

} // namespace kesh
