#include "raster/ColourEncoding.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace kesh {

namespace {

// A channel of `bits` bits from 8 bits, rounded to the nearest level.
unsigned Narrow(uint8_t c, int bits) {
    const unsigned top = (1u << bits) - 1;
    return (unsigned(c) * top + 127) / 255;
}

// A channel of `bits` bits widened to 8 by repeating its bits from the top:
// 5 bits abcde become abcdeabc, 3 bits abc become abcabcab.
uint8_t Widen(unsigned v, int bits) {
    unsigned out = 0;
    for (int shift = 8 - bits; shift > -bits; shift -= bits)
        out |= shift >= 0 ? v << shift : v >> -shift;
    return uint8_t(out);
}

// Red, green and blue of `bits` bits each, at bit positions r, g and b of a word.
struct WordLayout {
    int bits, r, g, b;
};

// The bit layouts, from the consoles' documentation:
// - BGR555, https://wiki.superfamicom.org/search?s=palette ("0BBBBBGG
//   GGGRRRRR", bit 15 unused) and the Game Boy Color's palette data
//   (https://retrocomputing.stackexchange.com/questions/25164: red in the 5
//   lowest bits, "least significant byte first").
// - Mega Drive CRAM, https://wiki.megadrive.org/index.php?title=VDP_Palette:
//   bits 0 B B B 0 G G G 0 R R R 0 from bit 11 down; the word is stored
//   big-endian, the 68000's order (https://segaretro.org/Palette: "0B GR").
// - PC Engine VCE, http://www.magicengine.com/mkit/doc_hard_vce.html: bits
//   8-6 green, 5-3 red, 2-0 blue, written low byte first ($0404, then $0405).
// - Master System, https://segaretro.org/Palette: one byte 00BBGGRR.
// - Game Gear, https://segaretro.org/Palette: two bytes "GR 0B", that is the
//   word 0000BBBBGGGGRRRR low byte first.
WordLayout LayoutOf(ColourEncoding encoding) {
    switch (encoding) {
    case ColourEncoding::Bgr555:
        return {5, 0, 5, 10};
    case ColourEncoding::MegaDrive:
        return {3, 1, 5, 9};
    case ColourEncoding::PcEngine:
        return {3, 3, 6, 0};
    case ColourEncoding::MasterSystem:
        return {2, 0, 2, 4};
    case ColourEncoding::GameGear:
        return {4, 0, 4, 8};
    default:
        return {8, 0, 8, 16};
    }
}

unsigned WordOf(ColourEncoding encoding, const uint8_t* in) {
    switch (BytesPerColour(encoding)) {
    case 1:
        return in[0];
    case 2:
        return encoding == ColourEncoding::MegaDrive ? unsigned(in[0]) << 8 | in[1]
                                                     : unsigned(in[1]) << 8 | in[0];
    default:
        return unsigned(in[0]) | unsigned(in[1]) << 8 | unsigned(in[2]) << 16;
    }
}

void PutWord(ColourEncoding encoding, unsigned word, uint8_t* out) {
    switch (BytesPerColour(encoding)) {
    case 1:
        out[0] = uint8_t(word);
        return;
    case 2:
        if (encoding == ColourEncoding::MegaDrive) {
            out[0] = uint8_t(word >> 8);
            out[1] = uint8_t(word);
        } else {
            out[0] = uint8_t(word);
            out[1] = uint8_t(word >> 8);
        }
        return;
    default:
        out[0] = uint8_t(word);
        out[1] = uint8_t(word >> 8);
        out[2] = uint8_t(word >> 16);
    }
}

unsigned Distance(Rgb a, Rgb b) {
    const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return unsigned(dr * dr + dg * dg + db * db);
}

// The table repeats black ten times and white twice. So that every index
// read comes back as itself when saved, each repeat is shown one step off
// the colour it repeats, a difference no eye sees: $0F is black itself,
// $0D, $0E, $1D ... one step away, and $30 one step from $20.
constexpr uint8_t kRepeats[] = {0x0D, 0x0E, 0x1D, 0x1E, 0x1F, 0x2E, 0x2F, 0x3E, 0x3F, 0x30};
constexpr Rgb kSteps[] = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}, {0, 1, 1}, {1, 0, 1},
                          {1, 1, 0}, {1, 1, 1}, {0, 0, 2}, {0, 2, 0}, {0, 0, 1}};

