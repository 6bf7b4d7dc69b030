#include "layout/MapFormat.h"

#include <array>

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
}};

} // namespace

MapFormat MapFormat::Default() {
    MapFormat format;
    format.width = 64;
    format.height = 64;
    format.items = {MapItem::SizeByte, MapItem::CellsByte, MapItem::TileFile};
    return format;
}

const char* MapItemText(int code) {
    return code >= 0 && code < kMapItemCount ? kMapItems[size_t(code)].text : nullptr;
}

const char* MapItemName(int code) {
    return code >= 0 && code < kMapItemCount ? kMapItems[size_t(code)].name : nullptr;
}

} // namespace kesh
