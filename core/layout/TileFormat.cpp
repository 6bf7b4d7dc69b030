#include "layout/TileFormat.h"

#include <algorithm>
#include <array>
#include <charconv>

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

// The items with parameters, from TileItem::Pixels on.
constexpr std::array<ItemInfo, 2> kParamItems = {{
    {"타일데이터 (픽셀 형식)", "Pixels"},
    {"팔렛 (색 형식, 팔레트 P개 × 색 K개)", "Palette"},
}};

const ItemInfo* InfoOf(int code) {
    if (code >= 0 && code < kTileItemCount)
        return &kTileItems[size_t(code)];
    if (code == TileItem::Pixels || code == TileItem::Palette)
        return &kParamItems[size_t(code - TileItem::Pixels)];
    return nullptr;
}

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

bool ValidTileItemParams(const TileItemParams& params) {
    const int k = params.coloursPerPalette, p = params.paletteCount;
    // A BGP byte holds four colours.
    if (params.colours == ColourEncoding::GameBoy && k != 4)
        return false;
    return int(params.pixels) < kPixelEncodingCount && int(params.colours) < kColourEncodingCount &&
           k >= 2 && k <= 256 && p >= 1 && p * k <= 256;
}

bool TileFormat::HasParamItems() const {
    return std::any_of(items.begin(), items.end(), [](uint8_t code) {
        return code == TileItem::Pixels || code == TileItem::Palette;
    });
}

const char* TileItemText(int code) {
    const ItemInfo* info = InfoOf(code);
    return info ? info->text : nullptr;
}

const char* TileItemName(int code) {
    const ItemInfo* info = InfoOf(code);
    return info ? info->name : nullptr;
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

uint64_t TileItemBytes(const TileFormat& format, int code, int64_t count) {
    const TileItemParams& params = format.params;
    switch (code) {
    case TileItem::Pixels:
        if (count <= 0 || !CheckTileSize(params.pixels, format.width, format.height))
            return 0;
        return uint64_t(count) * EncodedTileBytes(params.pixels, format.width, format.height);
    case TileItem::Palette:
        return PaletteBytes(params.colours, int64_t(params.coloursPerPalette) * params.paletteCount);
    default:
        return TileItemBytes(code, format.width, format.height, count, format.attrWidth);
    }
}

std::string TileItemLabel(const TileFormat& format, int code) {
    const TileItemParams& params = format.params;
    const char* name = TileItemName(code);
    std::string label = name ? name : std::to_string(code);
    if (code == TileItem::Pixels)
        label += "[" + std::string(PixelEncodingName(params.pixels)) + "]";
    else if (code == TileItem::Palette)
        label += "[" + std::string(ColourEncodingName(params.colours)) + "," +
                 std::to_string(params.coloursPerPalette) + "x" +
                 std::to_string(params.paletteCount) + "]";
    return label;
}

namespace {

bool ParseNumber(std::string_view text, int& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

// "bgr555,16x8" into the palette's encoding, K and P.
bool ParsePalette(std::string_view text, TileItemParams& params) {
    const size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return false;
    const auto encoding = ColourEncodingFromName(text.substr(0, comma));
    const std::string_view sizes = text.substr(comma + 1);
    const size_t x = sizes.find('x');
    int k = 0, p = 0;
    if (!encoding || x == std::string_view::npos || !ParseNumber(sizes.substr(0, x), k) ||
        !ParseNumber(sizes.substr(x + 1), p) || k < 2 || k > 256 || p < 1 || p > 256)
        return false;
    params.colours = *encoding;
    params.coloursPerPalette = uint16_t(k);
    params.paletteCount = uint16_t(p);
    return ValidTileItemParams(params);
}

} // namespace

Status ParseTileItem(std::string_view text, TileFormat& format) {
    const size_t open = text.find('[');
    const std::string_view name = text.substr(0, open);
    int code = -1;
    for (int c = 0; c <= TileItem::Palette; ++c)
        if (const char* known = TileItemName(c); known && name == known)
            code = c;
    const std::string quoted = "'" + std::string(text) + "'";
    if (code < 0)
        return Status::Fail(quoted + ": 알 수 없는 타일 파일 항목입니다.");
    const bool hasParams = code == TileItem::Pixels || code == TileItem::Palette;
    if (!hasParams) {
        if (open != std::string_view::npos)
            return Status::Fail(quoted + ": 이 항목에는 매개변수가 없습니다.");
        format.items.push_back(uint8_t(code));
        return Status::Ok();
    }
    if (open == std::string_view::npos || text.back() != ']')
        return Status::Fail(quoted + ": 항목의 매개변수를 [ ] 안에 적어야 합니다 (예: " +
                            (code == TileItem::Pixels ? "Pixels[4bpp-snes]" : "Palette[bgr555,16x8]") +
                            ").");
    const std::string_view inside = text.substr(open + 1, text.size() - open - 2);
    TileItemParams params = format.params;
    if (code == TileItem::Pixels) {
        const auto encoding = PixelEncodingFromName(inside);
        if (!encoding)
            return Status::Fail(quoted + ": 알 수 없는 픽셀 형식입니다.");
        params.pixels = *encoding;
    } else if (!ParsePalette(inside, params)) {
        return Status::Fail(quoted + ": 팔레트는 '색 형식,색 K개x팔레트 P개'로 적고, K는 2부터 "
                                     "256까지, P × K는 256 이하여야 합니다.");
    }
    // One set of parameters per layout: a second item of a kind must agree.
    const bool already = std::find(format.items.begin(), format.items.end(), uint8_t(code)) !=
                         format.items.end();
    if (already && !(params == format.params))
        return Status::Fail(quoted + ": 한 레이아웃의 같은 항목은 매개변수가 같아야 합니다.");
    format.params = params;
    format.items.push_back(uint8_t(code));
    return Status::Ok();
}

} // namespace kesh
