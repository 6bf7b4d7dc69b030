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
#include "image/ImportSubPalettes.h"
#include "image/TileCutting.h"
#include "image/BlockMatcher.h"
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
    if (options.subPalettes.on())
        return ImportWithSubPalettes(set, source, options);

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
    BlockMatcher matcher(list, options.flips);
    const auto tileBytes = size_t(tw * th);
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
            int64_t number = -1;
            uint16_t flips = 0;
            if (!matcher.Match(pixels, number, flips)) {
                full = true;
                break;
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
