// Palettes built from pictures: exact colours, transparency, the precision
// the error is measured in, more colours for less error, and dithering.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>

#include "raster/ColourHistogram.h"
#include "raster/ColourMapper.h"
#include "raster/ColourQuantizer.h"
#include "support/TruePictures.h"

using namespace kesh;
using Bytes = std::vector<uint8_t>;

namespace {

// A picture quantized and mapped, kept together.
struct Quantized {
    ColourHistogram histogram;
    QuantizedColours colours;
    Bytes indices;
    double squaredError = 0;
    int64_t pixels = 0;

    Quantized(const Bytes& rgb, const Bytes& alpha, int32_t width, int colours,
              bool dither = false) {
        const size_t count = rgb.size() / 3;
        const uint8_t* a = alpha.empty() ? nullptr : alpha.data();
        histogram.Add(rgb.data(), a, count);
        this->colours = ColourQuantizer::Quantize(histogram, colours, histogram.transparent() > 0);
        ColourMapper mapper(histogram, this->colours);
        indices.resize(count);
        mapper.Map(rgb.data(), a, width, int64_t(count) / width, dither, indices.data());
        squaredError = mapper.squaredError();
        pixels = mapper.pixels();
    }
    // The colour pixel `i` shows as.
    std::array<int, 3> Shown(size_t i) const {
        const auto& l = colours.levels[indices[i]];
        const ColourPrecision& p = histogram.precision();
        return {p.Shown(l[0]), p.Shown(l[1]), p.Shown(l[2])};
    }
};

// `count` distinct colours, each a multiple of 4 (exact in 6 bits), `repeat` pixels each.
Bytes DistinctColours(int count, int repeat) {
    Bytes rgb;
    for (int r = 0; r < repeat; ++r)
        for (int c = 0; c < count; ++c) {
            rgb.push_back(uint8_t(c * 4 % 256));
            rgb.push_back(uint8_t(c * 52 % 256));
            rgb.push_back(uint8_t(c / 64 * 4));
        }
    return rgb;
}

} // namespace

TEST(ColourQuantizer, APictureOfFewColoursKeepsThemAll) {
    struct Case {
        int colours;      // distinct colours in the picture
        bool transparent; // a transparent pixel as well
        int entries;      // palette size asked for
        bool exact;
    } cases[] = {
        {5, false, 256, true},    {16, false, 16, true}, {17, false, 16, false},
        {16, true, 16, false},    {16, true, 17, true},  {256, false, 256, true},
        {257, false, 256, false}, {2, false, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.colours << " colours into " << c.entries);
        Bytes rgb = DistinctColours(c.colours, 3);
        Bytes alpha;
        if (c.transparent) {
            alpha.assign(rgb.size() / 3, 255);
            alpha[1] = 0;
        }
        const Quantized q(rgb, alpha, c.colours, c.entries);
        EXPECT_EQ(q.colours.exact, c.exact);
        EXPECT_LE(int(q.colours.levels.size()), c.entries);
        if (!c.exact)
            continue;
        EXPECT_EQ(q.colours.levels.size(), size_t(c.colours + c.transparent));
        EXPECT_EQ(q.squaredError, 0.0); // every colour shown as it was
        for (size_t i = 0; i < q.indices.size(); ++i) {
            if (!alpha.empty() && alpha[i] == 0)
                continue;
            EXPECT_EQ(q.Shown(i), (std::array<int, 3>{rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]}));
        }
    }
}

