// Images read band by band: the same pixels as a whole decode, and damage
// found late still leaves the tile set as it was.
#include <gtest/gtest.h>

#include <cstring>

#include "base/Messages.h"
#include "image/ImageSource.h"
#include "image/ImportImage.h"
#include "support/TestImages.h"
#include "support/TestTiles.h"

// Designated initializers name only the fields a case cares about.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace kesh;
using kesh::test::ImageBytes;
using kesh::test::MakePng;
using kesh::test::PngRecipe;
using Bytes = std::vector<uint8_t>;

namespace {

std::vector<png_color> Colours(int n) {
    std::vector<png_color> p;
    for (int i = 0; i < n; ++i)
        p.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
    return p;
}

// Every row of `source`, asked for `band` rows at a time.
Bytes ReadInBands(ImageSource& source, int32_t band) {
    Bytes all;
    for (;;) {
        const uint8_t* rows = nullptr;
        int32_t got = 0;
        const Status st = source.NextRows(band, rows, got);
        EXPECT_TRUE(st) << st.message();
        if (!st || got == 0)
            return all;
        all.insert(all.end(), rows,
                   rows + size_t(got) * size_t(source.width()) * size_t(source.bytesPerPixel()));
    }
}

// Flips a bit of the last image data chunk's checksum, which libpng checks
// only once it has inflated every row before it.
ImageBytes WithLastDataChunkDamaged(ImageBytes png) {
    size_t last = 0;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = uint32_t(png[at]) << 24 | uint32_t(png[at + 1]) << 16 |
                                uint32_t(png[at + 2]) << 8 | png[at + 3];
        if (std::memcmp(png.data() + at + 4, "IDAT", 4) == 0)
            last = at + 8 + length; // its checksum
        at += 12 + length;
    }
    png.at(last) ^= 0x10;
    return png;
}

// A palette PNG of cols x rows tiles of w x h, tile (c, r) the test tile
// numbered r * cols + c. With `noisyLastRow` the last row of tiles is noise,
// which does not compress, so that its data fills the last chunks alone.
ImageBytes PngOfTiles(int32_t w, int32_t h, int cols, int rows, bool noisyLastRow = false) {
    PngRecipe recipe{.width = w * cols, .height = h * rows};
    recipe.palette = Colours(256);
    recipe.samples.resize(size_t(recipe.width) * size_t(recipe.height));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const Bytes tile = test::TilePixels(w, h, r * cols + c);
            for (int y = 0; y < h; ++y)
                std::copy_n(tile.begin() + y * w, w,
                            recipe.samples.begin() + (r * h + y) * recipe.width + c * w);
        }
    if (noisyLastRow) {
        uint32_t seed = 12345;
        for (size_t i = size_t((rows - 1) * h * recipe.width); i < recipe.samples.size(); ++i) {
            seed = seed * 1664525 + 1013904223;
            recipe.samples[i] = uint8_t(seed >> 24);
        }
    }
    return MakePng(recipe);
}

} // namespace

TEST(ImageSource, BandsGiveTheRowsOfAWholeDecode) {
    std::vector<PngRecipe> recipes;
    recipes.push_back({.width = 13, .height = 11, .bitDepth = 8});
    recipes.push_back({.width = 13, .height = 11, .bitDepth = 4});
    recipes.push_back({.width = 13, .height = 11, .bitDepth = 8, .interlaced = true});
    recipes.push_back({.width = 13, .height = 11, .colourType = PNG_COLOR_TYPE_GRAY});
    recipes.push_back({.width = 13, .height = 11, .colourType = PNG_COLOR_TYPE_RGB_ALPHA});
    for (PngRecipe& recipe : recipes) {
        if (recipe.colourType == PNG_COLOR_TYPE_PALETTE)
            recipe.palette = Colours(1 << recipe.bitDepth);
        for (size_t i = 0; i < 13 * 11 * 4; ++i)
            recipe.samples.push_back(uint8_t(i * 37 % (1 << recipe.bitDepth)));
        const ImageBytes png = MakePng(recipe);
        Image whole;
        ASSERT_TRUE(ReadImage(png, whole));
        const Bytes& expected = whole.hasIndices() ? whole.m_pixels : whole.m_rgb;
        for (const int32_t band : {1, 4, 11, 20}) {
            ImageSource source;
            ASSERT_TRUE(source.Open(png));
            EXPECT_EQ(source.header().m_kind, whole.m_kind);
            EXPECT_EQ(source.header().m_palette.rgb, whole.m_palette.rgb);
            EXPECT_EQ(ReadInBands(source, band), expected)
                << recipe.colourType << " " << recipe.bitDepth << " band " << band;
        }
    }
    // Anything but a PNG is decoded at once and handed out the same way.
    const ImageBytes bmp =
        test::MakeBmp(40, 3, 2, 8, 0, 0, Bytes(1024, 0), Bytes{1, 2, 3, 0, 4, 5, 6, 0});
    ImageSource source;
    ASSERT_TRUE(source.Open(bmp));
    EXPECT_EQ(ReadInBands(source, 1), (Bytes{4, 5, 6, 1, 2, 3}));
    EXPECT_EQ(source.Open(Bytes{1, 2, 3}).message(), msg::kImageUnsupported);
}

TEST(ImageSource, DamageFoundAfterTheFirstBandsLeavesTheSetAsItWas) {
    const ImageBytes good = PngOfTiles(8, 8, 6, 5);
    const ImageBytes damaged = WithLastDataChunkDamaged(good);
    ImageSource check;
    ASSERT_TRUE(check.Open(damaged)); // the header is sound
    TileSet set;
    set.format().width = set.format().height = 8;
    set.InitTileSet();
    set.tiles().Append(test::TilePixels(8, 8, 99).data(), 0);
    const test::TileSetState before(set);
    for (const bool makeMap : {false, true}) {
        ImageSource source;
        ASSERT_TRUE(source.Open(damaged));
        const ImportResult result = ImportImage(set, source, {.makeMap = makeMap});
        EXPECT_EQ(result.status.message(), msg::kPngDamaged);
        EXPECT_TRUE(result.cells.empty());
        EXPECT_EQ(test::TileSetState(set), before);
    }
    ImageSource source;
    ASSERT_TRUE(source.Open(good));
    const ImportResult result = ImportImage(set, source, {.makeMap = true});
    ASSERT_TRUE(result.status) << result.status.message();
    EXPECT_EQ(result.added, 30);
    EXPECT_EQ(result.cells[29], 30);
}

TEST(ImageSource, AFullSetStillReadsTheRestOfTheFileForDamage) {
    // 256 x 256 tiles: the set holds 40, the picture has 60, and the damage
    // lies in the last row of tiles, past the one where the set fills up.
    const ImageBytes damaged = WithLastDataChunkDamaged(PngOfTiles(256, 256, 10, 6, true));
    TileSet set;
    set.format().width = set.format().height = 256;
    set.InitTileSet();
    ASSERT_EQ(set.tiles().capacity(), 40);
    const test::TileSetState before(set);
    ImageSource source;
    ASSERT_TRUE(source.Open(damaged));
    const ImportResult result = ImportImage(set, source, {});
    EXPECT_EQ(result.status.message(), msg::kPngDamaged);
    EXPECT_FALSE(result.setFull);
    EXPECT_EQ(test::TileSetState(set), before);
}
