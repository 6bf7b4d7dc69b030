#pragma once

#include <ostream>
#include <string>

#include "layout/Descriptor.h"

namespace kesh::codegen {

// The readers' parts for a tile layout's console items: the Pixels item's
// tiles, decoded into one byte a pixel as the other pixel items give them,
// and the Palette item's P x K colours, decoded to 8-bit red, green and blue
// as the hardware shows them. A layout without such items gets none of it.

bool HasPixelsItem(const TileDescriptor& tile);
bool HasPaletteItem(const TileDescriptor& tile);
inline bool HasConsoleItems(const TileDescriptor& tile) {
    return HasPixelsItem(tile) || HasPaletteItem(tile);
}

// C: the struct kesh_tiles member lines for the colours (empty without a
// Palette item), and the layout's constants, the decoders it uses and the
// scan steps kesh_read_tile_file calls: kesh_scan_pixels(in, &scan,
// &console), kesh_scan_palette(in, KESH_PALETTE_BYTES, &console.palette),
// then kesh_console_check before kesh_tiles_finish and kesh_console_finish
// after it.
std::string CConsoleMember(const TileDescriptor& tile);
void CConsoleFunctions(std::ostream& out, const TileDescriptor& tile);

// Python: the same steps, _scan_pixels(scan, reader), _console_check and
// _console_finish, which adds the dict's pixelEncoding, colourEncoding,
// paletteCount, coloursPerPalette and palettes keys.
void PythonConsoleFunctions(std::ostream& out, const TileDescriptor& tile);

} // namespace kesh::codegen
