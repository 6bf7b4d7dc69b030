#include "image/SubPaletteOptions.h"

#include <string>

#include "layout/CellFields.h"

namespace kesh {

Status CheckSubPaletteOptions(const SubPaletteOptions& options, bool makeMap) {
    if (options.colours < 2 || options.colours > 256)
        return Status::Fail("팔레트의 색 수는 2에서 256 사이여야 합니다.");
    if (options.palettes < 1 || options.palettes * options.colours > 256)
        return Status::Fail("팔레트 " + std::to_string(options.palettes) + "개 × 색 " +
                            std::to_string(options.colours) +
                            "개는 타일 세트의 256색에 들어가지 않습니다.");
    constexpr int kCellPalettes = 1 << cellbit::kPaletteBits;
    if (makeMap && options.palettes > kCellPalettes)
        return Status::Fail("지도의 칸은 팔레트를 " + std::to_string(kCellPalettes) +
                            "개까지만 고를 수 있습니다.");
    if (options.area != 1 && options.area != 2)
        return Status::Fail("팔레트를 함께 쓰는 영역은 타일 1×1 또는 2×2입니다.");
    return Status::Ok();
}

Status CheckSubPaletteMap(const MapFormat& format, const SubPaletteOptions& options) {
    if ((format.AttrMask() & cellbit::kPaletteMask) == 0)
        return Status::Fail("팔레트를 나누어 가져오려면 지도 파일포맷에 palette 필드가 있어야 "
                            "합니다.");
    // The NES table names its own palettes, in no cell word.
    MapFormat shown = format;
    shown.cells.coloursPerPalette = uint16_t(options.colours);
    if (shown.PaletteCount() < options.palettes)
        return Status::Fail("지도 파일포맷의 palette 필드로는 팔레트를 " +
                            std::to_string(shown.PaletteCount()) + "개까지만 고를 수 있습니다.");
    return Status::Ok();
}

} // namespace kesh
