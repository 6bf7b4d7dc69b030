// The image readers behind ReadImage: PNG of every kind, the BMP variants and
// the palette files.
#include <gtest/gtest.h>
#include <zlib.h>

#include "base/Messages.h"
#include "image/PaletteFile.h"
#include "raster/ImageDecoders.h"
#include "support/ReaderState.h"
#include "support/TestImages.h"

// Designated initializers name only the fields a case cares about.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace kesh;
using kesh::test::ImageBytes;
using kesh::test::MakeBmp;
using kesh::test::MakePng;
using kesh::test::PngRecipe;
using Bytes = std::vector<uint8_t>;

namespace {

Image Read(const ImageBytes& bytes) {
    Image image;
    const Status st = ReadImage(bytes, image);
    EXPECT_TRUE(st) << st.message();
    return image;
}

std::vector<png_color> Colours(int n) {
    std::vector<png_color> p;
    for (int i = 0; i < n; ++i)
        p.push_back({uint8_t(4 * i), uint8_t(255 - i), uint8_t(i * 3 % 256)});
    return p;
}

// Four entries of blue, green, red, 0: entry i = (red 4i+4, green 8, blue 12).
Bytes Table(int entries, int entryBytes = 4) {
    Bytes t;
    for (int i = 0; i < entries; ++i) {
        t.push_back(12);
        t.push_back(8);
        t.push_back(uint8_t(4 * i + 4));
        if (entryBytes == 4)
            t.push_back(0);
    }
    return t;
}

} // namespace

TEST(PngReader, PaletteImagesOfEveryDepthGiveTheirIndicesAndPalette) {
    for (const int depth : {1, 2, 4, 8}) {
        for (const bool interlaced : {false, true}) {
            PngRecipe recipe{.width = 5, .height = 3, .bitDepth = depth, .interlaced = interlaced};
            const int colours = 1 << depth;
            recipe.palette = Colours(std::min(colours, 256));
            for (int i = 0; i < 15; ++i)
                recipe.samples.push_back(uint8_t((i * 7) % colours));
            const Image image = Read(MakePng(recipe));
            EXPECT_TRUE(image.hasPalette() && image.hasIndices());
            EXPECT_EQ(image.m_width, 5);
            EXPECT_EQ(image.m_height, 3);
            EXPECT_EQ(image.m_pixels, recipe.samples) << depth;
            EXPECT_EQ(image.m_palette.rgb[3], 1);       // 4 / 4
            EXPECT_EQ(image.m_palette.rgb[4], 254 / 4); // (255 - 1) / 4
            if (colours < 256) {
                EXPECT_EQ(image.m_palette.rgb[3 * size_t(colours) + 1], 0); // past the palette
            }
        }
    }
}

TEST(PngReader, GreyGivesGreyValuesAndTrueColourGivesRgb) {
    PngRecipe grey{.width = 4, .height = 1, .colourType = PNG_COLOR_TYPE_GRAY, .bitDepth = 2};
    grey.samples = {0, 1, 2, 3};
    Image image = Read(MakePng(grey));
    EXPECT_EQ(image.m_kind, PixelKind::Grey);
    EXPECT_EQ(image.m_pixels, (Bytes{0, 85, 170, 255}));
    EXPECT_EQ(image.m_palette.rgb[3 * 200], 50);

    PngRecipe grey16{
        .width = 2, .height = 1, .colourType = PNG_COLOR_TYPE_GRAY_ALPHA, .bitDepth = 16};
    grey16.samples = {0x12, 0x34, 0xFF, 0xFF, 0xAB, 0xCD, 0, 0};
    EXPECT_EQ(Read(MakePng(grey16)).m_pixels, (Bytes{0x12, 0xAB}));

    PngRecipe rgba{.width = 2, .height = 1, .colourType = PNG_COLOR_TYPE_RGB_ALPHA};
    rgba.samples = {1, 2, 3, 0, 250, 251, 252, 255};
    image = Read(MakePng(rgba));
    EXPECT_FALSE(image.hasIndices());
    EXPECT_TRUE(image.m_pixels.empty());
    EXPECT_EQ(image.m_rgb, (Bytes{1, 2, 3, 250, 251, 252}));
}

