#include <gtest/gtest.h>

#include "base/Messages.h"
#include "image/ImportImage.h"
#include "support/TestImages.h"
#include "support/TestTiles.h"

// Designated initializers name only the fields a case cares about.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace kesh;
using kesh::test::TilePixels;
using kesh::test::TileSetState;
using Bytes = std::vector<uint8_t>;

namespace {

TileSet EmptySet(int32_t w, int32_t h) {
    return kesh::test::EmptyTileSet(w, h);
}

// An indexed image of cols x rows tiles of w x h: cell (c, r) is test tile
// grid[r * cols + c].
Image ImageOfTiles(int32_t w, int32_t h, int cols, int rows, const std::vector<int>& grid) {
    Image image;
    image.m_width = w * cols;
    image.m_height = h * rows;
    image.m_pixelCount = image.m_width * image.m_height;
    image.m_pixels.resize(size_t(image.m_pixelCount));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const Bytes tile = TilePixels(w, h, grid[size_t(r * cols + c)]);
            for (int y = 0; y < h; ++y)
                std::copy_n(tile.begin() + y * w, w,
                            image.m_pixels.begin() + (r * h + y) * image.m_width + c * w);
        }
    image.m_palette.rgb[3] = 40;
    return image;
}

Image RgbImage(int32_t w, int32_t h, const Bytes& rgb) {
    Image image;
    image.m_width = w;
    image.m_height = h;
    image.m_pixelCount = w * h;
    image.m_kind = PixelKind::Rgb;
    image.m_rgb = rgb;
    return image;
}

} // namespace

TEST(ImportImage, TilesOfAnImageComeBackWithTheirMap) {
    TileSet set = EmptySet(8, 4);
    set.tiles().Append(TilePixels(8, 4, 7).data(), 0); // already there: reused as tile 0
    set.tiles().Append(TilePixels(8, 4, 5).data(), 9); // another attribute: not the same tile
    const Image image = ImageOfTiles(8, 4, 3, 2, {5, 7, 6, 6, 5, 7});
    const ImportResult result = ImportImage(set, image, {.takePalette = true, .makeMap = true});
    ASSERT_TRUE(result.status) << result.status.message();
    EXPECT_EQ(result.tiles, 6);
    EXPECT_EQ(result.added, 2);
    EXPECT_EQ(result.mapWidth, 3);
    EXPECT_EQ(result.mapHeight, 2);
    EXPECT_EQ(result.cells, (std::vector<uint16_t>{2, 0, 3, 3, 2, 0}));
    ASSERT_EQ(set.count(), 4);
    EXPECT_EQ(Bytes(set.tiles().PixelsAt(2), set.tiles().PixelsAt(2) + 32), TilePixels(8, 4, 5));
    EXPECT_EQ(Bytes(set.tiles().PixelsAt(3), set.tiles().PixelsAt(3) + 32), TilePixels(8, 4, 6));
    EXPECT_EQ(set.tiles().AttributeAt(3), 0u);
    EXPECT_EQ(set.colourTable()[6], 160); // palette entry 1's red, 40 x 4

    // The same image again adds nothing.
    EXPECT_EQ(ImportImage(set, image, {}).added, 0);
}

TEST(ImportImage, PngRoundTripAndGreyValues) {
    kesh::test::PngRecipe recipe{.width = 4, .height = 2, .colourType = PNG_COLOR_TYPE_GRAY};
    recipe.samples = {1, 2, 9, 9, 3, 4, 9, 9};
    Image image;
    ASSERT_TRUE(ReadImage(kesh::test::MakePng(recipe), image));
    TileSet set = EmptySet(2, 2);
    const ImportResult result = ImportImage(set, image, {.makeMap = true});
    EXPECT_EQ(result.cells, (std::vector<uint16_t>{0, 1}));
    EXPECT_EQ(Bytes(set.tiles().PixelsAt(0), set.tiles().PixelsAt(0) + 4), (Bytes{1, 2, 3, 4}));
}

