#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "layout/CodeGenEncodings.h"
#include "support/HardwareTiles.h"
#include "support/TempDir.h"

// The generated readers' decoding, compiled with the system's C compiler and
// run with python3 as the other reader tests are (skipped without the tool,
// unless KESH_REQUIRE_READER_TOOLS is set), must give back the hand-worked
// tiles and colours and whatever kesh encodes.

using namespace kesh;
using test::TempDir;

namespace {

constexpr const char* kDriverC = R"(
int main(void)
{
    static unsigned char in[8192], px[8192];
    unsigned char rgb[3];
    int kind, e, w, h, n, i, v;
    while (scanf("%d %d %d %d %d", &kind, &e, &w, &h, &n) == 5) {
        for (i = 0; i < n; ++i) {
            if (scanf("%d", &v) != 1)
                return 1;
            in[i] = (unsigned char)v;
        }
        if (kind == 0) {
            kesh_decode_tile(e, in, w, h, px);
            for (i = 0; i < w * h; ++i)
                printf(i ? " %d" : "%d", px[i]);
        } else {
            kesh_decode_colour(e, in, rgb);
            printf("%d %d %d", rgb[0], rgb[1], rgb[2]);
        }
        printf("\n");
    }
    return 0;
}
)";

constexpr const char* kDriverPython = R"(
import sys
for line in sys.stdin:
    kind, e, w, h, n, *data = (int(v) for v in line.split())
    if kind == 0:
        print(" ".join(str(p) for p in decode_tile(e, bytes(data), w, h)))
    else:
        print(" ".join(str(c) for c in decode_colour(e, bytes(data))))
)";

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool ToolsRequired() {
    const char* value = std::getenv("KESH_REQUIRE_READER_TOOLS");
    return value != nullptr && *value != '\0' && std::string(value) != "0";
}

// Lines for the drivers ("kind encoding width height n bytes...") and the
// lines a correct decoder prints for them.
struct Script {
    std::string input, expected;

    void tile(PixelEncoding e, int w, int h, const std::vector<uint8_t>& bytes,
              const std::vector<uint8_t>& pixels) {
        line(0, int(e), w, h, bytes);
        for (size_t i = 0; i < pixels.size(); ++i)
            expected += (i ? " " : "") + std::to_string(pixels[i]);
        expected += "\n";
    }
    void colour(ColourEncoding e, const std::vector<uint8_t>& bytes, Rgb shown) {
        line(1, int(e), 0, 0, bytes);
        expected += std::to_string(shown.r) + " " + std::to_string(shown.g) + " " +
                    std::to_string(shown.b) + "\n";
    }
    void line(int kind, int e, int w, int h, const std::vector<uint8_t>& bytes) {
        input += std::to_string(kind) + " " + std::to_string(e) + " " + std::to_string(w) + " " +
                 std::to_string(h) + " " + std::to_string(bytes.size());
        for (uint8_t b : bytes)
            input += " " + std::to_string(b);
        input += "\n";
    }
};

// The hand-worked tiles and colours, random tiles of 8 x 8 and 16 x 16 in
// every encoding as kesh encodes them, and every NES index (the generated
// table must be kesh's; unlike kesh's display it shows repeats as they are).
Script Cases() {
    Script s;
    for (const test::HandTile& t : test::HandTiles()) {
        const int w = t.encoding == PixelEncoding::Byte8 ? 4 : 8;
        s.tile(t.encoding, w, int(t.pixels.size()) / w, test::HexBytes(t.bytes), t.pixels);
    }
    std::mt19937 random(2026);
    for (int e = 0; e < kPixelEncodingCount; ++e)
        for (int side : {8, 16}) {
            const auto encoding = PixelEncoding(e);
            std::vector<uint8_t> pixels(size_t(side * side));
            for (uint8_t& p : pixels)
                p = uint8_t(random() & LargestPixel(encoding));
            std::vector<uint8_t> bytes(EncodedTileBytes(encoding, side, side));
            EncodeTile(encoding, side, side, pixels.data(), bytes.data());
            s.tile(encoding, side, side, bytes, pixels);
        }
    for (const test::HandColour& c : test::HandColours())
        if (c.encoding != ColourEncoding::Nes)
            s.colour(c.encoding, test::HexBytes(c.bytes), c.shown);
    for (uint8_t i = 0; i < 64; ++i)
        s.colour(ColourEncoding::Nes, {i}, NesMasterPalette()[i]);
    return s;
}

} // namespace

TEST(CodeGenEncodingsTest, GeneratedCDecodesAsKeshDoes) {
    if (std::string(KESH_TEST_CC).empty()) {
        ASSERT_FALSE(ToolsRequired()) << "no C compiler was found when kesh was configured";
        GTEST_SKIP() << "no C compiler";
    }
    TempDir dir;
    std::ofstream(dir.file("driver.c")) << "#include <stdio.h>\n#include <string.h>\n"
                                        << codegen::CEncodingFunctions() << kDriverC;
    const Script script = Cases();
    std::ofstream(dir.file("in.txt")) << script.input;
    const std::string exe = dir.file("driver"), log = dir.file("log.txt");
    const std::string compile = std::string(KESH_TEST_CC) +
                                " -std=c99 -Wall -Wextra -pedantic -Werror '" +
                                dir.file("driver.c") + "' -o '" + exe + "' >'" + log + "' 2>&1";
    ASSERT_EQ(std::system(compile.c_str()), 0) << ReadText(log);
    const std::string run =
        "'" + exe + "' <'" + dir.file("in.txt") + "' >'" + dir.file("out.txt") + "'";
    ASSERT_EQ(std::system(run.c_str()), 0);
    EXPECT_EQ(ReadText(dir.file("out.txt")), script.expected);
}

TEST(CodeGenEncodingsTest, GeneratedPythonDecodesAsKeshDoes) {
    if (std::string(KESH_TEST_PYTHON).empty()) {
        ASSERT_FALSE(ToolsRequired()) << "no python3 was found when kesh was configured";
        GTEST_SKIP() << "no python3";
    }
    TempDir dir;
    std::ofstream(dir.file("driver.py")) << codegen::PythonEncodingFunctions() << kDriverPython;
    const Script script = Cases();
    std::ofstream(dir.file("in.txt")) << script.input;
    const std::string run = std::string(KESH_TEST_PYTHON) + " '" + dir.file("driver.py") + "' <'" +
                            dir.file("in.txt") + "' >'" + dir.file("out.txt") + "' 2>'" +
                            dir.file("log.txt") + "'";
    ASSERT_EQ(std::system(run.c_str()), 0) << ReadText(dir.file("log.txt"));
    EXPECT_EQ(ReadText(dir.file("out.txt")), script.expected);
}
