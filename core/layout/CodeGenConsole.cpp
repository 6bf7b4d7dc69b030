#include "layout/CodeGenConsole.h"

#include <algorithm>

#include "layout/CodeGenEncodings.h"

namespace kesh::codegen {

namespace {

bool Has(const TileDescriptor& tile, uint8_t code) {
    return std::find(tile.items.begin(), tile.items.end(), code) != tile.items.end();
}

// A Game Boy palette packs its four shades into one BGP byte.
uint64_t PaletteBytesOf(const TileItemParams& p) {
    return PaletteBytes(p.colours, int64_t(p.paletteCount) * p.coloursPerPalette);
}

bool GameBoyShades(const TileItemParams& p) {
    return p.colours == ColourEncoding::GameBoy;
}

std::string Num(int value) {
    return std::to_string(value);
}

// The C expression for the bytes of one tile of the scan's size; for an
// encoding in 8 x 8 blocks the size is a multiple of 64 pixels, so the
// division is exact and comes before anything can overflow.
std::string CTileBytes(PixelEncoding encoding) {
    const std::string pixels = "(unsigned long long)scan->width * (unsigned long long)scan->height";
    if (encoding == PixelEncoding::Byte8)
        return pixels;
    return pixels + " / 8 * " + Num(BitsPerPixel(encoding));
}

void CDefinitions(std::ostream& out, const TileDescriptor& tile) {
    const TileItemParams& p = tile.params;
    out << "\n/* The layout's console items and their parameters. */\n";
    if (HasPixelsItem(tile))
        out << "#define KESH_PIXEL_ENCODING " << int(p.pixels) << " /* "
            << PixelEncodingName(p.pixels) << ", " << BitsPerPixel(p.pixels)
            << " bits a pixel */\n";
    if (HasPaletteItem(tile))
        out << "#define KESH_COLOUR_ENCODING " << int(p.colours) << " /* "
            << ColourEncodingName(p.colours) << " */\n"
            << "#define KESH_COLOUR_BYTES " << BytesPerColour(p.colours) << '\n'
            << "#define KESH_PALETTE_COUNT " << p.paletteCount << '\n'
            << "#define KESH_COLOURS_PER_PALETTE " << p.coloursPerPalette << '\n'
            << "#define KESH_PALETTE_BYTES " << PaletteBytesOf(p)
            << (GameBoyShades(p) ? " /* a BGP byte a palette, colour 0 in bits 1-0 */\n" : "\n");
    out << "\n/* Where the Pixels and Palette items start, or KESH_ABSENT. */\n"
           "struct kesh_console_scan {\n"
           "    size_t pixels, palette;\n"
           "};\n";
}

void CPixelSteps(std::ostream& out, const TileDescriptor& tile) {
    out << "\n/* Whether the Pixels item stores tiles of the scan's size";
    if (tile.params.pixels != PixelEncoding::Byte8)
        out << " (whole 8 x 8\n * blocks)";
    out << ", and the bytes of one such tile. */\n"
           "static inline int kesh_pixel_bytes(const struct kesh_tile_scan *scan, "
           "unsigned long long *each)\n"
           "{\n"
           "    if (scan->width <= 0 || scan->height <= 0";
    if (tile.params.pixels != PixelEncoding::Byte8)
        out << " || scan->width % 8 != 0 || scan->height % 8 != 0";
    out << ")\n"
           "        return 0;\n"
           "    *each = "
        << CTileBytes(tile.params.pixels) << ";\n"
        << R"(    return 1;
}

/* Notes and skips the Pixels item's tiles. */
static inline int kesh_scan_pixels(struct kesh_reader *in, struct kesh_tile_scan *scan,
                                   struct kesh_console_scan *console)
{
    size_t here = in->pos;
    unsigned long long each = 0;
    int rc = kesh_check_tile_format(scan);

    if (rc != 0)
        return rc;
    if (!kesh_pixel_bytes(scan, &each) || !kesh_fits(in->size, here, scan->count, each))
        return KESH_ERR_DAMAGED;
    in->pos += (size_t)((unsigned long long)scan->count * each);
    console->pixels = here;
    scan->tiles = KESH_ABSENT; /* these replace an earlier item's pixels */
    return 0;
}
)";
}

