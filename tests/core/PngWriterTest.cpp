// The PNG writer compresses blocks of rows on several threads and joins them
// into one zlib stream: whatever the image's size, the file holds exactly its
// pixels for libpng (through kesh's own reader), for zlib's own inflate
// (which checks the stream's adler32) and for Pillow.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "base/Messages.h"
#include "raster/Adler32.h"
#include "raster/PngWriter.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "raster/ImageDecoders.h"

using namespace kesh;
using kesh::test::TempDir;
using Bytes = std::vector<uint8_t>;

namespace {

// Runs of one value, a gradient, and every third row noise that does not
// compress, so blocks end in every kind of deflate block.
uint8_t PixelAt(int64_t x, int64_t y) {
    if (y % 3 == 2) {
        uint32_t h = uint32_t(x * 2654435761u) ^ uint32_t(y * 40503u);
        h ^= h >> 13;
        return uint8_t(h * 0x5bd1e995u >> 24);
    }
    return y % 3 == 0 ? uint8_t(x / 37 + y) : uint8_t(x * 7 + y * 13);
}

const auto kRow = [](int64_t y, uint8_t* out, int64_t width) {
    for (int64_t x = 0; x < width; ++x)
        out[x] = PixelAt(x, y);
};

Bytes Indices(int64_t width, int64_t height) {
    Bytes pixels(size_t(width * height));
    for (int64_t y = 0; y < height; ++y)
        kRow(y, pixels.data() + y * width, width);
    return pixels;
}

uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// The IDAT chunks' data, inflated by zlib itself: the filtered rows, or
// nothing when the stream (its check value included) is not valid.
Bytes InflatedImageData(const Bytes& png) {
    Bytes stream;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = U32(&png[at]);
        if (std::string(png.begin() + at + 4, png.begin() + at + 8) == "IDAT")
            stream.insert(stream.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
        at += 12 + length;
    }
    z_stream zs{};
    inflateInit(&zs);
    Bytes out(1 << 20);
    zs.next_in = stream.data();
    zs.avail_in = uInt(stream.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        if (zs.total_out == out.size())
            out.resize(out.size() * 2);
        zs.next_out = out.data() + zs.total_out;
        zs.avail_out = uInt(out.size() - zs.total_out);
        rc = inflate(&zs, Z_NO_FLUSH);
    }
    out.resize(zs.total_out);
    const bool whole = rc == Z_STREAM_END && zs.avail_in == 0;
    inflateEnd(&zs);
    return whole ? out : Bytes();
}

Bytes FilteredRows(int64_t width, int64_t height) {
    Bytes rows;
    const Bytes pixels = Indices(width, height);
    for (int64_t y = 0; y < height; ++y) {
        rows.push_back(0);
        rows.insert(rows.end(), pixels.begin() + y * width, pixels.begin() + (y + 1) * width);
    }
    return rows;
}

struct Case {
    int64_t width, height;
    int level;
    const char* what;
};

// Rows go to the compressor in blocks of about 1 MiB of filtered rows.
const Case kCases[] = {
    {1, 1, 1, "one pixel, one block on the caller's thread"},
    {7, 3, 1, "odd sizes, one block"},
    {1023, 1024, 1, "exactly one block of 1024 rows"},
    {1023, 1025, 6, "two blocks, the last one row"},
    {2049, 1500, 1, "three blocks, odd width"},
    {3001, 1397, 9, "four blocks, level 9"},
    {1100001, 3, 1, "rows wider than a block: a block each"},
};

} // namespace

TEST(PngWriter, EveryBlockCountReadsBackAsItsPixels) {
    uint8_t table[1024];
    for (int i = 0; i < 1024; ++i)
        table[i] = uint8_t(i * 3 + 1);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        const auto png = EncodeIndexedPng(
            c.width, c.height, table, [&](int64_t y, uint8_t* out) { kRow(y, out, c.width); },
            c.level);
        ASSERT_TRUE(png);
        Image image;
        ASSERT_TRUE(ReadImage(*png, image));
        EXPECT_EQ(image.m_width, c.width);
        EXPECT_EQ(image.m_height, c.height);
        EXPECT_TRUE(image.m_pixels == Indices(c.width, c.height));
        EXPECT_EQ(image.m_palette.rgb[0], table[2] >> 2); // blue, green, red, 0 in the table
        EXPECT_EQ(image.m_palette.rgb[767], table[1020] >> 2);
        EXPECT_TRUE(InflatedImageData(*png) == FilteredRows(c.width, c.height));
    }
    // No block at all: an image without pixels is no PNG.
    EXPECT_FALSE(EncodeIndexedPng(0, 5, table, [](int64_t, uint8_t*) {}));
    EXPECT_FALSE(EncodeIndexedPng(5, 0, table, [](int64_t, uint8_t*) {}));
}

