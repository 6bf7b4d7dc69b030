#include "layout/TileFormat.h"

#include <algorithm>
#include <array>

namespace kesh {

namespace {

struct ItemInfo {
    const char* text;
    const char* name;
};

constexpr std::array<ItemInfo, kTileItemCount> kTileItems = {{
    {"BYTE  x, y ;", "SizeByte"},
    {"WORD  x, y ;", "SizeWord"},
    {"DWORD x, y ;", "SizeDword"},
    {"BYTE  tilecount ;", "CountByte"},
    {"WORD  tilecount ;", "CountWord"},
    {"DWORD tilecount ;", "CountDword"},
    {"타일데이터", "TileData"},
    {"속성데이터", "AttrData"},
    {"타일+속성 데이터", "TileAttrData"},
    {"팔렛( r, g, b ) 768 byte", "Palette768"},
    {"팔렛(RGBQUAD) 1024 byte", "Palette1024"},
}};

const std::vector<uint8_t>& DefaultTileItems() {
    static const std::vector<uint8_t> items = {TileItem::SizeByte, TileItem::CountWord,
                                               TileItem::TileData, TileItem::AttrData,
                                               TileItem::Palette768};
    return items;
}

} // namespace

TileFormat TileFormat::Default() {
    TileFormat format;
    format.width = 32;
    format.height = 32;
    format.attrWidth = 0;
    format.items = DefaultTileItems();
    return format;
}

TileFormat TileFormat::NewFileDefault() {
    TileFormat format = Default();
    format.width = 16;
    format.height = 16;
    return format;
}

const char* TileItemText(int code) {
    return code >= 0 && code < kTileItemCount ? kTileItems[size_t(code)].text : nullptr;
}

const char* TileItemName(int code) {
    return code >= 0 && code < kTileItemCount ? kTileItems[size_t(code)].name : nullptr;
}

int AttrBytesFor(AttrWidth attrWidth) {
    switch (attrWidth) {
    case 1:
        return 2;
    case 2:
        return 4;
    default:
        return 1;
    }
}

int BytesForWidthCode(int code) {
    switch (code) {
    case 0:
        return 1;
    case 1:
        return 2;
    case 2:
        return 4;
    default:
        return 0;
    }
}

uint64_t TileItemBytes(int code, int64_t width, int64_t height, int64_t count,
                       AttrWidth attrWidth) {
    const uint64_t n = uint64_t(std::max<int64_t>(count, 0));
    const uint64_t pixels =
        uint64_t(std::max<int64_t>(width, 0)) * uint64_t(std::max<int64_t>(height, 0));
    const uint64_t attr = uint64_t(AttrBytesFor(attrWidth));
    switch (code) {
    case TileItem::SizeByte:
    case TileItem::SizeWord:
    case TileItem::SizeDword:
        return 2 * uint64_t(BytesForWidthCode(code - TileItem::SizeByte));
    case TileItem::CountByte:
    case TileItem::CountWord:
    case TileItem::CountDword:
        return uint64_t(BytesForWidthCode(code - TileItem::CountByte));
    case TileItem::TileData:
        return n * pixels;
    case TileItem::AttrData:
        return n * attr;
    case TileItem::TileAttrData:
        return n * (pixels + attr);
    case TileItem::Palette768:
        return 768;
    case TileItem::Palette1024:
        return 1024;
    default:
        return 0;
    }
}

} // namespace kesh