Rgb NesShown(uint8_t index) {
    Rgb c = NesMasterPalette()[index];
    for (size_t i = 0; i < std::size(kRepeats); ++i)
        if (kRepeats[i] == index) {
            c.r = uint8_t(c.r + kSteps[i].r);
            c.g = uint8_t(c.g + kSteps[i].g);
            c.b = uint8_t(c.b + kSteps[i].b);
        }
    return c;
}

// A colour shown for an index is saved as that index, except $0D: darker
// than black on a real set, it upsets some televisions
// (https://www.nesdev.org/wiki/PPU_palettes), so it is saved as $0F. Any
// other colour takes the nearest entry by squared distance, never a repeat,
// the lowest index on a tie.
uint8_t NearestNes(Rgb colour) {
    unsigned best = ~0u;
    uint8_t index = 0x0F;
    for (unsigned i = 0; i < 64; ++i) {
        const bool repeat =
            std::find(std::begin(kRepeats), std::end(kRepeats), i) != std::end(kRepeats);
        const unsigned d = Distance(colour, NesShown(uint8_t(i)));
        if (d == 0 && i != 0x0D)
            return uint8_t(i);
        if (!repeat && d < best) {
            best = d;
            index = uint8_t(i);
        }
    }
    return index;
}

// The Game Boy's four shades as kesh shows them, value 0 white to 3 black
// (https://gbdev.io/pandocs/Palettes.html, "FF47 - BGP"): neutral greys an
// equal step apart, not any one screen's tint.
constexpr uint8_t kGameBoyGrey[4] = {255, 170, 85, 0};

// The shade nearest a colour's brightness (the mean of its channels).
uint8_t GameBoyShade(Rgb colour) {
    const unsigned mean = (unsigned(colour.r) + colour.g + colour.b + 1) / 3;
    return uint8_t(3 - Narrow(uint8_t(mean), 2));
}

} // namespace

void EncodeColour(ColourEncoding encoding, Rgb colour, uint8_t* out) {
    if (encoding == ColourEncoding::GameBoy) {
        out[0] = GameBoyShade(colour);
        return;
    }
    if (encoding == ColourEncoding::Nes) {
        out[0] = NearestNes(colour);
        return;
    }
    const WordLayout l = LayoutOf(encoding);
    const unsigned word = Narrow(colour.r, l.bits) << l.r | Narrow(colour.g, l.bits) << l.g |
                          Narrow(colour.b, l.bits) << l.b;
    PutWord(encoding, word, out);
}

std::optional<Rgb> DecodeColour(ColourEncoding encoding, const uint8_t* in) {
    if (encoding == ColourEncoding::GameBoy) {
        if (in[0] > 3)
            return std::nullopt;
        const uint8_t grey = kGameBoyGrey[in[0]];
        return Rgb{grey, grey, grey};
    }
    if (encoding == ColourEncoding::Nes) {
        if (in[0] > 63)
            return std::nullopt;
        return NesShown(in[0]);
    }
    const WordLayout l = LayoutOf(encoding);
    const unsigned word = WordOf(encoding, in), top = (1u << l.bits) - 1;
    if (word & ~(top << l.r | top << l.g | top << l.b))
        return std::nullopt;
    return Rgb{Widen((word >> l.r) & top, l.bits), Widen((word >> l.g) & top, l.bits),
               Widen((word >> l.b) & top, l.bits)};
}

Rgb ReduceColour(ColourEncoding encoding, Rgb colour) {
    uint8_t bytes[3] = {};
    EncodeColour(encoding, colour, bytes);
    return *DecodeColour(encoding, bytes);
}

