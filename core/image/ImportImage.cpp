#include "image/ImportImage.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <unordered_map>

#include "base/Messages.h"
#include "map/MapModel.h"

namespace kesh {

namespace {

uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

// Turns true-colour pixels into indices of `table` (blue, green, red, 0).
Status IndicesOf(const Image& image, const uint8_t* table, bool nearest,
                 std::vector<uint8_t>& indices, int64_t& changed) {
    std::unordered_map<uint32_t, int> exact; // colour -> lowest index
    for (int i = 255; i >= 0; --i)
        exact[Rgb(table[4 * i + 2], table[4 * i + 1], table[4 * i])] = i;
    std::unordered_map<uint32_t, int> near; // colours not in the table
    indices.resize(size_t(image.m_pixelCount));
    const uint8_t* p = image.m_rgb.data();
    for (size_t i = 0; i < indices.size(); ++i, p += 3) {
        const uint32_t colour = Rgb(p[0], p[1], p[2]);
        if (const auto it = exact.find(colour); it != exact.end()) {
            indices[i] = uint8_t(it->second);
            continue;
        }
        if (!nearest) {
            char where[64];
            std::snprintf(where, sizeof where, " (%d, %d): #%06X", int(i % size_t(image.m_width)),
                          int(i / size_t(image.m_width)), unsigned(colour));
            return Status::Fail(std::string(msg::kColourNotInPalette) + where);
        }
        auto it = near.find(colour);
        if (it == near.end()) {
            int best = 0;
            int64_t bestDistance = INT64_MAX;
            for (int e = 0; e < 256; ++e) {
                const int64_t dr = int64_t(p[0]) - table[4 * e + 2];
                const int64_t dg = int64_t(p[1]) - table[4 * e + 1];
                const int64_t db = int64_t(p[2]) - table[4 * e];
                const int64_t d = dr * dr + dg * dg + db * db;
                if (d < bestDistance) {
                    best = e;
                    bestDistance = d;
                }
            }
            it = near.emplace(colour, best).first;
        }
        indices[i] = uint8_t(it->second);
        ++changed;
    }
    return Status::Ok();
}

// Where a tile's pixels are: `rows` rows of `width` bytes, `stride` apart
// (the image itself for a whole tile, a padded copy at the edges).
struct TileView {
    const uint8_t* pixels;
    size_t width;
    size_t rows;
    size_t stride;
};

uint64_t Load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

uint64_t Rotl(uint64_t v, int n) {
    return v << n | v >> (64 - n);
}

// A hash of the tile's pixels, read in place. Each eight bytes are multiplied
// on their own and only added and rotated into the lanes, so the
// multiplications never wait on each other; the rotation keeps the position.
uint64_t HashTile(const TileView& t) {
    constexpr uint64_t kMulA = 0xFF51AFD7ED558CCDull;
    constexpr uint64_t kMulB = 0xC4CEB9FE1A85EC53ull;
    uint64_t a = 0x9E3779B97F4A7C15ull;
    uint64_t b = 0xC2B2AE3D27D4EB4Full;
    for (size_t y = 0; y < t.rows; ++y) {
        const uint8_t* row = t.pixels + y * t.stride;
        size_t x = 0;
        for (; x + 16 <= t.width; x += 16) {
            a = Rotl(a + Load64(row + x) * kMulA, 27);
            b = Rotl(b + Load64(row + x + 8) * kMulB, 31);
        }
        for (; x + 8 <= t.width; x += 8)
            a = Rotl(a + Load64(row + x) * kMulA, 27);
        for (; x < t.width; ++x)
            b = Rotl(b + (row[x] + 1) * kMulB, 13);
    }
    uint64_t h = (a ^ Rotl(b, 32)) * kMulA;
    h ^= h >> 29;
    return h * kMulB ^ (h >> 32);
}

bool SamePixels(const uint8_t* stored, const TileView& t) {
    for (size_t y = 0; y < t.rows; ++y) {
        const uint8_t* s = stored + y * t.width;
        const uint8_t* p = t.pixels + y * t.stride;
        size_t x = 0;
        for (; x + 8 <= t.width; x += 8)
            if (Load64(s + x) != Load64(p + x))
                return false;
        for (; x < t.width; ++x)
            if (s[x] != p[x])
                return false;
    }
    return true;
}

// The set's tiles with attribute 0, by hash of their pixels, so that each cut
// tile finds its number: the ones already there and the ones added.
class TileIndex {
public:
    explicit TileIndex(const TileList& tiles) : m_tiles(tiles) {
        const auto w = size_t(tiles.width());
        const auto h = size_t(tiles.height());
        for (uint32_t t = 0; t < tiles.count(); ++t)
            if (tiles.AttributeAt(t) == 0)
                m_byHash.emplace(HashTile({tiles.PixelsAt(t), w, h, w}), t);
    }
    // The number of the first tile with attribute 0 and these pixels, or -1.
    int64_t Find(const TileView& tile, uint64_t hash) const {
        const auto [first, last] = m_byHash.equal_range(hash);
        int64_t found = -1;
        for (auto it = first; it != last; ++it)
            if ((found < 0 || it->second < found) && SamePixels(m_tiles.PixelsAt(it->second), tile))
                found = it->second;
        return found;
    }
    void Add(uint64_t hash, int64_t number) { m_byHash.emplace(hash, number); }

private:
    const TileList& m_tiles;
    std::unordered_multimap<uint64_t, int64_t> m_byHash;
};

// One image row's piece of each of `count` tiles N pixels wide; a fixed N
// lets the copies of common tile widths inline.
template <size_t N>
void CopyRowsOf(const uint8_t* src, size_t count, size_t tileBytes, uint8_t* out) {
    for (size_t c = 0; c < count; ++c)
        std::memcpy(out + c * tileBytes, src + c * N, N);
}

// The tile row from image row `y0`: `cols` tiles of tw x th, each one's
// pixels together in `out` (tile c at c x tw x th), read row by row from the
// image. Past the image's right and bottom edges the pixels are index 0.
void CutStrip(const uint8_t* indices, int64_t width, int64_t height, int64_t y0, size_t tw,
              size_t th, size_t cols, uint8_t* out) {
    const size_t tileBytes = tw * th;
    const size_t whole = std::min(cols, size_t(width) / tw); // tiles not cut by the edge
    for (size_t y = 0; y < th; ++y) {
        uint8_t* dst = out + y * tw;
        if (y0 + int64_t(y) >= height) {
            for (size_t c = 0; c < cols; ++c)
                std::memset(dst + c * tileBytes, 0, tw);
            continue;
        }
        const uint8_t* src = indices + (y0 + int64_t(y)) * width;
        switch (tw) {
        case 8:
            CopyRowsOf<8>(src, whole, tileBytes, dst);
            break;
        case 16:
            CopyRowsOf<16>(src, whole, tileBytes, dst);
            break;
        case 32:
            CopyRowsOf<32>(src, whole, tileBytes, dst);
            break;
        default:
            for (size_t c = 0; c < whole; ++c)
                std::memcpy(dst + c * tileBytes, src + c * tw, tw);
        }
        for (size_t c = whole; c < cols; ++c) { // the tile the right edge cuts
            const size_t have = size_t(width) - c * tw;
            std::memcpy(dst + c * tileBytes, src + c * tw, have);
            std::memset(dst + c * tileBytes + have, 0, tw - have);
        }
    }
}

} // namespace

ImportResult ImportImage(TileSet& set, const Image& image, const ImportOptions& options) {
    ImportResult result;
    auto fail = [&](Status st) {
        result.status = std::move(st);
        return result;
    };
    TileList& list = set.tiles();
    const int64_t tw = set.tileWidth();
    const int64_t th = set.tileHeight();
    if (tw <= 0 || th <= 0 || list.width() != tw || list.height() != th)
        return fail(Status::Fail(msg::kTileSizeMismatch));
    const int64_t width = image.m_width;
    const int64_t height = image.m_height;
    if (width <= 0 || height <= 0)
        return fail(Status::Fail(msg::kImageUnsupported));
    if (!options.pad && (width % tw != 0 || height % th != 0))
        return fail(Status::Fail(msg::kImageNotTileMultiple));
    const int64_t cols = (width + tw - 1) / tw;
    const int64_t rows = (height + th - 1) / th;
    if (options.makeMap && !MapModel::IsValidSize(cols, rows))
        return fail(Status::Fail(msg::kBadMapSize));

    std::vector<uint8_t> converted;
    std::vector<uint8_t> strip; // one row of tiles, each tile's pixels together
    const uint8_t* indices = image.m_pixels.data();
    try {
        if (!image.hasIndices()) {
            if (Status st = IndicesOf(image, set.colourTable(), options.nearest, converted,
                                      result.changedPixels);
                !st)
                return fail(st);
            indices = converted.data();
        }
        if (options.makeMap)
            result.cells.assign(size_t(cols * rows), kEmptyCell);
        strip.resize(size_t(cols * tw * th));
    } catch (const std::bad_alloc&) {
        return fail(Status::Fail(msg::kAllocFailed));
    }

    // From here the set changes; a full set with a map takes every change back.
    const uint32_t before = list.count();
    TileIndex index(list);
    const auto tileBytes = size_t(tw * th);
    bool full = false;
    for (int64_t r = 0; r < rows && !full; ++r) {
        CutStrip(indices, width, height, r * th, size_t(tw), size_t(th), size_t(cols),
                 strip.data());
        for (int64_t c = 0; c < cols; ++c) {
            const TileView view{strip.data() + size_t(c) * tileBytes, size_t(tw), size_t(th),
                                size_t(tw)};
            const uint64_t hash = HashTile(view);
            int64_t number = index.Find(view, hash);
            if (number < 0) {
                if (!list.AddUnique(view.pixels, 0)) {
                    full = true;
                    break;
                }
                number = int64_t(list.count()) - 1;
                index.Add(hash, number);
            }
            if (options.makeMap) {
                if (number >= kEmptyCell) {
                    while (list.count() > before)
                        list.Delete(list.count() - 1);
                    return fail(Status::Fail(msg::kTileNumberTooLargeForMap));
                }
                result.cells[size_t(r * cols + c)] = uint16_t(number);
            }
        }
    }
    if (full && options.makeMap) {
        while (list.count() > before)
            list.Delete(list.count() - 1);
        result.cells.clear();
        result.setFull = true;
        return fail(Status::Fail(msg::kTileSetFull));
    }
    result.tiles = cols * rows;
    result.added = int64_t(list.count()) - before;
    result.setFull = full;
    if (options.takePalette && image.hasIndices())
        set.SetPalette(image.m_palette);
    if (options.makeMap) {
        result.mapWidth = int32_t(cols);
        result.mapHeight = int32_t(rows);
    }
    set.touch();
    return result;
}

} // namespace kesh
