#pragma once

#include "image/QuantizeImage.h"
#include "image/SubPaletteOptions.h"

namespace kesh {

// The assigner for "팔레트 새로 만들기" with sub-palettes: instead of packing
// the picture's colours as they are, the tile-aware quantizer makes P
// palettes of K colours for it, so a picture with more colours than they
// hold still comes in, each tile drawing from the palette that serves it
// best. The error it reports goes to `report`, which must outlive the
// assigner's use.
PaletteAssigner QuantizingAssigner(QuantizeReport& report);

} // namespace kesh