void EncodeColours(ColourEncoding encoding, const ColourTable& table, int first, int count,
                   uint8_t* out) {
    if (encoding == ColourEncoding::GameBoy) {
        // Four shades a byte, colour 0 in bits 1-0 up to colour 3 in bits 7-6.
        std::fill_n(out, PaletteBytes(encoding, count), uint8_t(0));
        for (int i = 0; i < count; ++i) {
            const uint8_t* e = table.data() + 4 * size_t(first + i);
            out[i / 4] = uint8_t(out[i / 4] | GameBoyShade(Rgb{e[2], e[1], e[0]}) << (2 * (i % 4)));
        }
        return;
    }
    const int size = BytesPerColour(encoding);
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = table.data() + 4 * size_t(first + i);
        EncodeColour(encoding, Rgb{e[2], e[1], e[0]}, out + size_t(i) * size_t(size));
    }
}

Status DecodeColours(ColourEncoding encoding, const uint8_t* in, int first, int count,
                     ColourTable& table) {
    const int size = BytesPerColour(encoding);
    ColourTable read = table;
    for (int i = 0; i < count; ++i) {
        uint8_t shade = 0;
        const uint8_t* at = in + size_t(i) * size_t(size);
        if (encoding == ColourEncoding::GameBoy) {
            shade = uint8_t((in[i / 4] >> (2 * (i % 4))) & 3);
            at = &shade;
        }
        const std::optional<Rgb> c = DecodeColour(encoding, at);
        if (!c)
            return Status::Fail("팔레트의 " + std::to_string(i) + "번 색이 " +
                                std::string(ColourEncodingName(encoding)) +
                                " 형식의 색이 아닙니다.");
        uint8_t* e = read.data() + 4 * size_t(first + i);
        e[0] = c->b;
        e[1] = c->g;
        e[2] = c->r;
        e[3] = 0;
    }
    table = read;
    return Status::Ok();
}

// The 2C02 palette from https://www.nesdev.org/wiki/PPU_palettes (the table
// the page has long given as "2C02"), rows $00-$0F, $10-$1F, $20-$2F, $30-$3F.
const std::array<Rgb, 64>& NesMasterPalette() {
    static constexpr std::array<Rgb, 64> table = {{
        {84, 84, 84},    {0, 30, 116},    {8, 16, 144},    {48, 0, 136},    {68, 0, 100},
        {92, 0, 48},     {84, 4, 0},      {60, 24, 0},     {32, 42, 0},     {8, 58, 0},
        {0, 64, 0},      {0, 60, 0},      {0, 50, 60},     {0, 0, 0},       {0, 0, 0},
        {0, 0, 0},       {152, 150, 152}, {8, 76, 196},    {48, 50, 236},   {92, 30, 228},
        {136, 20, 176},  {160, 20, 100},  {152, 34, 32},   {120, 60, 0},    {84, 90, 0},
        {40, 114, 0},    {8, 124, 0},     {0, 118, 40},    {0, 102, 120},   {0, 0, 0},
        {0, 0, 0},       {0, 0, 0},       {236, 238, 236}, {76, 154, 236},  {120, 124, 236},
        {176, 98, 236},  {228, 84, 236},  {236, 88, 180},  {236, 106, 100}, {212, 136, 32},
        {160, 170, 0},   {116, 196, 0},   {76, 208, 32},   {56, 204, 108},  {56, 180, 204},
        {60, 60, 60},    {0, 0, 0},       {0, 0, 0},       {236, 238, 236}, {168, 204, 236},
        {188, 188, 236}, {212, 178, 236}, {236, 174, 236}, {236, 174, 212}, {236, 180, 176},
        {228, 196, 144}, {204, 210, 120}, {180, 222, 120}, {168, 226, 144}, {152, 226, 180},
        {160, 214, 228}, {160, 162, 160}, {0, 0, 0},       {0, 0, 0},
    }};
    return table;
}

} // namespace kesh
