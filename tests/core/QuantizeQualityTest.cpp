// The quantizer's palettes against pngquant's, on true-colour sheets kept
// under tests/data/quantize: two of Tiled's example sheets and two made by
// make_sheets.py there. pngquant is run as a program for the comparison only.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "raster/ColourHistogram.h"
#include "raster/ColourMapper.h"
#include "raster/ColourQuantizer.h"
#include "support/RgbaPng.h"
#include "support/TempDir.h"

namespace kesh {
namespace {

// The sum of squared channel errors of `shown` against `original` over the
// pixels opaque in the original, each colour of `shown` first put through
// the palette's precision as kesh would keep it (8 bits: as it is).
double SquaredError(const test::RgbaPicture& original, const test::RgbaPicture& shown,
                    const ColourPrecision& precision, int64_t& pixels) {
    double sum = 0;
    pixels = 0;
    for (size_t i = 0; i < original.rgba.size(); i += 4) {
        if (original.rgba[i + 3] == 0)
            continue;
        ++pixels;
        for (size_t c = 0; c < 3; ++c) {
            const int kept = precision.Shown(precision.Nearest(shown.rgba[i + c]));
            const int d = int(original.rgba[i + c]) - kept;
            sum += double(d * d);
        }
    }
    return sum;
}

TEST(QuantizeQuality, NoWorseThanATenthOverPngquantAt256Colours) {
    if (std::system("pngquant --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pngquant is not installed (scripts/deps installs it)";
    const char* sheets[] = {"tmw_desert_spacing.png", "sewer_tileset.png", "spheres.png",
                            "terrain.png"};
    test::TempDir dir;
    for (const char* name : sheets) {
        SCOPED_TRACE(name);
        const std::string path = std::string(KESH_TEST_DATA) + "/quantize/" + name;
        const test::RgbaPicture original = test::ReadRgbaPng(path);
        ASSERT_FALSE(original.empty());
        const std::string theirs = dir.file(name);
        const std::string command =
            "pngquant --nofs --force --output '" + theirs + "' 256 -- '" + path + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const test::RgbaPicture peer = test::ReadRgbaPng(theirs);
        ASSERT_EQ(peer.rgba.size(), original.rgba.size());

        const std::vector<uint8_t> rgb = original.Rgb();
        const std::vector<uint8_t> alpha = original.Alpha();
        ColourHistogram histogram;
        histogram.Add(rgb.data(), alpha.data(), alpha.size());
        const QuantizedColours colours =
            ColourQuantizer::Quantize(histogram, 256, histogram.transparent() > 0);
        ColourMapper mapper(histogram, colours);
        std::vector<uint8_t> indices(alpha.size());
        mapper.Map(rgb.data(), alpha.data(), original.width, original.height, false,
                   indices.data());

        int64_t pixels = 0;
        const double peerError = SquaredError(original, peer, histogram.precision(), pixels);
        ASSERT_EQ(pixels, mapper.pixels());
        const double ours = mapper.squaredError() / (3.0 * double(pixels));
        const double theirsMse = peerError / (3.0 * double(pixels));
        const double peerOwn = SquaredError(original, peer, ColourPrecision{8}, pixels);
        std::printf("%-24s kesh MSE %.3f (%.2f dB), pngquant MSE %.3f (%.2f dB), "
                    "%.3f in its own 8 bits\n",
                    name, ours, ColourMapper::Psnr(mapper.squaredError(), pixels), theirsMse,
                    ColourMapper::Psnr(peerError, pixels), peerOwn / (3.0 * double(pixels)));
        EXPECT_LE(ours, 1.1 * theirsMse);
    }
}

} // namespace
} // namespace kesh
