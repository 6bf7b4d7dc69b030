// Damaged PCX and BMP files: each is refused with its format's message and
// leaves the image record as it was, or, where the format says missing data
// reads as 0xFF, gives a whole image of the size the header says.
#include <gtest/gtest.h>

#include "base/Messages.h"
#include "raster/ImageDecoders.h"
#include "support/ReaderState.h"

using namespace kesh;

using Bytes = std::vector<uint8_t>;

namespace {

void Put16(Bytes& b, size_t at, int v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put32(Bytes& b, size_t at, uint32_t v) {
    for (size_t i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

// Header with the given corners and bytes per line, `data`, marker, palette.
Bytes Pcx(int xMin, int yMin, int xMax, int yMax, int bytesPerLine, Bytes data, int encoding = 1,
          int bitsPerPixel = 8) {
    Bytes b(128, 0);
    b[0] = 10;
    b[1] = 5;
    b[2] = uint8_t(encoding);
    b[3] = uint8_t(bitsPerPixel);
    Put16(b, 4, xMin);
    Put16(b, 6, yMin);
    Put16(b, 8, xMax);
    Put16(b, 10, yMax);
    b[65] = 1;
    Put16(b, 66, bytesPerLine);
    b.insert(b.end(), data.begin(), data.end());
    b.push_back(0x0C);
    for (int i = 0; i < 768; ++i)
        b.push_back(uint8_t(i));
    return b;
}

// Headers and colour table; the file size field is `fileSize` (default: the real size).
Bytes Bmp(int32_t width, int32_t height, Bytes rows, int bits = 8, uint32_t compression = 0) {
    Bytes b(1078, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, uint32_t(1078 + rows.size()));
    Put32(b, 10, 1078);
    Put32(b, 14, 40);
    Put32(b, 18, uint32_t(width));
    Put32(b, 22, uint32_t(height));
    Put16(b, 26, 1);
    Put16(b, 28, bits);
    Put32(b, 30, compression);
    for (size_t i = 0; i < 1024; ++i)
        b[54 + i] = uint8_t(i * 3);
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

Image OldImage() {
    Image image;
    image.m_width = 2;
    image.m_height = 1;
    image.m_pixelCount = 2;
    image.m_palette.rgb[0] = 63;
    image.m_pixels = {5, 6};
    return image;
}

using Loader = Status (*)(std::span<const uint8_t>, Image&);

void ExpectRefused(Loader load, const Bytes& bytes, const char* message) {
    Image image = OldImage();
    const Status st = load(bytes, image);
    ASSERT_FALSE(st) << bytes.size() << " bytes";
    EXPECT_EQ(st.message(), message);
    EXPECT_EQ(test::ImageState(image), test::ImageState(OldImage()));
}

Image ExpectLoaded(Loader load, const Bytes& bytes, int32_t width, int32_t height) {
    Image image = OldImage();
    EXPECT_TRUE(load(bytes, image)) << bytes.size() << " bytes";
    EXPECT_EQ(image.m_width, width);
    EXPECT_EQ(image.m_height, height);
    EXPECT_EQ(image.m_pixelCount, width * height);
    EXPECT_EQ(image.m_pixels.size(), size_t(width) * size_t(height));
    return image;
}

} // namespace

TEST(MalformedPcx, TruncatedAtEveryOffset) {
    // 6 x 4 in runs of 3; the file needs a header and a palette's worth of bytes,
    // past that missing runs read as 0xFF and the palette is the last 768 bytes.
    const Bytes pcx = Pcx(0, 0, 5, 3, 6, {0xC3, 1, 0xC3, 2, 0xC3, 3, 0xC3, 4, 0xC6, 5, 0xC6, 6});
    for (size_t n = 0; n < pcx.size(); ++n) {
        const Bytes cut(pcx.begin(), pcx.begin() + std::ptrdiff_t(n));
        if (n < 768)
            ExpectRefused(LoadPcx, cut, msg::kPcxOnly);
        else
            ExpectLoaded(LoadPcx, cut, 6, 4);
    }
}

TEST(MalformedPcx, SizesLargerThanTheFileAreFilledWith0xFF) {
    for (const int encoding : {0, 1, 7}) {
        const Image image =
            ExpectLoaded(LoadPcx, Pcx(0, 0, 199, 99, 200, {1, 2}, encoding), 200, 100);
        EXPECT_EQ(image.m_pixels.back(), 0xFF);
        EXPECT_EQ(image.m_palette.rgb[767], 0xFF >> 2);
    }
}

TEST(MalformedPcx, ZeroAndNegativeSizes) {
    ExpectRefused(LoadPcx, Pcx(0, 0, -1, 3, 0, {}), msg::kPcxOnly);  // width 0
    ExpectRefused(LoadPcx, Pcx(10, 0, 5, 3, -4, {}), msg::kPcxOnly); // width -4
    ExpectRefused(LoadPcx, Pcx(0, 0, 3, -1, 4, {}), msg::kPcxOnly);  // height 0
    ExpectRefused(LoadPcx, Pcx(0, 5, 3, 0, 4, {}), msg::kPcxOnly);   // height -4
    ExpectRefused(LoadPcx, Pcx(0, 0, 3, 3, 0, {}), msg::kPcxOnly);   // no bytes per line
    // The widest header: 65,536 pixels per line can't match a 16-bit bytes per line.
    ExpectRefused(LoadPcx, Pcx(-32768, 0, 32767, 0, -1, {}), msg::kPcxOnly);
}

TEST(MalformedPcx, OtherDepthsAndEmptyFiles) {
    for (const int bits : {0, 1, 2, 4, 16, 24, 255})
        ExpectRefused(LoadPcx, Pcx(0, 0, 3, 3, 4, {}, 1, bits), msg::kPcxOnly);
    ExpectRefused(LoadPcx, {}, msg::kPcxOnly);
    ExpectRefused(LoadPcx, Bytes(128, 0), msg::kPcxOnly);
}

TEST(MalformedBmp, TruncatedAtEveryOffset) {
    // 3 x 2 with rows of 4 bytes; without the headers and colour table it is
    // refused, without pixel bytes those read as 0xFF.
    const Bytes bmp = Bmp(3, 2, {1, 2, 3, 0, 4, 5, 6, 0});
    for (size_t n = 0; n < bmp.size(); ++n) {
        const Bytes cut(bmp.begin(), bmp.begin() + std::ptrdiff_t(n));
        if (n < 1078) {
            ExpectRefused(LoadBmp, cut, msg::kBmpOnly);
        } else {
            const Image image = ExpectLoaded(LoadBmp, cut, 3, 2);
            EXPECT_EQ(image.m_pixels[0], n >= 1078 + 5 ? 4 : 0xFF); // top row is the second
        }
    }
}

TEST(MalformedBmp, SizesAndOffsetsBeyondTheFile) {
    Bytes big = Bmp(300, 200, {7, 7});
    Put32(big, 2, 1078 + 300 * 200);
    Image image = ExpectLoaded(LoadBmp, big, 300, 200);
    EXPECT_EQ(image.m_pixels[199 * 300], 7);
    EXPECT_EQ(image.m_pixels[0], 0xFF);

    Bytes farOffset = Bmp(4, 4, {});
    Put32(farOffset, 10, 0x7FFFFFFF);
    Put32(farOffset, 2, 0xFFFFFFFF);
    ExpectLoaded(LoadBmp, farOffset, 4, 4);

    Bytes sizeBelowOffset = Bmp(4, 4, Bytes(16, 1));
    Put32(sizeBelowOffset, 2, 10); // the stride wraps around
    ExpectLoaded(LoadBmp, sizeBelowOffset, 4, 4);
}

TEST(MalformedBmp, ZeroNegativeAndHugeSizes) {
    ExpectRefused(LoadBmp, Bmp(0, 4, {}), msg::kBmpOnly);
    ExpectRefused(LoadBmp, Bmp(4, 0, {}), msg::kBmpOnly);
    ExpectRefused(LoadBmp, Bmp(-4, 4, {}), msg::kBmpOnly);
    ExpectLoaded(LoadBmp, Bmp(4, -4, {}), 4, 4); // top-down
    ExpectRefused(LoadBmp, Bmp(INT32_MIN, INT32_MIN, {}), msg::kBmpOnly);
    ExpectRefused(LoadBmp, Bmp(INT32_MAX, INT32_MAX, {}), msg::kBmpOnly);
    ExpectRefused(LoadBmp, Bmp(INT32_MAX, 2, {}), msg::kBmpOnly);
    ExpectRefused(LoadBmp, Bmp(65536, 32768, {}), msg::kBmpOnly); // 2^31 pixels
}

TEST(MalformedBmp, OtherKindsAndEmptyFiles) {
    for (const int bits : {0, 2, 16, 24, 32})
        ExpectRefused(LoadBmp, Bmp(2, 2, Bytes(8, 0), bits), msg::kBmpOnly);
    for (const uint32_t compression : {2u, 3u, 0xFFFFFFFFu})
        ExpectRefused(LoadBmp, Bmp(2, 2, Bytes(8, 0), 8, compression), msg::kBmpOnly);
    Bytes notBm = Bmp(2, 2, Bytes(8, 0));
    notBm[1] = 'A';
    ExpectRefused(LoadBmp, notBm, msg::kBmpOnly);
    ExpectRefused(LoadBmp, {}, msg::kBmpOnly);
}