TEST(PngWriter, PillowReadsTheFiles) {
    if (std::string(KESH_TEST_PYTHON).empty()) {
        ASSERT_EQ(std::getenv("KESH_REQUIRE_READER_TOOLS"), nullptr) << "no python3";
        GTEST_SKIP() << "no python3";
    }
    TempDir dir;
    uint8_t table[1024] = {};
    std::string args;
    for (const Case& c : kCases) {
        const std::string name = dir.file(std::to_string(c.width) + "x" + std::to_string(c.height));
        ASSERT_TRUE(WriteIndexedPng(
            FileSystem::Native(), name + ".png", c.width, c.height, table,
            [&](int64_t y, uint8_t* out) { kRow(y, out, c.width); }, c.level));
        kesh::test::WriteBytes(name + ".raw", Indices(c.width, c.height));
        args += " '" + name + "'";
    }
    const std::string script = dir.file("check.py");
    std::ofstream(script) << "import sys\n"
                             "try:\n"
                             "    from PIL import Image\n"
                             "except ImportError:\n"
                             "    sys.exit(3)\n"
                             "bad = 0\n"
                             "for name in sys.argv[1:]:\n"
                             "    with Image.open(name + '.png') as im:\n"
                             "        im.load()\n"
                             "        ok = im.mode == 'P' and im.tobytes() == open(name + '.raw', "
                             "'rb').read()\n"
                             "    print(name, 'ok' if ok else 'differs')\n"
                             "    bad += not ok\n"
                             "sys.exit(1 if bad else 0)\n";
    const std::string log = dir.file("log");
    const int rc = std::system(
        (std::string(KESH_TEST_PYTHON) + " '" + script + "'" + args + " >'" + log + "' 2>&1")
            .c_str());
    std::ifstream in(log);
    const std::string output((std::istreambuf_iterator<char>(in)), {});
    if (WIFEXITED(rc) && WEXITSTATUS(rc) == 3) {
        ASSERT_EQ(std::getenv("KESH_REQUIRE_READER_TOOLS"), nullptr) << "no Pillow (python3-pil)";
        GTEST_SKIP() << "no Pillow (python3-pil)";
    }
    EXPECT_EQ(rc, 0) << output; // the file refused, or other pixels
}

TEST(PngWriter, AFailedWriteOfManyBlocksLeavesNoFile) {
    TempDir dir;
    uint8_t table[1024] = {};
    kesh::test::FaultyFileSystem fs;
    fs.fault = kesh::test::FaultyFileSystem::Fault::Write;
    fs.writeBudget = 3 << 20;
    const Status st = WriteIndexedPng(fs, dir.file("a.png"), 4000, 4000, table,
                                      [](int64_t y, uint8_t* out) { kRow(y, out, 4000); });
    EXPECT_EQ(st.message(), std::string(msg::kSaveFailed) + "\n" + dir.file("a.png"));
    EXPECT_TRUE(dir.entries().empty());
}

// The check value is summed sixteen bytes at a time and reduced once a run of
// 5,536: at every length around a run's end, from any starting value, with
// bytes that make the sums as large as they get, it is zlib's.
TEST(PngWriter, Adler32IsZlibs) {
    Bytes noise(3 * 5552 + 40), full(noise.size(), 0xFF);
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = PixelAt(int64_t(i), 2);
    for (const Bytes* bytes : {&noise, &full})
        for (const uint32_t start : {1u, 0xFFF0FFF0u, 0x12345678u})
            for (size_t size : {size_t(0), size_t(1), size_t(15), size_t(16), size_t(17),
                                size_t(5535), size_t(5536), size_t(5537), size_t(5552),
                                size_t(5553), size_t(11072), size_t(11090), noise.size()})
                EXPECT_EQ(Adler32(start, bytes->data(), size),
                          uint32_t(adler32(start, bytes->data(), uInt(size))))
                    << size << " from " << start;
}
