#include "layout/CodeGenEncodings.h"

namespace kesh::codegen {

namespace {

// The NES 2C02 table of raster/ColourEncoding.cpp, 64 entries of red, green,
// blue (a test keeps the two the same).
constexpr const char* kNesTable =
    "84,84,84, 0,30,116, 8,16,144, 48,0,136, 68,0,100, 92,0,48, 84,4,0, 60,24,0,\n"
    "32,42,0, 8,58,0, 0,64,0, 0,60,0, 0,50,60, 0,0,0, 0,0,0, 0,0,0,\n"
    "152,150,152, 8,76,196, 48,50,236, 92,30,228, 136,20,176, 160,20,100, 152,34,32, "
    "120,60,0,\n"
    "84,90,0, 40,114,0, 8,124,0, 0,118,40, 0,102,120, 0,0,0, 0,0,0, 0,0,0,\n"
    "236,238,236, 76,154,236, 120,124,236, 176,98,236, 228,84,236, 236,88,180, 236,106,100, "
    "212,136,32,\n"
    "160,170,0, 116,196,0, 76,208,32, 56,204,108, 56,180,204, 60,60,60, 0,0,0, 0,0,0,\n"
    "236,238,236, 168,204,236, 188,188,236, 212,178,236, 236,174,236, 236,174,212,\n"
    "236,180,176, 228,196,144,\n"
    "204,210,120, 180,222,120, 168,226,144, 152,226,180, 160,214,228, 160,162,160, 0,0,0, "
    "0,0,0";

} // namespace

std::string CPixelFunctions() {
    return R"(/* Pixel encodings: 0 8bpp, 1 1bpp, 2 2bpp-gb, 3 2bpp-nes, 4 4bpp-snes,
   5 4bpp-sms, 6 4bpp-gba, 7 4bpp-md, 8 8bpp-snes. Every encoding but 8bpp
   stores a tile as 8 x 8 blocks, left to right, then top to bottom. In the
   planar ones plane k of block row r is the byte at
   (k / group) * group_stride + r * row_stride + k % group, bit 7 leftmost. */
static void kesh_decode_tile(int encoding, const unsigned char *in, int width, int height,
                             unsigned char *pixels)
{
    /* planes, group, row stride, group stride */
    static const int planar[9][4] = {{0, 1, 1, 0},  {1, 1, 1, 8},  {2, 2, 2, 16},
                                     {2, 1, 1, 8},  {4, 2, 2, 16}, {4, 4, 4, 32},
                                     {0, 1, 1, 0},  {0, 1, 1, 0},  {8, 2, 2, 16}};
    const int packed = encoding == 6 || encoding == 7;
    const int *l = planar[encoding];
    int bx, by, r, x, k;
    if (encoding == 0) {
        memcpy(pixels, in, (size_t)width * (size_t)height);
        return;
    }
    for (by = 0; by < height; by += 8) {
        for (bx = 0; bx < width; bx += 8) {
            for (r = 0; r < 8; ++r) {
                unsigned char *row = pixels + (size_t)(by + r) * (size_t)width + (size_t)bx;
                for (x = 0; x < 8; ++x) {
                    int v = 0;
                    if (packed) {
                        /* 4bpp-gba: the left pixel in the low nibble; 4bpp-md: in the high. */
                        const int b = in[4 * r + x / 2];
                        v = ((x % 2 == 0) == (encoding == 7)) ? b >> 4 : b & 15;
                    } else {
                        for (k = 0; k < l[0]; ++k)
                            v |= ((in[(k / l[1]) * l[3] + r * l[2] + k % l[1]] >> (7 - x)) & 1)
                                 << k;
                    }
                    row[x] = (unsigned char)v;
                }
            }
            in += packed ? 32 : 8 * l[0];
        }
    }
}
)";
}

std::string CColourFunctions() {
    return std::string(R"(/* Colour encodings: 0 rgb888, 1 bgr555 (little-endian), 2 md (big-endian
   0000BBB0GGG0RRR0), 3 pce (little-endian 0000000GGGRRRBBB), 4 sms
   (00BBGGRR), 5 gg (little-endian 0000BBBBGGGGRRRR), 6 nes (an index into
   the 2C02 table below), 7 gb (a Game Boy shade in bits 1-0, 0 white to 3
   black, shown as the greys 255, 170, 85, 0). Channels are widened to 8 bits
   by repeating their bits. */
static const unsigned char kesh_nes_rgb[64 * 3] = {
)") + kNesTable +
           R"(};

static void kesh_decode_colour(int encoding, const unsigned char *in, unsigned char rgb[3])
{
    /* bits a channel, then the lowest bit of red, green and blue */
    static const int layout[6][4] = {{8, 0, 8, 16}, {5, 0, 5, 10}, {3, 1, 5, 9},
                                     {3, 3, 6, 0},  {2, 0, 2, 4},  {4, 0, 4, 8}};
    unsigned long word;
    int c, s;
    if (encoding == 6) {
        for (c = 0; c < 3; ++c)
            rgb[c] = kesh_nes_rgb[3 * (in[0] & 63) + c];
        return;
    }
    if (encoding == 7) {
        rgb[0] = rgb[1] = rgb[2] = (unsigned char)(255 - 85 * (in[0] & 3));
        return;
    }
    if (encoding == 0)
        word = in[0] | (unsigned long)in[1] << 8 | (unsigned long)in[2] << 16;
    else if (encoding == 4)
        word = in[0];
    else if (encoding == 2)
        word = (unsigned long)in[0] << 8 | in[1];
    else
        word = in[0] | (unsigned long)in[1] << 8;
    for (c = 0; c < 3; ++c) {
        const int bits = layout[encoding][0];
        const unsigned long v = (word >> layout[encoding][1 + c]) & ((1ul << bits) - 1);
        unsigned long out = 0;
        for (s = 8 - bits; s > -bits; s -= bits)
            out |= s >= 0 ? v << s : v >> -s;
        rgb[c] = (unsigned char)out;
    }
}
)";
}