void CCheck(std::ostream& out, const TileDescriptor& tile) {
    out << "\n/* After the walk, before kesh_tiles_finish:";
    if (HasPixelsItem(tile))
        out << " the Pixels item checked against the\n * final size and count";
    if (HasPaletteItem(tile) && HasPixelsItem(tile))
        out << ", and";
    if (HasPaletteItem(tile))
        out << " every colour of the Palette item one the hardware\n * has (no bit set that it "
               "leaves unused)";
    out << ". */\n"
           "static inline int kesh_console_check(const struct kesh_reader *in,\n"
           "                                     const struct kesh_tile_scan *scan,\n"
           "                                     const struct kesh_console_scan *console)\n"
           "{\n";
    if (HasPaletteItem(tile)) {
        out << "    static const unsigned char bits[KESH_COLOUR_BYTES] = {";
        const std::vector<uint8_t> mask = ColourByteMask(tile.params.colours);
        for (size_t i = 0; i < mask.size(); ++i)
            out << (i ? ", " : "") << "0x"
                << "0123456789ABCDEF"[mask[i] >> 4] << "0123456789ABCDEF"[mask[i] & 15];
        out << "};\n    size_t i;\n";
    }
    if (HasPixelsItem(tile))
        out << "    unsigned long long each = 0;\n";
    out << "    int rc = kesh_check_tile_format(scan);\n\n"
           "    if (rc != 0)\n"
           "        return rc;\n";
    if (HasPixelsItem(tile))
        out << "    if (console->pixels != KESH_ABSENT &&\n"
               "        (!kesh_pixel_bytes(scan, &each) ||\n"
               "         !kesh_fits(in->size, console->pixels, scan->count, each)))\n"
               "        return KESH_ERR_DAMAGED;\n";
    if (HasPaletteItem(tile))
        out << "    if (console->palette != KESH_ABSENT)\n"
               "        for (i = 0; i < KESH_PALETTE_BYTES; ++i)\n"
               "            if ((in->data[console->palette + i] & ~bits[i % KESH_COLOUR_BYTES]) "
               "!= 0)\n"
               "                return KESH_ERR_DAMAGED;\n";
    out << "    return 0;\n}\n";
}

void CFinish(std::ostream& out, const TileDescriptor& tile) {
    out << "\n/* After kesh_tiles_finish: the console items decoded into `out`. */\n"
           "static inline void kesh_console_finish(const struct kesh_reader *in,\n"
           "                                       const struct kesh_tile_scan *scan,\n"
           "                                       const struct kesh_console_scan *console,\n"
           "                                       struct kesh_tiles *out)\n"
           "{\n"
           "    size_t i;\n";
    if (HasPixelsItem(tile))
        out << "    unsigned long long each = 0;\n"
               "    const size_t tile = (size_t)out->width * (size_t)out->height;\n\n"
               "    if (console->pixels != KESH_ABSENT && kesh_pixel_bytes(scan, &each))\n"
               "        for (i = 0; i < (size_t)out->count; ++i)\n"
               "            kesh_decode_tile(KESH_PIXEL_ENCODING,\n"
               "                             in->data + console->pixels + i * (size_t)each,\n"
               "                             out->width, out->height, out->pixels + i * tile);\n";
    else
        out << "\n    (void)scan;\n";
    if (!HasPaletteItem(tile)) {
        out << "}\n";
        return;
    }
    out << "    if (console->palette == KESH_ABSENT)\n"
           "        return;\n"
           "    for (i = 0; i < KESH_PALETTE_COUNT * KESH_COLOURS_PER_PALETTE; ++i) {\n";
    if (GameBoyShades(tile.params))
        out << "        /* colour i's shade: the 2 bits from bit 2 * (i % 4) of byte i / 4 */\n"
               "        const unsigned char shade =\n"
               "            (unsigned char)((in->data[console->palette + i / 4] >> (2 * (i % 4))) "
               "& 3);\n\n"
               "        kesh_decode_colour(KESH_COLOUR_ENCODING, &shade, out->palette_rgb[i]);\n";
    else
        out << "        kesh_decode_colour(KESH_COLOUR_ENCODING,\n"
               "                           in->data + console->palette + i * KESH_COLOUR_BYTES,\n"
               "                           out->palette_rgb[i]);\n";
    out << "    }\n"
           "    out->palette_count = KESH_PALETTE_COUNT;\n"
           "    out->colours_per_palette = KESH_COLOURS_PER_PALETTE;\n";
    out << "}\n";
}

} // namespace

bool HasPixelsItem(const TileDescriptor& tile) {
    return Has(tile, TileItem::Pixels);
}

bool HasPaletteItem(const TileDescriptor& tile) {
    return Has(tile, TileItem::Palette);
}

std::string CConsoleMember(const TileDescriptor& tile) {
    if (!HasPaletteItem(tile))
        return {};
    return "    /* The Palette item's colours as the hardware shows them, red, green and\n"
           "     * blue of 0-255: colour i of palette p is palette_rgb[p * colours_per_palette"
           " + i]. */\n"
           "    unsigned char palette_rgb[256][3];\n"
           "    int palette_count, colours_per_palette;\n";
}

void CConsoleFunctions(std::ostream& out, const TileDescriptor& tile) {
    if (!HasConsoleItems(tile))
        return;
    CDefinitions(out, tile);
    if (HasPixelsItem(tile))
        out << '\n' << CPixelFunctions();
    if (HasPaletteItem(tile))
        out << '\n' << CColourFunctions();
    if (HasPixelsItem(tile))
        CPixelSteps(out, tile);
    CCheck(out, tile);
    CFinish(out, tile);
}

} // namespace kesh::codegen