TEST(ImportImage, TrueColourMustMatchTheDisplayColoursOrTakeTheNearest) {
    TileSet set = EmptySet(2, 1);
    Palette palette;
    palette.rgb[3 * 3] = 10; // entries 3 and 4 both (40, 0, 0): the lower wins
    palette.rgb[3 * 4] = 10;
    palette.rgb[3 * 5 + 1] = 20; // (0, 80, 0)
    set.SetPalette(palette);
    ImportResult result = ImportImage(set, RgbImage(2, 1, {40, 0, 0, 0, 80, 0}), {});
    ASSERT_TRUE(result.status);
    EXPECT_EQ(Bytes(set.tiles().PixelsAt(0), set.tiles().PixelsAt(0) + 2), (Bytes{3, 5}));
    EXPECT_EQ(result.changedPixels, 0);

    const TileSetState before(set);
    result = ImportImage(set, RgbImage(4, 1, {40, 0, 0, 0, 80, 0, 0, 80, 0, 41, 1, 0}), {});
    EXPECT_EQ(result.status.message(), std::string(msg::kColourNotInPalette) + " (3, 0): #290100");
    EXPECT_EQ(TileSetState(set), before);

    // (20, 0, 0) is as far from black (0) as from (40, 0, 0): the lower index, 0.
    result = ImportImage(set, RgbImage(4, 1, {41, 1, 0, 20, 0, 0, 0, 70, 0, 0, 80, 0}),
                         {.nearest = true});
    ASSERT_TRUE(result.status);
    EXPECT_EQ(result.changedPixels, 3);
    EXPECT_EQ(Bytes(set.tiles().PixelsAt(1), set.tiles().PixelsAt(1) + 2), (Bytes{3, 0}));
    EXPECT_EQ(Bytes(set.tiles().PixelsAt(2), set.tiles().PixelsAt(2) + 2), (Bytes{5, 5}));
}

TEST(ImportImage, SizesThatAreNotWholeTilesNeedPadding) {
    TileSet set = EmptySet(2, 2);
    Image image;
    image.m_width = 3;
    image.m_height = 1;
    image.m_pixelCount = 3;
    image.m_pixels = {1, 2, 3};
    const TileSetState before(set);
    EXPECT_EQ(ImportImage(set, image, {}).status.message(), msg::kImageNotTileMultiple);
    EXPECT_EQ(TileSetState(set), before);

    const ImportResult result = ImportImage(set, image, {.makeMap = true, .pad = true});
    EXPECT_EQ(result.cells, (std::vector<uint16_t>{0, 1}));
    EXPECT_EQ(Bytes(set.tiles().PixelsAt(0), set.tiles().PixelsAt(0) + 4), (Bytes{1, 2, 0, 0}));
    EXPECT_EQ(Bytes(set.tiles().PixelsAt(1), set.tiles().PixelsAt(1) + 4), (Bytes{3, 0, 0, 0}));
}

TEST(ImportImage, AFullSetKeepsWhatFitsWithoutAMapAndNothingWithOne) {
    // 256 x 256 tiles: the pool holds 10 x floor(327,680 / 65,552) = 40.
    TileSet set = EmptySet(256, 256);
    const int64_t capacity = set.tiles().capacity();
    ASSERT_LT(capacity, 50);
    std::vector<int> grid(50);
    for (int i = 0; i < 50; ++i)
        grid[size_t(i)] = i;
    const Image image = ImageOfTiles(256, 256, 10, 5, grid);

    const TileSetState before(set);
    ImportResult result = ImportImage(set, image, {.takePalette = true, .makeMap = true});
    EXPECT_EQ(result.status.message(), msg::kTileSetFull);
    EXPECT_EQ(TileSetState(set), before);

    result = ImportImage(set, image, {});
    EXPECT_TRUE(result.status);
    EXPECT_TRUE(result.setFull);
    EXPECT_EQ(result.added, capacity);
    EXPECT_EQ(set.count(), capacity);
}