std::string PythonPixelFunctions() {
    return R"(# Pixel encodings: 0 8bpp, 1 1bpp, 2 2bpp-gb, 3 2bpp-nes, 4 4bpp-snes,
# 5 4bpp-sms, 6 4bpp-gba, 7 4bpp-md, 8 8bpp-snes. Every encoding but 8bpp
# stores a tile as 8 x 8 blocks, left to right, then top to bottom. In the
# planar ones plane k of block row r is the byte at
# (k // group) * group_stride + r * row_stride + k % group, bit 7 leftmost.
_PLANAR = [(0, 1, 1, 0), (1, 1, 1, 8), (2, 2, 2, 16), (2, 1, 1, 8), (4, 2, 2, 16),
           (4, 4, 4, 32), (0, 1, 1, 0), (0, 1, 1, 0), (8, 2, 2, 16)]


def decode_tile(encoding, data, width, height):
    if encoding == 0:
        return bytes(data[:width * height])
    packed = encoding in (6, 7)
    planes, group, row_stride, group_stride = _PLANAR[encoding]
    block_bytes = 32 if packed else 8 * planes
    pixels = bytearray(width * height)
    at = 0
    for by in range(0, height, 8):
        for bx in range(0, width, 8):
            for r in range(8):
                for x in range(8):
                    if packed:
                        # 4bpp-gba: the left pixel in the low nibble; 4bpp-md: in the high.
                        b = data[at + 4 * r + x // 2]
                        v = b >> 4 if (x % 2 == 0) == (encoding == 7) else b & 15
                    else:
                        v = 0
                        for k in range(planes):
                            i = at + (k // group) * group_stride + r * row_stride + k % group
                            v |= ((data[i] >> (7 - x)) & 1) << k
                    pixels[(by + r) * width + bx + x] = v
            at += block_bytes
    return bytes(pixels)
)";
}

std::string PythonColourFunctions() {
    return std::string(R"(
# Colour encodings: 0 rgb888, 1 bgr555 (little-endian), 2 md (big-endian
# 0000BBB0GGG0RRR0), 3 pce (little-endian 0000000GGGRRRBBB), 4 sms
# (00BBGGRR), 5 gg (little-endian 0000BBBBGGGGRRRR), 6 nes (an index into
# the 2C02 table below), 7 gb (a Game Boy shade in bits 1-0, 0 white to 3
# black, shown as the greys 255, 170, 85, 0). Channels are widened to 8 bits
# by repeating their bits.
_NES_RGB = [
)") + kNesTable +
           R"(]
_COLOUR = [(8, 0, 8, 16), (5, 0, 5, 10), (3, 1, 5, 9), (3, 3, 6, 0), (2, 0, 2, 4), (4, 0, 4, 8)]


def decode_colour(encoding, data):
    if encoding == 6:
        i = 3 * (data[0] & 63)
        return tuple(_NES_RGB[i:i + 3])
    if encoding == 7:
        grey = 255 - 85 * (data[0] & 3)
        return (grey, grey, grey)
    if encoding == 0:
        word = data[0] | data[1] << 8 | data[2] << 16
    elif encoding == 4:
        word = data[0]
    elif encoding == 2:
        word = data[0] << 8 | data[1]
    else:
        word = data[0] | data[1] << 8
    bits = _COLOUR[encoding][0]
    rgb = []
    for c in range(3):
        v = (word >> _COLOUR[encoding][1 + c]) & ((1 << bits) - 1)
        out, s = 0, 8 - bits
        while s > -bits:
            out |= v << s if s >= 0 else v >> -s
            s -= bits
        rgb.append(out & 255)
    return tuple(rgb)
)";
}

std::string CEncodingFunctions() {
    return CPixelFunctions() + "\n" + CColourFunctions();
}

std::string PythonEncodingFunctions() {
    return PythonPixelFunctions() + "\n" + PythonColourFunctions();
}

std::vector<uint8_t> ColourByteMask(ColourEncoding encoding) {
    switch (encoding) {
    case ColourEncoding::Bgr555:
        return {0xFF, 0x7F};
    case ColourEncoding::MegaDrive:
        return {0x0E, 0xEE};
    case ColourEncoding::PcEngine:
        return {0xFF, 0x01};
    case ColourEncoding::MasterSystem:
    case ColourEncoding::Nes:
        return {0x3F};
    case ColourEncoding::GameBoy:
        return {0xFF}; // four shades a byte, every bit used
    case ColourEncoding::GameGear:
        return {0xFF, 0x0F};
    default:
        return {0xFF, 0xFF, 0xFF};
    }
}

} // namespace kesh::codegen
