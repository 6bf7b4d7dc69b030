// Pictures of tiles drawn from families of colours, and the checks every
// result of the tile-aware quantizer must pass.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "image/TileQuantizer.h"
#include "raster/ColourReduction.h"

namespace kesh::test {

// A picture of tiles (8 x 8 pixels unless given), every tile, or every area
// of `area` x `area` tiles, painted at random from one of `families` sets of
// colours. `colourOf(family, k)` gives colour k (0 to `perFamily` - 1) of a
// family. `familyOf` receives each tile's family.
struct FamilyPicture {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> rgb;
    std::vector<uint8_t> alpha; // empty: all opaque
    std::vector<int> familyOfTile;
};

template <typename ColourOf>
FamilyPicture PaintFamilies(int32_t tilesAcross, int32_t tilesDown, int families, int perFamily,
                            ColourOf colourOf, int32_t area = 1, int32_t tile = 8,
                            uint32_t seed = 31) {
    std::mt19937 random(seed);
    FamilyPicture out;
    out.width = tilesAcross * tile;
    out.height = tilesDown * tile;
    out.rgb.resize(size_t(out.width) * size_t(out.height) * 3);
    std::vector<int> familyOfArea(size_t(tilesAcross) * size_t(tilesDown));
    for (int& f : familyOfArea)
        f = int(random() % uint32_t(families));
    for (int32_t t = 0; t < tilesAcross * tilesDown; ++t)
        out.familyOfTile.push_back(
            familyOfArea[size_t(t / tilesAcross / area * tilesAcross + t % tilesAcross / area)]);
    for (int32_t y = 0; y < out.height; ++y)
        for (int32_t x = 0; x < out.width; ++x) {
            const int f = out.familyOfTile[size_t(y / tile * tilesAcross + x / tile)];
            const Rgb c = colourOf(f, int(random() % uint32_t(perFamily)));
            uint8_t* p = &out.rgb[3 * (size_t(y) * size_t(out.width) + size_t(x))];
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
        }
    return out;
}

// What holds for any result: at most P palettes of at most K colours, each
// beginning with the same colour 0; the tiles of one area share a palette;
// every pixel's entry lies in its tile's palette and is the nearest of its
// colours (transparent pixels and only they take 0 when colour 0 is
// theirs); and the error reported is the error of those entries.
inline void ExpectSound(const uint8_t* rgb, const uint8_t* alpha, int32_t width, int32_t height,
                        const TileQuantizeOptions& o, const TileQuantized& r) {
    const auto& palettes = r.palettes.palettes;
    ASSERT_FALSE(palettes.empty());
    ASSERT_LE(palettes.size(), size_t(o.palettes));
    for (const auto& p : palettes) {
        ASSERT_FALSE(p.empty());
        EXPECT_LE(p.size(), size_t(o.colours));
        EXPECT_EQ(p[0], palettes[0][0]);
        EXPECT_TRUE(std::is_sorted(p.begin() + 1, p.end()));
    }
    const int32_t across = (width + o.tileWidth - 1) / o.tileWidth;
    const int32_t down = (height + o.tileHeight - 1) / o.tileHeight;
    ASSERT_EQ(r.palettes.paletteOfTile.size(), size_t(across) * size_t(down));
    for (int32_t t = 0; t < across * down; ++t) {
        const int32_t x = t % across, y = t / across;
        ASSERT_LT(r.palettes.paletteOfTile[size_t(t)], palettes.size());
        EXPECT_EQ(
            r.palettes.paletteOfTile[size_t(t)],
            r.palettes.paletteOfTile[size_t((y - y % o.areaDown) * across + x - x % o.areaAcross)])
            << "tile " << t;
    }
    ASSERT_EQ(r.indices.size(), size_t(width) * size_t(height));
    double error = 0;
    int64_t opaque = 0;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const size_t i = size_t(y) * size_t(width) + size_t(x);
            const auto& p =
                palettes[r.palettes
                             .paletteOfTile[size_t(y / o.tileHeight * across + x / o.tileWidth)]];
            const size_t index = r.indices[i];
            // The first pixel found wrong is enough.
            if (index >= p.size())
                return ADD_FAILURE() << "pixel " << x << ", " << y << ": entry " << index;
            if (alpha && alpha[i] == 0) {
                if (index != 0)
                    return ADD_FAILURE() << "transparent pixel " << x << ", " << y << ": " << index;
                continue;
            }
            const auto distance = [&](uint32_t c) {
                const Rgb s = UnpackRgb(c);
                const int dr = rgb[3 * i] - s.r, dg = rgb[3 * i + 1] - s.g,
                          db = rgb[3 * i + 2] - s.b;
                return dr * dr + dg * dg + db * db;
            };
            const size_t first = r.transparentZero ? 1 : 0;
            if (index < first)
                return ADD_FAILURE() << "opaque pixel " << x << ", " << y << " takes colour 0";
            for (size_t e = first; e < p.size(); ++e)
                if (distance(p[e]) < distance(p[index]))
                    return ADD_FAILURE() << "pixel " << x << ", " << y << ": entry " << e
                                         << " is nearer than " << index;
            error += distance(p[index]);
            ++opaque;
        }
    EXPECT_EQ(r.report.pixels, opaque);
    EXPECT_EQ(r.report.squaredError, error);
}

} // namespace kesh::test
