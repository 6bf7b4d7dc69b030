#include <gtest/gtest.h>

#include "raster/ColourEncoding.h"
#include "support/HardwareTiles.h"

using namespace kesh;
using kesh::test::HexBytes;

namespace {

constexpr ColourEncoding kAll[] = {ColourEncoding::Rgb888,       ColourEncoding::Bgr555,
                                   ColourEncoding::MegaDrive,    ColourEncoding::PcEngine,
                                   ColourEncoding::MasterSystem, ColourEncoding::GameGear,
                                   ColourEncoding::Nes};

std::string Name(ColourEncoding e) {
    return std::string(ColourEncodingName(e));
}

} // namespace

// One colour per encoding, its bytes worked out by hand from the bit layouts
// (levels rounded: a channel c of n bits is round(c * (2^n - 1) / 255)), and
// the colour the hardware shows (the level's bits repeated to fill 8 bits).
TEST(ColourEncodingTest, ColoursMatchBytesWorkedOutByHand) {
    struct Case {
        ColourEncoding encoding;
        Rgb colour;
        std::string bytes;
        Rgb shown;
    };
    const Case cases[] = {
        {ColourEncoding::Rgb888, {0x12, 0x34, 0x56}, "12 34 56", {0x12, 0x34, 0x56}},
        // r 255 -> 31, g 128 -> 16.06 -> 16, b 0: 0 00000 10000 11111 =
        // 0x021F, low byte first. Shown g: 10000 -> 10000100 = 132.
        {ColourEncoding::Bgr555, {255, 128, 0}, "1F 02", {255, 132, 0}},
        // r 255 -> 7, g 0, b 146 -> 4.5 -> 4: 0000 100 0 000 0 111 0 = 0x080E,
        // high byte first. Shown b: 100 -> 10010010 = 146.
        {ColourEncoding::MegaDrive, {255, 0, 146}, "08 0E", {255, 0, 146}},
        // r 109 -> 3.49 -> 3, g 7, b 0: GGG RRR BBB = 111 011 000 = 0x1D8,
        // low byte first. Shown r: 011 -> 01101101 = 109.
        {ColourEncoding::PcEngine, {109, 255, 0}, "D8 01", {109, 255, 0}},
        // r 0, g 85 -> 1.49 -> 1, b 3: 00 11 01 00 = 0x34. Shown g: 01 -> 85.
        {ColourEncoding::MasterSystem, {0, 85, 255}, "34", {0, 85, 255}},
        // r 0x11 -> 1.49 -> 1, g 0x88 -> 8.49 -> 8, b 15: 0000 1111 1000 0001
        // = 0x0F81, low byte first.
        {ColourEncoding::GameGear, {0x11, 0x88, 0xFF}, "81 0F", {0x11, 0x88, 0xFF}},
        // NES: $05 is 92 0 48 in the 2C02 table; 90 2 50 is nearest to it.
        {ColourEncoding::Nes, {90, 2, 50}, "05", {92, 0, 48}},
        // Black is $0F, never $0D nor the other repeats of it.
        {ColourEncoding::Nes, {3, 3, 3}, "0F", {0, 0, 0}},
        // White: $20 and $30 are equal in the table, the lower wins; $30 is
        // shown one step bluer so that it saves as itself.
        {ColourEncoding::Nes, {255, 255, 255}, "20", {236, 238, 236}},
        {ColourEncoding::Nes, {236, 238, 237}, "30", {236, 238, 237}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Name(c.encoding));
        std::vector<uint8_t> out(size_t(BytesPerColour(c.encoding)));
        EncodeColour(c.encoding, c.colour, out.data());
        EXPECT_EQ(out, HexBytes(c.bytes));
        EXPECT_EQ(DecodeColour(c.encoding, out.data()), c.shown);
        EXPECT_EQ(ReduceColour(c.encoding, c.colour), c.shown);
    }
}

// Bits the hardware leaves unused are refused, so what is read can be
// written back byte for byte.
TEST(ColourEncodingTest, UnusedBitsAreRefused) {
    const std::pair<ColourEncoding, std::string> cases[] = {
        {ColourEncoding::Bgr555, "00 80"},    {ColourEncoding::MegaDrive, "01 00"},
        {ColourEncoding::MegaDrive, "00 01"}, {ColourEncoding::PcEngine, "00 02"},
        {ColourEncoding::MasterSystem, "40"}, {ColourEncoding::GameGear, "00 10"},
        {ColourEncoding::Nes, "40"},
    };
    for (const auto& [e, bytes] : cases)
        EXPECT_FALSE(DecodeColour(e, HexBytes(bytes).data()).has_value()) << Name(e) << bytes;
}

// Every word a console can hold decodes to a colour that encodes back to the
// same word, but NES $0D, which is saved as $0F.
TEST(ColourEncodingTest, EveryHardwareColourRoundTrips) {
    for (ColourEncoding e : kAll) {
        SCOPED_TRACE(Name(e));
        EXPECT_EQ(ColourEncodingFromName(ColourEncodingName(e)), e);
        const int size = BytesPerColour(e);
        const uint32_t words = size == 3 ? 1u << 12 : 1u << (8 * size);
        int valid = 0;
        for (uint32_t w = 0; w < words; ++w) {
            // RGB 8-8-8 walks a spread of 4,096 colours instead of all of them.
            const uint32_t v = size == 3 ? w * 4099 : w;
            const uint8_t in[3] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16)};
            const std::optional<Rgb> c = DecodeColour(e, in);
            if (!c)
                continue;
            ++valid;
            uint8_t out[3] = {};
            EncodeColour(e, *c, out);
            if (e == ColourEncoding::Nes && w == 0x0D)
                EXPECT_EQ(out[0], 0x0F);
            else
                ASSERT_EQ(std::vector<uint8_t>(out, out + size),
                          std::vector<uint8_t>(in, in + size))
                    << w;
        }
        const int expected[] = {4096, 32768, 512, 512, 64, 4096, 64};
        EXPECT_EQ(valid, expected[int(e)]);
    }
}

TEST(ColourEncodingTest, PalettesInAColourTable) {
    ColourTable table{};
    table[4 * 3 + 0] = 255; // colour 3: blue
    std::vector<uint8_t> bytes(4);
    EncodeColours(ColourEncoding::Bgr555, table, 2, 2, bytes.data());
    EXPECT_EQ(bytes, HexBytes("00 00 00 7C")); // 0 11111 00000 00000 = 0x7C00

    const ColourTable before = table;
    const std::vector<uint8_t> bad = HexBytes("1F 00 00 80");
    const Status st = DecodeColours(ColourEncoding::Bgr555, bad.data(), 10, 2, table);
    EXPECT_FALSE(st.ok());
    EXPECT_NE(st.message().find("1번 색"), std::string::npos) << st.message();
    EXPECT_EQ(table, before);

    ASSERT_TRUE(DecodeColours(ColourEncoding::Bgr555, bad.data(), 10, 1, table).ok());
    EXPECT_EQ(table[4 * 10 + 2], 255); // red
    EXPECT_EQ(table[4 * 10 + 0], 0);
}
