// Pictures imported with a palette built from their own colours: the alpha
// that true-colour PNGs keep for it, the image import and the Tiled import.
#include <gtest/gtest.h>

#include <cstring>

#include "base/Messages.h"
#include "image/ImageSource.h"
#include "image/ImportImage.h"
#include "support/TestImages.h"
#include "support/TestTiles.h"
#include "support/TmxSamples.h"
#include "support/TruePictures.h"
#include "tmx/TmxImport.h"

// Designated initializers name only the fields a case cares about.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace kesh;
using Bytes = std::vector<uint8_t>;

namespace {

TileSet EmptySet(int32_t w, int32_t h) {
    return kesh::test::EmptyTileSet(w, h);
}

// The colour pixel `i` of tile `t` shows as: red, green, blue.
std::array<int, 3> ShownAt(const TileSet& set, uint32_t t, size_t i) {
    const uint8_t v = set.tiles().PixelsAt(t)[i];
    const uint8_t* table = set.colourTable();
    return {table[4 * v + 2], table[4 * v + 1], table[4 * v]};
}

} // namespace

TEST(PngAlpha, TrueColourKeepsItsTransparencyOtherKindsDropIt) {
    // 3 x 2 pixels; the expected alpha, or none.
    struct Case {
        const char* name;
        test::PngRecipe recipe;
        Bytes alpha;
    };
    const Bytes rgba = {10, 20, 30, 0,   40, 50, 60, 255, 70, 80, 90, 128,
                        1,  2,  3,  255, 4,  5,  6,  0,   7,  8,  9,  255};
    Bytes rgb;
    for (size_t i = 0; i < rgba.size(); i += 4)
        rgb.insert(rgb.end(), rgba.begin() + long(i), rgba.begin() + long(i) + 3);
    test::PngRecipe keyed{
        .width = 3, .height = 2, .colourType = PNG_COLOR_TYPE_RGB, .samples = rgb};
    keyed.hasTransparentColour = true;
    keyed.transparentColour = {0, 40, 50, 60, 0};
    Case cases[] = {
        {"rgba",
         {.width = 3, .height = 2, .colourType = PNG_COLOR_TYPE_RGB_ALPHA, .samples = rgba},
         {0, 255, 128, 255, 0, 255}},
        {"rgba interlaced",
         {.width = 3,
          .height = 2,
          .colourType = PNG_COLOR_TYPE_RGB_ALPHA,
          .interlaced = true,
          .samples = rgba},
         {0, 255, 128, 255, 0, 255}},
        {"rgb with a transparent colour", keyed, {255, 0, 255, 255, 255, 255}},
        {"rgb", {.width = 3, .height = 2, .colourType = PNG_COLOR_TYPE_RGB, .samples = rgb}, {}},
        {"grey and alpha",
         {.width = 3,
          .height = 2,
          .colourType = PNG_COLOR_TYPE_GRAY_ALPHA,
          .samples = {1, 0, 2, 255, 3, 0, 4, 255, 5, 0, 6, 255}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = test::MakePng(c.recipe);
        Image whole;
        ASSERT_TRUE(LoadPng(file, whole));
        EXPECT_EQ(whole.m_hasAlpha, !c.alpha.empty());
        EXPECT_EQ(whole.m_alpha, c.alpha);
        if (!whole.hasIndices()) {
            EXPECT_EQ(whole.m_rgb, rgb);
        }
        // Band by band, a row at a time, the same.
        ImageSource source;
        ASSERT_TRUE(source.Open(file));
        Bytes banded;
        for (int y = 0; y < 2; ++y) {
            const uint8_t* rows = nullptr;
            const uint8_t* alpha = nullptr;
            int32_t got = 0;
            ASSERT_TRUE(source.NextRows(1, rows, got, &alpha));
            ASSERT_EQ(alpha != nullptr, !c.alpha.empty());
            if (alpha)
                banded.insert(banded.end(), alpha, alpha + 3);
        }
        EXPECT_EQ(banded, c.alpha);
    }
}

TEST(ImportImage, ANewPaletteFromThePictureBecomesTheSets) {
    const int32_t w = 32, h = 16;
    Bytes alpha(size_t(w * h), 255);
    alpha[0] = alpha[1] = 0;
    const Image many = test::TrueColourImage(w, h, test::ManyColours(w, h), alpha);
    Bytes few;
    for (int i = 0; i < w * h; ++i)
        few.insert(few.end(), {uint8_t(i % 3 * 100), 8, uint8_t(i % 2 * 200)});
    const Image exact = test::TrueColourImage(w, h, few);
    struct Case {
        const char* name;
        const Image& image;
        int colours;
        bool exact;
        int entries;
    } cases[] = {
        {"many colours and transparency", many, 256, false, 255},
        {"many colours into 16", many, 16, false, 15},
        {"six colours", exact, 256, true, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TileSet set = EmptySet(8, 8);
        ImportOptions options{.makeMap = true, .nearest = true, .quantize = true};
        options.quantizeOptions.colours = c.colours;
        const ImportResult r = ImportImage(set, c.image, options);
        ASSERT_TRUE(r.status) << r.status.message();
        EXPECT_EQ(r.quantized.exact, c.exact);
        EXPECT_EQ(r.quantized.colours, c.entries);
        EXPECT_EQ(r.quantized.pixels, int64_t(w * h) - (c.image.m_alpha.empty() ? 0 : 2));
        EXPECT_EQ(r.changedPixels, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const size_t i = size_t(y * w + x);
                const uint32_t tile = r.cells[size_t(y / 8 * (w / 8) + x / 8)];
                const size_t at = size_t(y % 8 * 8 + x % 8);
                const uint8_t index = set.tiles().PixelsAt(tile)[at];
                if (!c.image.m_alpha.empty()) {
                    ASSERT_EQ(index == 0, c.image.m_alpha[i] == 0) << x << "," << y;
                }
                ASSERT_LT(index, c.entries + 1);
                const auto shown = ShownAt(set, tile, at);
                const uint8_t* want = &c.image.m_rgb[3 * i];
                if (c.exact) { // multiples of 4: shown as they are
                    ASSERT_EQ(shown, (std::array<int, 3>{want[0], want[1], want[2]}));
                }
            }
    }
}

TEST(ImportImage, AFailedImportWithANewPaletteLeavesTheColoursAlone) {
    struct Case {
        const char* message;
        int32_t tile;
        Image image;
    } cases[] = {
        {msg::kImageNotTileMultiple, 8, test::TrueColourImage(12, 8, test::ManyColours(12, 8))},
        // 50 distinct tiles of 256 x 256 into a pool that holds 40, with a map:
        // the colours were built before the set filled up.
        {msg::kTileSetFull, 256, test::TrueColourImage(2560, 1280, test::ManyColours(2560, 1280))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        TileSet set = EmptySet(c.tile, c.tile);
        const test::TileSetState before(set);
        const ImportResult r = ImportImage(set, c.image, {.makeMap = true, .quantize = true});
        EXPECT_EQ(r.status.message(), c.message);
        EXPECT_EQ(test::TileSetState(set), before);
    }
}

TEST(TmxImport, ANewPaletteServesEveryTileSetImage) {
    // Two tile sets of one 4 x 4 tile each: reds and blues, 16 colours each.
    test::MemoryLoader files;
    Bytes reds, blues;
    for (int i = 0; i < 16; ++i) {
        reds.insert(reds.end(), {uint8_t(128 + i * 8), uint8_t(i * 4), 0});
        blues.insert(blues.end(), {0, uint8_t(i * 4), uint8_t(128 + i * 8)});
    }
    files.files["reds.png"] =
        test::MakePng({.width = 4, .height = 4, .colourType = PNG_COLOR_TYPE_RGB, .samples = reds});
    files.files["blues.png"] = test::MakePng(
        {.width = 4, .height = 4, .colourType = PNG_COLOR_TYPE_RGB, .samples = blues});
    const std::string tmx =
        "<?xml version=\"1.0\"?><map orientation=\"orthogonal\" width=\"2\" height=\"1\" "
        "tilewidth=\"4\" tileheight=\"4\">"
        "<tileset firstgid=\"1\" name=\"r\" tilewidth=\"4\" tileheight=\"4\" tilecount=\"1\">"
        "<image source=\"reds.png\" width=\"4\" height=\"4\"/></tileset>"
        "<tileset firstgid=\"2\" name=\"b\" tilewidth=\"4\" tileheight=\"4\" tilecount=\"1\">"
        "<image source=\"blues.png\" width=\"4\" height=\"4\"/></tileset>"
        "<layer name=\"g\" width=\"2\" height=\"1\"><data "
        "encoding=\"csv\">1,2</data></layer></map>";
    for (const int colours : {256, 8}) {
        SCOPED_TRACE(colours);
        TmxImportOptions options{.quantize = true};
        options.quantizeOptions.colours = colours;
        const TmxImportResult r = ImportTmx(Bytes(tmx.begin(), tmx.end()), files, options);
        ASSERT_TRUE(r.status) << r.status.message();
        ASSERT_EQ(r.cells, (std::vector<uint16_t>{0, 1}));
        EXPECT_EQ(r.quantized.exact, colours == 256);
        EXPECT_EQ(r.quantized.pixels, 32);
        // Both sheets drew from the one palette: each tile keeps its hue.
        for (size_t i = 0; i < 16; ++i) {
            const auto red = ShownAt(r.tiles, 0, i);
            const auto blue = ShownAt(r.tiles, 1, i);
            EXPECT_GT(red[0], red[2]);
            EXPECT_GT(blue[2], blue[0]);
            if (colours == 256) {
                EXPECT_EQ(red[0], reds[3 * i]);
                EXPECT_EQ(blue[1], blues[3 * i + 1]);
            }
        }
    }
}
