#include "image/ImportImage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <unordered_map>
#include <utility>

#include "base/Messages.h"
#include "image/ImageSource.h"
#include "map/MapModel.h"

namespace kesh {

namespace {

uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t(r) << 16 | uint32_t(g) << 8 | b;
}

// Turns true-colour pixels into indices of `table` (blue, green, red, 0).
// `rgb` holds `count` pixels, rows of `width`.
Status IndicesOf(const uint8_t* rgb, int64_t width, int64_t count, const uint8_t* table,
                 bool nearest, std::vector<uint8_t>& indices, int64_t& changed) {
    std::unordered_map<uint32_t, int> exact; // colour -> lowest index
    for (int i = 255; i >= 0; --i)
        exact[Rgb(table[4 * i + 2], table[4 * i + 1], table[4 * i])] = i;
    std::unordered_map<uint32_t, int> near; // colours not in the table
    indices.resize(size_t(count));
    const uint8_t* p = rgb;
    for (size_t i = 0; i < indices.size(); ++i, p += 3) {
        const uint32_t colour = Rgb(p[0], p[1], p[2]);
        if (const auto it = exact.find(colour); it != exact.end()) {
            indices[i] = uint8_t(it->second);
            continue;
        }
        if (!nearest) {
            char where[64];
            std::snprintf(where, sizeof where, " (%d, %d): #%06X", int(i % size_t(width)),
                          int(i / size_t(width)), unsigned(colour));
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

uint64_t Load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

uint64_t Rotl(uint64_t v, int n) {
    return v << n | v >> (64 - n);
}

// A hash of a tile's `n` pixels, stored together. Each eight bytes are
// multiplied on their own and only added and rotated into one of four lanes,
// so the multiplications never wait on each other; the rotation keeps the
// position.
uint64_t HashTile(const uint8_t* p, size_t n) {
    constexpr uint64_t kMulA = 0xFF51AFD7ED558CCDull;
    constexpr uint64_t kMulB = 0xC4CEB9FE1A85EC53ull;
    uint64_t a = 0x9E3779B97F4A7C15ull;
    uint64_t b = 0xC2B2AE3D27D4EB4Full;
    uint64_t c = 0x165667B19E3779F9ull;
    uint64_t d = 0x27D4EB2F165667C5ull;
    size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        a = Rotl(a + Load64(p + i) * kMulA, 27);
        b = Rotl(b + Load64(p + i + 8) * kMulB, 31);
        c = Rotl(c + Load64(p + i + 16) * kMulA, 29);
        d = Rotl(d + Load64(p + i + 24) * kMulB, 23);
    }
    for (; i + 8 <= n; i += 8)
        a = Rotl(a + Load64(p + i) * kMulA, 27);
    for (; i < n; ++i)
        b = Rotl(b + (p[i] + 1) * kMulB, 13);
    uint64_t h = (a ^ Rotl(b, 16) ^ Rotl(c, 32) ^ Rotl(d, 48)) * kMulA;
    h ^= h >> 29;
    return h * kMulB ^ (h >> 32);
}

// The set's tiles with attribute 0, by hash of their pixels, so that each cut
// tile finds its number: the ones already there and the ones added. An open
// table of hash and number, probed in order, twice as large as the tiles.
class TileIndex {
public:
    explicit TileIndex(const TileList& tiles)
        : m_tiles(tiles), m_bytes(size_t(tiles.width()) * size_t(tiles.height())) {
        Grow(tiles.count() + 1024);
        for (uint32_t t = 0; t < tiles.count(); ++t)
            if (tiles.AttributeAt(t) == 0)
                Add(HashTile(tiles.PixelsAt(t), m_bytes), t);
    }
    // The number of the first tile with attribute 0 and these pixels, or -1.
    int64_t Find(const uint8_t* pixels, uint64_t hash) const {
        int64_t found = -1;
        for (size_t i = hash & m_mask; m_slots[i].number >= 0; i = (i + 1) & m_mask) {
            const Slot& slot = m_slots[i];
            if (slot.hash == hash && (found < 0 || slot.number < found) &&
                std::memcmp(m_tiles.PixelsAt(uint32_t(slot.number)), pixels, m_bytes) == 0)
                found = slot.number;
        }
        return found;
    }
    void Add(uint64_t hash, int64_t number) {
        if (2 * (m_used + 1) > m_slots.size())
            Grow(2 * m_used + 2);
        Place({hash, number});
        ++m_used;
    }

private:
    struct Slot {
        uint64_t hash = 0;
        int64_t number = -1; // -1: empty
    };
    void Place(const Slot& slot) {
        size_t i = slot.hash & m_mask;
        while (m_slots[i].number >= 0)
            i = (i + 1) & m_mask;
        m_slots[i] = slot;
    }
    void Grow(size_t least) {
        size_t size = 16;
        while (size < 2 * least)
            size *= 2;
        std::vector<Slot> old = std::exchange(m_slots, std::vector<Slot>(size));
        m_mask = size - 1;
        for (const Slot& slot : old)
            if (slot.number >= 0)
                Place(slot);
    }

    const TileList& m_tiles;
    size_t m_bytes;
    std::vector<Slot> m_slots;
    size_t m_mask = 0;
    size_t m_used = 0;
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

// `pixels` (tw x th) mirrored left to right, top to bottom or both, into `out`.
void Mirror(const uint8_t* pixels, size_t tw, size_t th, bool h, bool v, uint8_t* out) {
    for (size_t y = 0; y < th; ++y) {
        const uint8_t* src = pixels + (v ? th - 1 - y : y) * tw;
        uint8_t* dst = out + y * tw;
        if (h)
            std::reverse_copy(src, src + tw, dst);
        else
            std::memcpy(dst, src, tw);
    }
}

// The stored tile a block shows flipped, and the flips that show it: the
// block mirrored back must be a stored tile. Horizontal, vertical, then both.
int64_t FindMirrored(const TileIndex& index, const uint8_t* pixels, size_t tw, size_t th,
                     uint8_t* scratch, uint16_t& flips) {
    constexpr std::pair<bool, bool> kOrder[] = {{true, false}, {false, true}, {true, true}};
    for (const auto& [h, v] : kOrder) {
        Mirror(pixels, tw, th, h, v, scratch);
        const int64_t number = index.Find(scratch, HashTile(scratch, tw * th));
        if (number >= 0) {
            flips = uint16_t((h ? cellbit::kHFlip : 0) | (v ? cellbit::kVFlip : 0));
            return number;
        }
    }
    return -1;
}

// Blocks already found to be mirror images, by hash of their own pixels, so
// that a block met again costs one lookup rather than three mirrorings.
class MirrorMemo {
public:
    explicit MirrorMemo(size_t bytes) : m_bytes(bytes) {}

    int64_t Find(const uint8_t* pixels, uint64_t hash, uint16_t& flips) const {
        const auto [first, last] = m_byHash.equal_range(hash);
        for (auto it = first; it != last; ++it)
            if (std::memcmp(m_pixels.data() + it->second.offset, pixels, m_bytes) == 0) {
                flips = it->second.flips;
                return it->second.number;
            }
        return -1;
    }

    void Add(const uint8_t* pixels, uint64_t hash, int64_t number, uint16_t flips) {
        m_byHash.emplace(hash, Entry{number, m_pixels.size(), flips});
        m_pixels.insert(m_pixels.end(), pixels, pixels + m_bytes);
    }

private:
    struct Entry {
        int64_t number;
        size_t offset;
        uint16_t flips;
    };
    size_t m_bytes;
    std::vector<uint8_t> m_pixels;
    std::unordered_multimap<uint64_t, Entry> m_byHash;
};

} // namespace

ImportResult ImportImage(TileSet& set, const Image& image, const ImportOptions& options) {
    ImageSource source(image);
    return ImportImage(set, source, options);
}

ImportResult ImportImage(TileSet& set, ImageSource& source, const ImportOptions& options) {
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
    const int64_t width = source.width();
    const int64_t height = source.height();
    if (width <= 0 || height <= 0)
        return fail(Status::Fail(msg::kImageUnsupported));
    if (!options.pad && (width % tw != 0 || height % th != 0))
        return fail(Status::Fail(msg::kImageNotTileMultiple));
    const int64_t cols = (width + tw - 1) / tw;
    const int64_t rows = (height + th - 1) / th;
    if (options.makeMap && !MapModel::IsValidSize(cols, rows))
        return fail(MapModel::CheckSize(cols, rows));

    // True colour is turned into indices whole before any tile is taken, so
    // that a colour outside the palette fails with nothing added.
    std::vector<uint8_t> converted;
    Palette builtPalette;
    std::vector<uint8_t> strip; // one row of tiles, each tile's pixels together
    try {
        if (options.quantize) {
            if (Status st = QuantizeImage(source, options.quantizeOptions, options.shared,
                                          converted, builtPalette, result.quantized);
                !st)
                return fail(st);
        } else if (!source.header().hasIndices()) {
            const uint8_t* rgb = nullptr;
            int32_t got = 0;
            if (Status st = source.NextRows(int32_t(height), rgb, got); !st)
                return fail(st);
            if (Status st = IndicesOf(rgb, width, width * height, set.colourTable(),
                                      options.nearest, converted, result.changedPixels);
                !st)
                return fail(st);
        }
        if (options.makeMap)
            result.cells.assign(size_t(cols * rows), kEmptyCell);
        if (options.makeMap && options.flips)
            result.attrs.assign(size_t(cols * rows), 0);
        strip.resize(size_t(cols * tw * th));
    } catch (const std::bad_alloc&) {
        return fail(Status::Fail(msg::kAllocFailed));
    }

    // From here the set changes; a failure takes every change back. Bands
    // are read to the end even once no more tiles are taken, so that damage
    // anywhere in the file fails the import.
    const uint32_t before = list.count();
    auto takeBack = [&] {
        while (list.count() > before)
            list.Delete(list.count() - 1);
        result.cells.clear();
        result.attrs.clear();
    };
    TileIndex index(list);
    const auto tileBytes = size_t(tw * th);
    std::vector<uint8_t> mirrored(options.flips ? tileBytes : 0);
    MirrorMemo memo(tileBytes);
    const bool checkColours =
        !options.takePalette && !options.quantize && source.header().hasIndices();
    std::array<bool, 256> used{};
    bool full = false;
    Status stopped = Status::Ok();
    for (int64_t r = 0; r < rows; ++r) {
        const uint8_t* band = nullptr;
        int32_t bandRows = 0;
        if (!converted.empty()) {
            band = converted.data() + size_t(r * th * width);
            bandRows = int32_t(std::min(th, height - r * th));
        } else if (Status st = source.NextRows(int32_t(th), band, bandRows); !st) {
            takeBack();
            return fail(st);
        }
        if (full || !stopped)
            continue;
        if (checkColours)
            for (int64_t i = 0; i < int64_t(bandRows) * width; ++i)
                used[band[i]] = true;
        CutStrip(band, width, bandRows, 0, size_t(tw), size_t(th), size_t(cols), strip.data());
        for (int64_t c = 0; c < cols; ++c) {
            const uint8_t* pixels = strip.data() + size_t(c) * tileBytes;
            const uint64_t hash = HashTile(pixels, tileBytes);
            int64_t number = index.Find(pixels, hash);
            uint16_t flips = 0;
            if (number < 0 && options.flips) {
                number = memo.Find(pixels, hash, flips);
                if (number < 0) {
                    number = FindMirrored(index, pixels, size_t(tw), size_t(th), mirrored.data(),
                                          flips);
                    if (number >= 0)
                        memo.Add(pixels, hash, number, flips);
                }
            }
            if (number < 0) {
                if (!list.AddUnique(pixels, 0)) {
                    full = true;
                    break;
                }
                number = int64_t(list.count()) - 1;
                index.Add(hash, number);
            }
            if (options.makeMap) {
                if (number >= kEmptyCell) {
                    stopped = Status::Fail(msg::kTileNumberTooLargeForMap);
                    break;
                }
                result.cells[size_t(r * cols + c)] = uint16_t(number);
                if (flips) {
                    result.attrs[size_t(r * cols + c)] = flips;
                    ++result.flippedCells;
                }
            }
        }
    }
    if (full && options.makeMap) {
        result.setFull = true;
        stopped = Status::Fail(msg::kTileSetFull);
    }
    if (!stopped) {
        takeBack();
        return fail(stopped);
    }
    result.tiles = cols * rows;
    result.added = int64_t(list.count()) - before;
    result.setFull = full;
    if (options.quantize)
        set.SetPalette(builtPalette);
    else if (options.takePalette && source.header().hasIndices())
        set.SetPalette(source.header().m_palette);
    if (checkColours) {
        // As SetPalette would show the image's colours.
        const uint8_t* table = set.colourTable();
        const auto& rgb = source.header().m_palette.rgb;
        for (size_t i = 0; i < 256 && !result.coloursDiffer; ++i)
            result.coloursDiffer = used[i] && (table[4 * i + 2] != uint8_t(rgb[3 * i] * 4) ||
                                               table[4 * i + 1] != uint8_t(rgb[3 * i + 1] * 4) ||
                                               table[4 * i] != uint8_t(rgb[3 * i + 2] * 4));
    }
    if (options.makeMap) {
        result.mapWidth = int32_t(cols);
        result.mapHeight = int32_t(rows);
    }
    set.touch();
    return result;
}

} // namespace kesh