TEST(ColourQuantizer, ErrorIsThatOfTheColoursAsThePaletteShowsThem) {
    // 6-bit levels show as the level times 4: 255 as 252, 3 as 4, 130 as 128.
    struct Case {
        Bytes colour;
        double squaredError; // per pixel
    } cases[] = {
        {{255, 3, 130}, 9 + 1 + 4},
        {{0, 0, 0}, 0},
        {{254, 254, 254}, 3 * 4},
        {{2, 6, 10}, 3 * 4}, // halfway: the lower level
    };
    for (const Case& c : cases) {
        Bytes rgb;
        for (int i = 0; i < 10; ++i)
            rgb.insert(rgb.end(), c.colour.begin(), c.colour.end());
        const Quantized q(rgb, {}, 10, 256);
        EXPECT_EQ(q.squaredError, 10 * c.squaredError) << int(c.colour[0]);
        EXPECT_EQ(q.pixels, 10);
    }
    EXPECT_TRUE(std::isinf(ColourMapper::Psnr(0, 10)));
    EXPECT_NEAR(ColourMapper::Psnr(3 * 10 * 1.0, 10), 48.13, 0.01); // MSE 1
}

TEST(ColourQuantizer, TransparentPixelsAndOnlyThemTakeIndexZero) {
    const int32_t w = 48, h = 40;
    const Bytes rgb = test::ManyColours(w, h);
    Bytes alpha(size_t(w * h), 255);
    for (size_t i = 0; i < alpha.size(); i += 7)
        alpha[i] = 0;
    alpha[3] = 1; // nearly transparent is still a colour
    for (const int entries : {2, 3, 16, 256}) {
        SCOPED_TRACE(entries);
        for (const bool dither : {false, true}) {
            const Quantized q(rgb, alpha, w, entries, dither);
            EXPECT_TRUE(q.colours.reserveZero);
            EXPECT_LE(int(q.colours.levels.size()), entries);
            int64_t opaque = 0;
            for (size_t i = 0; i < alpha.size(); ++i) {
                EXPECT_EQ(q.indices[i] == 0, alpha[i] == 0) << i;
                EXPECT_LT(q.indices[i], q.colours.levels.size());
                opaque += alpha[i] != 0;
            }
            EXPECT_EQ(q.pixels, opaque);
        }
    }
    // Without transparent pixels every entry is the pixels' own.
    const Quantized all(rgb, {}, w, 16);
    EXPECT_FALSE(all.colours.reserveZero);
    EXPECT_EQ(all.colours.levels.size(), 16u);
}

TEST(ColourQuantizer, MoreEntriesNeverCostMoreError) {
    const int32_t w = 64, h = 64;
    const Bytes rgb = test::ManyColours(w, h);
    double previous = INFINITY;
    for (const int entries : {2, 4, 16, 64, 256}) {
        const Quantized q(rgb, {}, w, entries);
        EXPECT_EQ(int(q.colours.levels.size()), entries);
        std::set<std::array<uint8_t, 3>> distinct(q.colours.levels.begin(), q.colours.levels.end());
        EXPECT_EQ(distinct.size(), q.colours.levels.size()) << "no entry twice";
        EXPECT_LT(q.squaredError, previous) << entries;
        previous = q.squaredError;
    }
}

TEST(ColourQuantizer, DitheringKeepsTheMeanColourOfAnArea) {
    // A grey ramp in four greys (32, 96, 160, 224): plain mapping makes
    // bands, dithering mixes the neighbours so that each 8-pixel column strip
    // between the darkest and the lightest grey keeps its mean.
    const int32_t w = 256, h = 32;
    Bytes rgb;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            rgb.insert(rgb.end(), {uint8_t(x), uint8_t(x), uint8_t(x)});
    double drift[2] = {0, 0};
    for (const bool dither : {false, true}) {
        const Quantized q(rgb, {}, w, 4, dither);
        for (int32_t x0 = 32; x0 + 8 <= 224; x0 += 8) {
            double sum = 0, want = 0;
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = x0; x < x0 + 8; ++x) {
                    sum += q.Shown(size_t(y * w + x))[1];
                    want += x;
                }
            drift[dither] += std::abs(sum - want) / (8 * h);
        }
    }
    EXPECT_LT(drift[1], drift[0] / 8) << drift[0] << " " << drift[1];
}
