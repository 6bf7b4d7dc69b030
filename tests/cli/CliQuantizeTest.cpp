// kesh-cli's palettes built from pictures: --quantize [N] and --dither.
#include <gtest/gtest.h>

// Designated initializers name only the fields a case cares about.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "CliMessages.h"
#include "CliTestSupport.h"
#include "support/TestImages.h"
#include "support/TruePictures.h"

using namespace kesh;
using namespace kesh::test;
using Bytes = std::vector<uint8_t>;

namespace {

// A 16 x 8 true-colour PNG with alpha, of many colours, its first pixel transparent.
Bytes ManyColoursPng() {
    const Bytes rgb = ManyColours(16, 8);
    PngRecipe recipe{.width = 16, .height = 8, .colourType = PNG_COLOR_TYPE_RGB_ALPHA};
    for (size_t i = 0; i < rgb.size() / 3; ++i)
        recipe.samples.insert(recipe.samples.end(),
                              {rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2], uint8_t(i ? 255 : 0)});
    return MakePng(recipe);
}

} // namespace

TEST(CliQuantize, OptionsAndWhatTheyReport) {
    TempDir dir;
    WriteBytes(dir.file("many.png"), ManyColoursPng());
    const std::string png = dir.file("many.png");
    const std::string til = dir.file("set.til");
    struct Case {
        std::vector<std::string> options;
        int status;
        std::string says; // in the output, or the error for usage
    } cases[] = {
        {{"--quantize"}, 0, "\"colours\": 127,\n  \"exactColours\": true"},
        {{"--quantize", "16"}, 0, "\"colours\": 15,\n  \"exactColours\": false"},
        {{"--quantize=8", "--dither"}, 0, "\"colours\": 7,"},
        {{"--quantize", "1"}, 2, std::string(cli::text::kBadColourCount) + "1"},
        {{"--quantize=257"}, 2, std::string(cli::text::kBadColourCount) + "257"},
        {{"--quantize=x"}, 2, std::string(cli::text::kBadColourCount) + "x"},
        {{"--dither"}, 2, cli::text::kDitherNeedsQuantize},
        {{"--quantize", "--nearest"}, 2, cli::text::kQuantizeAlone},
        {{"--palette", "--quantize", "64"}, 2, cli::text::kQuantizeAlone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.size() > 1 ? c.options[0] + " " + c.options[1] : c.options[0]);
        std::filesystem::remove(til);
        std::vector<std::string> args = {"import-image", png, til, "--tile-size", "8x8"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_TRUE(Has(c.status ? run.err : run.out, c.says)) << run.out << run.err;
        EXPECT_EQ(std::filesystem::exists(til), c.status == 0);
        if (c.status == 0) {
            EXPECT_TRUE(Has(run.out, "\"psnr\": ")) << run.out;
        }
    }

    // The palette command prints the palette it would build.
    CliRun run = Cli({"palette", png, "--quantize", "4"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, 8), "0 0 0 0\n"); // transparent
    EXPECT_FALSE(Has(run.out, "\n1 0 0 0\n"));
    EXPECT_TRUE(Has(run.out, "\n4 0 0 0\n")); // the rest black
    EXPECT_TRUE(Has(run.out, "\n255 0 0 0\n"));
    run = Cli({"palette", png});
    EXPECT_EQ(run.status, 1); // true colour has no palette of its own
}
