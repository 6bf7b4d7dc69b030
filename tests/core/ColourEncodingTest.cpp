#include <gtest/gtest.h>

#include "layout/TileFormat.h"
#include "raster/ColourEncoding.h"
#include "support/HardwareTiles.h"

using namespace kesh;
using kesh::test::HandColour;
using kesh::test::HandColours;
using kesh::test::HexBytes;

namespace {

constexpr ColourEncoding kAll[] = {ColourEncoding::Rgb888,       ColourEncoding::Bgr555,
                                   ColourEncoding::MegaDrive,    ColourEncoding::PcEngine,
                                   ColourEncoding::MasterSystem, ColourEncoding::GameGear,
                                   ColourEncoding::Nes,          ColourEncoding::GameBoy};

std::string Name(ColourEncoding e) {
    return std::string(ColourEncodingName(e));
}

} // namespace

// One colour per encoding, its bytes worked out by hand from the bit layouts
// (levels rounded: a channel c of n bits is round(c * (2^n - 1) / 255)), and
// the colour the hardware shows (the level's bits repeated to fill 8 bits).
TEST(ColourEncodingTest, ColoursMatchBytesWorkedOutByHand) {
    for (const HandColour& c : HandColours()) {
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
        {ColourEncoding::Nes, "40"},          {ColourEncoding::GameBoy, "04"},
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
        const int expected[] = {4096, 32768, 512, 512, 64, 4096, 64, 4};
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

// Game Boy palettes are BGP bytes (https://gbdev.io/pandocs/Palettes.html:
// bits 7-6 colour 3 ... bits 1-0 colour 0; 0 white, 1 light grey, 2 dark
// grey, 3 black), four colours a byte and K always 4.
TEST(ColourEncodingTest, GameBoyPalettesAreBgpBytes) {
    // White, black, light grey, dark grey -> 0, 3, 1, 2 -> 10 01 11 00 = 0x9C;
    // the second palette black, dark grey, white, white -> 3, 2, 0, 0 = 0x0B.
    const Rgb colours[8] = {{255, 255, 255}, {0, 0, 0},       {170, 170, 170}, {85, 85, 85},
                            {0, 0, 0},       {80, 90, 85},    {250, 255, 255}, {255, 255, 255}};
    ColourTable table{};
    for (size_t i = 0; i < 8; ++i) {
        table[4 * i] = colours[i].b;
        table[4 * i + 1] = colours[i].g;
        table[4 * i + 2] = colours[i].r;
    }
    ASSERT_EQ(PaletteBytes(ColourEncoding::GameBoy, 8), 2u);
    uint8_t bytes[2] = {};
    EncodeColours(ColourEncoding::GameBoy, table, 0, 8, bytes);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 2), HexBytes("9C 0B"));
    ColourTable back{};
    ASSERT_TRUE(DecodeColours(ColourEncoding::GameBoy, bytes, 0, 8, back));
    const uint8_t greys[8] = {255, 0, 170, 85, 0, 85, 255, 255};
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(back[4 * i], greys[i]) << i;

    // One colour alone is its shade in a byte: mean of 200, 100, 120 = 140
    // -> 140 * 3 / 255 = 1.65 -> 2 levels up from black, shade 3 - 2 = 1.
    uint8_t one = 0xFF;
    EncodeColour(ColourEncoding::GameBoy, {200, 100, 120}, &one);
    EXPECT_EQ(one, 1);
    EXPECT_EQ(DecodeColour(ColourEncoding::GameBoy, &one), (Rgb{170, 170, 170}));

    TileItemParams params{PixelEncoding::Planar2Rows, ColourEncoding::GameBoy, 4, 2};
    EXPECT_TRUE(ValidTileItemParams(params));
    params.coloursPerPalette = 16;
    EXPECT_FALSE(ValidTileItemParams(params));
}
