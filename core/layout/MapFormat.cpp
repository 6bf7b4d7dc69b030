#include "layout/MapFormat.h"

#include <algorithm>
#include <array>

#include "layout/NesAttributeTable.h"
#include "layout/TileFormat.h"

namespace kesh {

namespace {

struct ItemInfo {
    const char* text;
    const char* name;
};

constexpr std::array<ItemInfo, kMapItemCount> kMapItems = {{
    {"BYTE  Width, Height ;", "SizeByte"},
    {"WORD  Width, Height ;", "SizeWord"},
    {"DWORD Width, Height ;", "SizeDword"},
    {"타일 파일", "TileFile"},
    {"지도데이터(BYTE)", "CellsByte"},
    {"지도데이터(WORD)", "CellsWord"},
    {"지도데이터(필드)", "CellFields"},
    {"셀 속성 평면", "CellAttributes"},
    {"NES 속성 테이블", "NesAttributes"},
}};

// The palette bits of the NES table's own field.
constexpr uint16_t kNesPaletteMask = ((1u << nes::kPaletteBits) - 1) << cellbit::kPaletteShift;

} // namespace

MapFormat MapFormat::Default() {
    MapFormat format;
    format.width = 64;
    format.height = 64;
    format.items = {MapItem::SizeByte, MapItem::CellsByte, MapItem::TileFile};
    return format;
}

bool MapFormat::HasFieldItems() const {
    return std::any_of(items.begin(), items.end(), [this](uint8_t code) {
        return (code == MapItem::CellFields && !cells.word.fields.empty()) ||
               (code == MapItem::CellAttributes && !cells.plane.fields.empty()) ||
               code == MapItem::NesAttributes;
    });
}

bool MapFormat::HasNesAttributes() const {
    return std::find(items.begin(), items.end(), MapItem::NesAttributes) != items.end();
}

uint16_t MapFormat::AttrMask() const {
    if (!HasFieldItems())
        return 0;
    return uint16_t(cells.AttrMask() | (HasNesAttributes() ? kNesPaletteMask : 0));
}

int MapFormat::PaletteCount() const {
    if (!HasNesAttributes())
        return cells.PaletteCount();
    return std::max(1, std::min(1 << nes::kPaletteBits,
                                256 / std::max<int>(cells.coloursPerPalette, 1)));
}

const char* MapItemText(int code) {
    return code >= 0 && code < kMapItemCount ? kMapItems[size_t(code)].text : nullptr;
}

const char* MapItemName(int code) {
    return code >= 0 && code < kMapItemCount ? kMapItems[size_t(code)].name : nullptr;
}

uint64_t MapItemBytes(int code, int64_t width, int64_t height) {
    const uint64_t cells =
        uint64_t(std::max<int64_t>(width, 0)) * uint64_t(std::max<int64_t>(height, 0));
    switch (code) {
    case MapItem::SizeByte:
    case MapItem::SizeWord:
    case MapItem::SizeDword:
        return 2 * uint64_t(BytesForWidthCode(code - MapItem::SizeByte));
    case MapItem::CellsByte:
        return cells;
    case MapItem::CellsWord:
        return 2 * cells;
    case MapItem::NesAttributes:
        return NesAttributeBytes(width, height);
    default:
        return 0;
    }
}

uint64_t MapItemBytes(const MapFormat& format, int code) {
    const uint64_t cells = uint64_t(std::max<int64_t>(format.width, 0)) *
                           uint64_t(std::max<int64_t>(format.height, 0));
    // An item without fields is skipped, as an unknown code is.
    if (code == MapItem::CellFields)
        return format.cells.word.fields.empty() ? 0 : cells * uint64_t(format.cells.word.bytes());
    if (code == MapItem::CellAttributes)
        return format.cells.plane.fields.empty() ? 0
                                                 : cells * uint64_t(format.cells.plane.bytes());
    return MapItemBytes(code, format.width, format.height);
}

} // namespace kesh