TEST(PngReader, DamagedFilesAreRefusedAndLeaveTheImage) {
    PngRecipe recipe{.width = 16, .height = 16};
    recipe.palette = Colours(4);
    recipe.samples.assign(256, 3);
    const ImageBytes png = MakePng(recipe);
    Image image;
    image.m_pixels = {9};
    const auto before = test::ImageState(image);
    for (size_t n = 0; n + 12 < png.size(); n += 3) { // IEND may be missing
        const ImageBytes cut(png.begin(), png.begin() + std::ptrdiff_t(n));
        const Status st = ReadImage(cut, image);
        ASSERT_FALSE(st) << n;
        EXPECT_TRUE(st.message() == msg::kPngDamaged || st.message() == msg::kImageUnsupported);
        EXPECT_EQ(test::ImageState(image), before);
    }
    ImageBytes badCrc = png;
    badCrc[29] ^= 1; // inside the IHDR checksum
    EXPECT_EQ(ReadImage(badCrc, image).message(), msg::kPngDamaged);

    // A header claiming 2^15 x 2^15 pixels is refused before anything is made.
    recipe.width = recipe.height = 1;
    recipe.samples = {0};
    ImageBytes huge = MakePng(recipe);
    test::PutLE(huge, 16, 0x00800000, 4); // big-endian 32768
    test::PutLE(huge, 20, 0x00800000, 4);
    const uint32_t crc = uint32_t(crc32(crc32(0, nullptr, 0), huge.data() + 12, 17));
    for (int i = 0; i < 4; ++i)
        huge[29 + size_t(i)] = uint8_t(crc >> (24 - 8 * i));
    const Status st = ReadImage(huge, image);
    EXPECT_FALSE(st);
    EXPECT_EQ(test::ImageState(image), before);
}

TEST(ReadImage, PicksTheDecoderByContent) {
    Image image;
    EXPECT_EQ(ReadImage(Bytes{'G', 'I', 'F', '8'}, image).message(), msg::kImageUnsupported);
    EXPECT_EQ(ReadImage(Bytes{'B', 'M', 0}, image).message(), msg::kBmpOnly);
    EXPECT_EQ(ReadImage(Bytes{10, 5, 1}, image).message(), msg::kPcxOnly);
}

TEST(BmpReader, EveryHeaderReadsItsColourTableAfterItself) {
    // Colours used 2: entries 2 to 255 are black, whatever follows the table.
    for (const uint32_t infoSize : {40u, 52u, 56u, 64u, 108u, 124u}) {
        const Bytes pixels = {1, 0, 0, 0, 0, 1, 0, 0}; // 2 x 2, rows of 4, bottom first
        const Image image = Read(MakeBmp(infoSize, 2, 2, 8, 0, 2, Table(2), pixels));
        EXPECT_EQ(image.m_pixels, (Bytes{0, 1, 1, 0})) << infoSize;
        EXPECT_EQ(image.m_palette.rgb[0], 1); // red 4 / 4
        EXPECT_EQ(image.m_palette.rgb[3], 2); // red 8 / 4
        EXPECT_EQ(image.m_palette.rgb[5], 3); // blue 12 / 4
        EXPECT_EQ(image.m_palette.rgb[6], 0);
        EXPECT_EQ(image.m_palette.rgb[8], 0);
    }
    // A version 5 header with the full table, as image editors write it.
    const Image v5 = Read(MakeBmp(124, 1, 1, 8, 0, 0, Table(256), {255, 0, 0, 0}));
    EXPECT_EQ(v5.m_pixels, Bytes{255});
    EXPECT_EQ(v5.m_palette.rgb[3 * 255], (4 * 255 + 4) % 256 / 4);
    EXPECT_EQ(v5.m_palette.rgb[3 * 255 + 2], 3);
}

TEST(BmpReader, Os2TopDownAndPackedPixels) {
    const Image os2 = Read(MakeBmp(12, 2, 2, 8, 0, 0, Table(256, 3), {1, 2, 0, 0, 3, 4, 0, 0}));
    EXPECT_EQ(os2.m_pixels, (Bytes{3, 4, 1, 2}));
    EXPECT_EQ(os2.m_palette.rgb[3], 2);

    const Image topDown = Read(MakeBmp(40, 2, -2, 8, 0, 0, Table(256), {1, 2, 0, 0, 3, 4, 0, 0}));
    EXPECT_EQ(topDown.m_pixels, (Bytes{1, 2, 3, 4}));

    const Image oneBit =
        Read(MakeBmp(40, 10, 1, 1, 0, 0, Table(2), {0b10110000, 0b01000000, 0, 0}));
    EXPECT_EQ(oneBit.m_pixels, (Bytes{1, 0, 1, 1, 0, 0, 0, 0, 0, 1}));
    const Image fourBit = Read(MakeBmp(40, 3, 1, 4, 0, 0, Table(16), {0x5F, 0x20, 0, 0}));
    EXPECT_EQ(fourBit.m_pixels, (Bytes{5, 15, 2}));
    EXPECT_EQ(fourBit.m_palette.rgb[3 * 16], 0); // 16 entries only
}

