#include <gtest/gtest.h>

#include "base/Messages.h"
#include "raster/ImageDecoders.h"
#include "tileset/TileSet.h"

using namespace kesh;

namespace {

void Put16(std::vector<uint8_t>& b, size_t at, int v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (size_t i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

// A PCX file: header, `data`, a marker byte and the 768-byte palette whose
// entry 0 is (255, 128, 4) and entry 1 (8, 16, 252).
std::vector<uint8_t> Pcx(int width, int height, std::vector<uint8_t> data, int encoding = 1,
                         int bytesPerLine = -1, int bitsPerPixel = 8) {
    std::vector<uint8_t> b(128, 0);
    b[0] = 10;
    b[2] = uint8_t(encoding);
    b[3] = uint8_t(bitsPerPixel);
    Put16(b, 4, 0);
    Put16(b, 6, 0);
    Put16(b, 8, width - 1);
    Put16(b, 10, height - 1);
    Put16(b, 66, bytesPerLine < 0 ? width : bytesPerLine);
    b.insert(b.end(), data.begin(), data.end());
    b.push_back(0x0C);
    std::vector<uint8_t> palette(768, 0);
    palette[0] = 255, palette[1] = 128, palette[2] = 4;
    palette[3] = 8, palette[4] = 16, palette[5] = 252;
    b.insert(b.end(), palette.begin(), palette.end());
    return b;
}

// An 8-bit BMP: headers, colour table (entry 0 = blue 4, green 128, red 255), `rows`.
// The file size field is pixel offset + `dataBytes` (the stride comes from it).
std::vector<uint8_t> Bmp(int32_t width, int32_t height, std::vector<uint8_t> rows,
                         uint32_t dataBytes, int bits = 8, uint32_t compression = 0) {
    std::vector<uint8_t> b(1078, 0);
    b[0] = 'B', b[1] = 'M';
    Put32(b, 2, 1078 + dataBytes);
    Put32(b, 10, 1078);
    Put32(b, 14, 40);
    Put32(b, 18, uint32_t(width));
    Put32(b, 22, uint32_t(height));
    Put16(b, 26, 1);
    Put16(b, 28, bits);
    Put32(b, 30, compression);
    b[54] = 4, b[55] = 128, b[56] = 255;
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

std::vector<uint8_t> Cut(const std::vector<uint8_t>& bytes, size_t n) {
    return std::vector<uint8_t>(bytes.begin(), bytes.begin() + std::ptrdiff_t(n));
}

} // namespace

TEST(PcxDecoder, PaletteComesFromTheLastBytesAsSixBitValues) {
    Image image;
    ASSERT_TRUE(LoadPcx(Pcx(2, 1, {5, 6}), image));
    EXPECT_EQ(image.m_width, 2);
    EXPECT_EQ(image.m_height, 1);
    EXPECT_EQ(image.m_pixelCount, 2);
    EXPECT_EQ(image.m_pixels, (std::vector<uint8_t>{5, 6}));
    EXPECT_EQ(image.m_palette.rgb[0], 63);
    EXPECT_EQ(image.m_palette.rgb[1], 32);
    EXPECT_EQ(image.m_palette.rgb[2], 1);

    TileSet set;
    set.SetPalette(image.m_palette);
    EXPECT_EQ(set.colourTable()[0], 4);   // blue
    EXPECT_EQ(set.colourTable()[1], 128); // green
    EXPECT_EQ(set.colourTable()[2], 252); // red
    EXPECT_EQ(set.colourTable()[3], 0);
    EXPECT_EQ(set.argbOf(1), 0xFF0810FCu);

    ReleaseImage(image);
    EXPECT_EQ(image.m_width, 0);
    EXPECT_EQ(image.m_pixelCount, 0);
    EXPECT_TRUE(image.m_pixels.empty());
    EXPECT_EQ(image.m_palette, Palette{});
}

TEST(PcxDecoder, RunLengthRules) {
    Image image;
    // 0xC1 0x07: one pixel 7. 0xC0 0x09: no pixel. 0xC3 0x02 runs across the
    // end of the first scan line. A plain byte below 0xC0 is one pixel.
    ASSERT_TRUE(LoadPcx(Pcx(2, 3, {0xC1, 0x07, 0xC0, 0x09, 0xC3, 0x02, 0x3F, 0x80}), image));
    EXPECT_EQ(image.m_pixels, (std::vector<uint8_t>{7, 2, 2, 2, 0x3F, 0x80}));
    // A run longer than the image is cut.
    ASSERT_TRUE(LoadPcx(Pcx(2, 1, {0xFF, 0x01}), image));
    EXPECT_EQ(image.m_pixels, (std::vector<uint8_t>{1, 1}));
}

TEST(PcxDecoder, DataEndingEarlyIsCompletedWith0xFF) {
    // 10,000 pixels from a file whose run-length data is only the palette
    // marker and the palette itself: the rest comes from the end of the file.
    Image image;
    ASSERT_TRUE(LoadPcx(Pcx(100, 100, {}), image));
    ASSERT_EQ(image.m_pixels.size(), 10000u);
    EXPECT_EQ(image.m_pixels[0], 0x0C);
    EXPECT_EQ(image.m_pixels.back(), 0xFF);
    EXPECT_EQ(image.m_palette.rgb[0], 63) << "the palette is still the last 768 bytes";
    // Uncompressed rows: straight copies; what the file lacks reads as 0xFF.
    ASSERT_TRUE(LoadPcx(Pcx(40, 40, {}, 0), image));
    EXPECT_EQ(image.m_pixels[0], 0x0C);
    EXPECT_EQ(image.m_pixels[1], 255);
    EXPECT_EQ(image.m_pixels[769], 0xFF);
    EXPECT_EQ(image.m_pixels[1599], 0xFF);
}

TEST(PcxDecoder, RefusesWhatItCannotRead) {
    const auto refused = [](const std::vector<uint8_t>& file) {
        Image image;
        image.m_width = 77;
        Status st = LoadPcx(file, image);
        EXPECT_EQ(image.m_width, 77) << "a failed decode leaves the record alone";
        return !st && st.message() == msg::kPcxOnly;
    };
    EXPECT_TRUE(refused(Pcx(3, 2, {0xC6, 1}, 1, 4))) << "odd width padded to an even line";
    EXPECT_TRUE(refused(Pcx(2, 2, {0xC4, 1}, 1, 2, 24)));
    EXPECT_TRUE(refused(Pcx(0, 2, {}, 1, 0)));
    EXPECT_TRUE(refused(Pcx(2, -3, {})));
    EXPECT_TRUE(refused(Cut(Pcx(2, 1, {1, 2}), 127))) << "shorter than its header";
    EXPECT_TRUE(refused(Pcx(32766, 16384, {}, 1))) << "half a gigabyte from a tiny file";
    EXPECT_TRUE(refused(Cut(Pcx(1, 1, {1}), 700))) << "no room for the palette";
}

TEST(BmpDecoder, StrideComesFromTheFileSize) {
    // 3 x 2, rows of 4 bytes, bottom row first: the fourth byte of each row is skipped.
    Image image;
    ASSERT_TRUE(LoadBmp(Bmp(3, 2, {1, 2, 3, 99, 4, 5, 6, 99}, 8), image));
    EXPECT_EQ(image.m_pixels, (std::vector<uint8_t>{4, 5, 6, 1, 2, 3}));
    EXPECT_EQ(image.m_palette.rgb[0], 63);
    EXPECT_EQ(image.m_palette.rgb[1], 32);
    EXPECT_EQ(image.m_palette.rgb[2], 1);
    // A file size claiming more than the file holds: missing bytes read as 0xFF.
    ASSERT_TRUE(LoadBmp(Bmp(3, 2, {1, 2, 3, 99, 4}, 8), image));
    EXPECT_EQ(image.m_pixels, (std::vector<uint8_t>{4, 0xFF, 0xFF, 1, 2, 3}));
    // A file size field below the pixel offset, or leaving rows shorter
    // than the width, can't describe the rows: they are padded to 4 bytes.
    std::vector<uint8_t> wrapped = Bmp(3, 2, {1, 2, 3, 0, 4, 5, 6, 0}, 8);
    Put32(wrapped, 2, 10);
    ASSERT_TRUE(LoadBmp(wrapped, image));
    EXPECT_EQ(image.m_pixels, (std::vector<uint8_t>{4, 5, 6, 1, 2, 3}));
    ASSERT_TRUE(LoadBmp(Bmp(3, 2, {1, 2, 3, 0, 4, 5, 6, 0}, 4), image));
    EXPECT_EQ(image.m_pixels, (std::vector<uint8_t>{4, 5, 6, 1, 2, 3}));
}

TEST(BmpDecoder, RefusesOtherKindsAndEmptyImages) {
    const auto refused = [](const std::vector<uint8_t>& file) {
        Image image;
        Status st = LoadBmp(file, image);
        return !st && st.message() == msg::kBmpOnly && image.m_pixels.empty();
    };
    const std::vector<uint8_t> rows{1, 2, 3, 0, 4, 5, 6, 0};
    EXPECT_TRUE(refused(Bmp(3, 2, rows, 8, 24)));
    EXPECT_TRUE(refused(Bmp(3, 2, rows, 8, 8, 2))) << "4-bit run-length compressed";
    EXPECT_TRUE(refused(Bmp(3, -2, rows, 8, 8, 1))) << "top-down and run-length compressed";
    EXPECT_TRUE(refused(Bmp(0, 2, rows, 8)));
    EXPECT_TRUE(refused(Bmp(3, 0, rows, 8))) << "nothing to divide the row length by";
    EXPECT_TRUE(refused(Bmp(70000, 70000, rows, 8)));
    // A tiny file must not make the decoder fill gigabytes.
    EXPECT_TRUE(refused(Bmp(65536, 32767, rows, 8))) << "over the pixel cap";
    EXPECT_TRUE(refused(Bmp(16385, 16384, rows, 8))) << "one row over the cap";
    std::vector<uint8_t> notBm = Bmp(3, 2, rows, 8);
    notBm[1] = 'A';
    EXPECT_TRUE(refused(notBm));
    EXPECT_TRUE(refused(Cut(Bmp(3, 2, rows, 8), 53)));
    EXPECT_TRUE(refused(Cut(Bmp(3, 2, rows, 8), 1000))) << "colour table cut short";
}

TEST(ImageKind, LastThreeCharactersLowerCased) {
    EXPECT_EQ(ImageKindOf("/art/TOWN.PCX"), ImageKind::Pcx);
    EXPECT_EQ(ImageKindOf("a.Bmp"), ImageKind::Bmp);
    EXPECT_EQ(ImageKindOf("a.pcx.bak"), ImageKind::Other);
    EXPECT_EQ(ImageKindOf("px"), ImageKind::Other);
}
