#include "layout/CodeGenConsole.h"
#include "layout/CodeGenEncodings.h"

namespace kesh::codegen {

namespace {

std::string PythonTileBytes(PixelEncoding encoding) {
    if (encoding == PixelEncoding::Byte8)
        return "width * height";
    return "width * height // 8 * " + std::to_string(BitsPerPixel(encoding));
}

void PythonDefinitions(std::ostream& out, const TileDescriptor& tile) {
    const TileItemParams& p = tile.params;
    out << "\n\n# The layout's console items and their parameters.\n";
    if (HasPixelsItem(tile))
        out << "_PIXEL_ENCODING = " << int(p.pixels) << "  # " << PixelEncodingName(p.pixels)
            << ", " << BitsPerPixel(p.pixels) << " bits a pixel\n";
    if (HasPaletteItem(tile)) {
        out << "_COLOUR_ENCODING = " << int(p.colours) << "  # " << ColourEncodingName(p.colours)
            << '\n'
            << "_COLOUR_BYTES = " << BytesPerColour(p.colours) << '\n'
            << "_PALETTE_COUNT = " << p.paletteCount << '\n'
            << "_COLOURS_PER_PALETTE = " << p.coloursPerPalette << '\n'
            << "_PALETTE_BYTES = "
            << PaletteBytes(p.colours, int64_t(p.paletteCount) * p.coloursPerPalette)
            << (p.colours == ColourEncoding::GameBoy
                    ? "  # a BGP byte a palette, colour 0 in bits 1-0\n"
                    : "\n")
            << "# The bits each byte of a colour may set; any other is no hardware colour.\n"
            << "_COLOUR_BITS = (";
        const std::vector<uint8_t> mask = ColourByteMask(p.colours);
        for (size_t i = 0; i < mask.size(); ++i)
            out << (i ? ", " : "") << int(mask[i]);
        out << (mask.size() == 1 ? ",)\n" : ")\n");
    }
    if (HasPixelsItem(tile))
        out << "\n\n" << PythonPixelFunctions();
    if (!HasPaletteItem(tile))
        return;
    out << "\n\n"
        << PythonColourFunctions()
        << "\n\ndef _stored_colour(data, palette_at, i):\n"
           "    \"\"\"The bytes of the Palette item's colour i.\"\"\"\n";
    if (p.colours == ColourEncoding::GameBoy)
        out << "    # Its shade: bits 2 * (i % 4) + 1 and 2 * (i % 4) of byte i // 4.\n"
               "    return bytes([(data[palette_at + i // 4] >> (2 * (i % 4))) & 3])\n";
    else
        out << "    at = palette_at + i * _COLOUR_BYTES\n"
               "    return data[at:at + _COLOUR_BYTES]\n";
}

void PythonPixelSteps(std::ostream& out, const TileDescriptor& tile) {
    out << "\n\ndef _pixel_bytes(width, height):\n"
           "    \"\"\"Bytes of one tile in the Pixels item, or None for a size it cannot "
           "store.\"\"\"\n"
           "    if width <= 0 or height <= 0";
    if (tile.params.pixels != PixelEncoding::Byte8)
        out << " or width % 8 or height % 8";
    out << ":\n        return None\n"
           "    return "
        << PythonTileBytes(tile.params.pixels) << "\n"
        << R"(

def _scan_pixels(scan, reader):
    """Notes and skips the Pixels item's tiles; returns where they start."""
    scan.check()
    each = _pixel_bytes(scan.width, scan.height)
    here = reader.pos
    if each is None or not _fits(len(reader.data), here, scan.count, each):
        raise _damaged()
    reader.skip(scan.count * each)
    scan.tiles = None  # these replace an earlier item's pixels
    return here
)";
}

void PythonCheck(std::ostream& out, const TileDescriptor& tile) {
    out << "\n\ndef _console_check(scan, data, pixels_at, palette_at):\n"
           "    \"\"\"After the walk, before scan.finish: the Pixels item against the final "
           "size\n"
           "    and count, and every colour one the hardware has.\"\"\"\n"
           "    scan.check()\n";
    if (HasPixelsItem(tile))
        out << "    if pixels_at is not None:\n"
               "        each = _pixel_bytes(scan.width, scan.height)\n"
               "        if each is None or not _fits(len(data), pixels_at, scan.count, each):\n"
               "            raise _damaged()\n";
    if (HasPaletteItem(tile))
        out << "    if palette_at is not None:\n"
               "        stored = data[palette_at:palette_at + _PALETTE_BYTES]\n"
               "        if any(b & ~_COLOUR_BITS[i % _COLOUR_BYTES] for i, b in "
               "enumerate(stored)):\n"
               "            raise _damaged()\n";
}

void PythonFinish(std::ostream& out, const TileDescriptor& tile) {
    const TileItemParams& p = tile.params;
    out << "\n\ndef _console_finish(tiles, data, pixels_at, palette_at):\n"
           "    \"\"\"The console items decoded into the tiles' dict.\"\"\"\n";
    if (HasPixelsItem(tile))
        out << "    tiles[\"pixelEncoding\"] = \"" << PixelEncodingName(p.pixels) << "\"\n"
            << R"(    if pixels_at is not None:
        width, height = tiles["tileWidth"], tiles["tileHeight"]
        each = _pixel_bytes(width, height)
        starts = [pixels_at + i * each for i in range(tiles["tileCount"])]
        tiles["pixels"] = b"".join(
            decode_tile(_PIXEL_ENCODING, data[at:at + each], width, height) for at in starts
        )
)";
    if (HasPaletteItem(tile))
        out << "    tiles[\"colourEncoding\"] = \"" << ColourEncodingName(p.colours) << "\"\n"
            << R"(    tiles["paletteCount"] = _PALETTE_COUNT
    tiles["coloursPerPalette"] = _COLOURS_PER_PALETTE
    if palette_at is not None:
        colours = [list(decode_colour(_COLOUR_ENCODING, _stored_colour(data, palette_at, i)))
                   for i in range(_PALETTE_COUNT * _COLOURS_PER_PALETTE)]
        k = _COLOURS_PER_PALETTE
        tiles["palettes"] = [colours[p * k:(p + 1) * k] for p in range(_PALETTE_COUNT)]
)";
}

} // namespace

void PythonConsoleFunctions(std::ostream& out, const TileDescriptor& tile) {
    if (!HasConsoleItems(tile))
        return;
    PythonDefinitions(out, tile);
    if (HasPixelsItem(tile))
        PythonPixelSteps(out, tile);
    PythonCheck(out, tile);
    PythonFinish(out, tile);
}

} // namespace kesh::codegen