TEST(BmpReader, Rle8RunsLiteralsDeltasAndLineEnds) {
    // 4 x 3, bottom row first.
    const Bytes rle = {3, 7, 0, 0,       // bottom row: 7 7 7, end of line
                       0, 3, 1, 2, 3, 0, // middle row: literal 1 2 3, padded
                       0, 2, 1, 1,       // delta to x 4 of the top row
                       0, 0, 0, 1};      // end of line (past the top), end of bitmap
    Image image = Read(MakeBmp(40, 4, 3, 8, 1, 0, Table(256), rle));
    EXPECT_EQ(image.m_pixels, (Bytes{0, 0, 0, 0, 1, 2, 3, 0, 7, 7, 7, 0}));

    const Bytes runs = {2, 5, 0, 2, 1, 1, 9, 6, 0, 1};
    image = Read(MakeBmp(40, 4, 2, 8, 1, 0, Table(256), runs));
    EXPECT_EQ(image.m_pixels, (Bytes{0, 0, 0, 6, 5, 5, 0, 0}));

    // Data that ends early leaves the rest 0; a top-down RLE8 is refused.
    image = Read(MakeBmp(40, 2, 2, 8, 1, 0, Table(256), {2, 9, 0}));
    EXPECT_EQ(image.m_pixels, (Bytes{0, 0, 9, 9}));
    EXPECT_FALSE(ReadImage(MakeBmp(40, 2, -2, 8, 1, 0, Table(256), {2, 9}), image));
}

TEST(BmpReader, OtherKindsAndShortTablesAreRefused) {
    Image image;
    const auto refused = [&](const ImageBytes& b) {
        const Status st = LoadBmp(b, image);
        return !st && st.message() == msg::kBmpOnly;
    };
    EXPECT_TRUE(refused(MakeBmp(40, 2, 2, 24, 0, 0, {}, Bytes(16, 0))));
    EXPECT_TRUE(refused(MakeBmp(40, 2, 2, 4, 1, 0, Table(16), Bytes(16, 0)))); // RLE8 of 4 bits
    EXPECT_TRUE(refused(MakeBmp(40, 2, 2, 4, 2, 0, Table(16), Bytes(16, 0)))); // RLE4
    EXPECT_TRUE(refused(MakeBmp(44, 2, 2, 8, 0, 0, Table(256), Bytes(8, 0))));
    EXPECT_TRUE(refused(MakeBmp(40, 2, 2, 8, 0, 200, Table(100), {}))); // table past the end
    EXPECT_TRUE(image.m_pixels.empty());
}

TEST(PaletteFile, GimpAndJascFiles) {
    const std::string gimp = "GIMP Palette\nName: Town\nColumns: 4\n# comment\n"
                             "255 0   4\tred\n  8 16 252 blue\n\n";
    Palette palette;
    ASSERT_TRUE(LoadPaletteFile(Bytes(gimp.begin(), gimp.end()), palette));
    EXPECT_EQ(palette.rgb[0], 63);
    EXPECT_EQ(palette.rgb[2], 1);
    EXPECT_EQ(palette.rgb[5], 63);
    EXPECT_EQ(palette.rgb[6], 0);

    const std::string jasc = "JASC-PAL\r\n0100\r\n2\r\n4 8 12\r\n255 255 255\r\n";
    ASSERT_TRUE(LoadPaletteFile(Bytes(jasc.begin(), jasc.end()), palette));
    EXPECT_EQ(palette.rgb[1], 2);
    EXPECT_EQ(palette.rgb[3], 63);
    EXPECT_EQ(palette.rgb[6], 0);
}

TEST(PaletteFile, BadLinesAreNamedAndChangeNothing) {
    const std::pair<std::string, int> cases[] = {
        {"GIMP Palette\n1 2\n", 2},
        {"GIMP Palette\n1 2 256\n", 2},
        {"GIMP Palette\n1 2 x3\n", 2},
        {"GIMP Palette\n-1 2 3\n", 2},
        {"JASC-PAL\n0100\n3\n1 2 3\n4 5 6\n", 6},
        {"JASC-PAL\n0100\n1\n1 2 3\n4 5 6\n", 5},
        {"JASC-PAL\n0200\n1\n1 2 3\n", 2},
        {"JASC-PAL\n0100\n257\n", 3},
        {"JASC-PAL\n0100\n1\n1 2 3 4\n", 4},
        {"Palette\n", 1},
    };
    std::string many = "GIMP Palette\n";
    for (int i = 0; i < 257; ++i)
        many += "1 1 1\n";
    Palette palette;
    palette.rgb[0] = 5;
    for (const auto& [text, line] : cases) {
        const Status st = LoadPaletteFile(Bytes(text.begin(), text.end()), palette);
        EXPECT_EQ(st.message(), std::string(msg::kPaletteFileBadLine) + std::to_string(line))
            << text;
    }
    EXPECT_EQ(LoadPaletteFile(Bytes(many.begin(), many.end()), palette).message(),
              std::string(msg::kPaletteFileBadLine) + "258");
    EXPECT_EQ(palette.rgb[0], 5);
}
