#pragma once

#include "image/ImportImage.h"

namespace kesh {

class ImageSource;

// ImportImage with `options.subPalettes` on, once the sizes are checked:
// the picture is read whole into PictureTiles, AssignPalettes gives each
// place its palette, and only then does the set change. Fails with
// CheckSubPaletteOptions' message, the source's, or the assigner's (the
// packer names the first tile no palette holds); the set is then as it was.
ImportResult ImportWithSubPalettes(TileSet& set, ImageSource& source, const ImportOptions& options);

} // namespace kesh
