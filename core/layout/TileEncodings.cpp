#include "layout/TileEncodings.h"

#include <array>
#include <string>

namespace kesh {

namespace {

constexpr std::array<std::string_view, kPixelEncodingCount> kPixelNames = {
    "8bpp",     "1bpp",     "2bpp-gb", "2bpp-nes", "4bpp-snes",
    "4bpp-sms", "4bpp-gba", "4bpp-md", "8bpp-snes"};

constexpr std::array<std::string_view, kColourEncodingCount> kColourNames = {
    "rgb888", "bgr555", "md", "pce", "sms", "gg", "nes", "gb"};

} // namespace

std::string_view PixelEncodingName(PixelEncoding encoding) {
    return kPixelNames[size_t(encoding)];
}

std::optional<PixelEncoding> PixelEncodingFromName(std::string_view name) {
    for (size_t i = 0; i < kPixelNames.size(); ++i)
        if (kPixelNames[i] == name)
            return PixelEncoding(i);
    return std::nullopt;
}

int BitsPerPixel(PixelEncoding encoding) {
    switch (encoding) {
    case PixelEncoding::Byte8:
    case PixelEncoding::Planar8Snes:
        return 8;
    case PixelEncoding::Planar1:
        return 1;
    case PixelEncoding::Planar2Rows:
    case PixelEncoding::Planar2Nes:
        return 2;
    default:
        return 4;
    }
}

uint8_t LargestPixel(PixelEncoding encoding) {
    return uint8_t((1u << BitsPerPixel(encoding)) - 1);
}

Status CheckTileSize(PixelEncoding encoding, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0)
        return Status::Fail("타일 크기가 올바르지 않습니다.");
    if (encoding != PixelEncoding::Byte8 && (width % 8 != 0 || height % 8 != 0))
        return Status::Fail("픽셀 형식 " + std::string(PixelEncodingName(encoding)) +
                            "에는 가로와 세로가 8의 배수인 타일만 쓸 수 있습니다.");
    return Status::Ok();
}

size_t EncodedTileBytes(PixelEncoding encoding, int32_t width, int32_t height) {
    return size_t(width) * size_t(height) * size_t(BitsPerPixel(encoding)) / 8;
}

std::string_view ColourEncodingName(ColourEncoding encoding) {
    return kColourNames[size_t(encoding)];
}

std::optional<ColourEncoding> ColourEncodingFromName(std::string_view name) {
    for (size_t i = 0; i < kColourNames.size(); ++i)
        if (kColourNames[i] == name)
            return ColourEncoding(i);
    return std::nullopt;
}

int BytesPerColour(ColourEncoding encoding) {
    switch (encoding) {
    case ColourEncoding::Rgb888:
        return 3;
    case ColourEncoding::MasterSystem:
    case ColourEncoding::Nes:
    case ColourEncoding::GameBoy:
        return 1;
    default:
        return 2;
    }
}

uint64_t PaletteBytes(ColourEncoding encoding, int64_t colours) {
    if (colours <= 0)
        return 0;
    if (encoding == ColourEncoding::GameBoy)
        return uint64_t(colours + 3) / 4;
    return uint64_t(colours) * uint64_t(BytesPerColour(encoding));
}

} // namespace kesh
