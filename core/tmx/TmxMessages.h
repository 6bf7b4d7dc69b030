#pragma once

// The Korean texts of Tiled (TMX) export and import.
namespace kesh::msg {

// Followed by pugixml's description and the byte offset.
inline constexpr const char* kTmxBadXml = "TMX 파일의 XML이 올바르지 않습니다.";
inline constexpr const char* kTmxNotMap = "TMX 지도 파일이 아닙니다.";
// Followed by the orientation the file names.
inline constexpr const char* kTmxNotOrthogonal = "직교(orthogonal) 지도만 가져올 수 있습니다: ";
inline constexpr const char* kTmxBadTileSize = "TMX 파일의 타일 크기가 올바르지 않습니다.";
// Followed by the tile set's name.
inline constexpr const char* kTmxTileSizeDiffers = "타일 세트의 타일 크기가 지도와 다릅니다: ";
inline constexpr const char* kTmxBadTileset = "타일 세트의 내용이 올바르지 않습니다: ";
inline constexpr const char* kTmxNoImage = "타일 세트에 이미지가 하나 있어야 합니다: ";
inline constexpr const char* kTmxTooFewSlots =
    "타일 세트의 타일 수(tilecount)가 이미지에 든 타일보다 많습니다: ";
inline constexpr const char* kTmxBadAttribute = "attribute 속성 값이 올바르지 않습니다: ";
// Followed by a line feed and the path.
inline constexpr const char* kTmxFileMissing = "타일 세트 파일이나 이미지를 읽지 못했습니다.";
// Followed by the budget in pixels, "화소)." and the path of the image past it.
inline constexpr const char* kTmxImagesTooLarge =
    "타일 세트 이미지를 모두 합친 크기가 너무 큽니다 (최대 ";
inline constexpr const char* kTmxNoTileLayer = "TMX 지도에 타일 레이어가 없습니다.";
// Followed by the names of the layers left out.
inline constexpr const char* kTmxOtherLayers = "첫 타일 레이어만 가져옵니다. 빠진 레이어: ";
// Followed by the encoding or compression named.
inline constexpr const char* kTmxBadEncoding = "지원하지 않는 레이어 인코딩입니다: ";
inline constexpr const char* kTmxBadCompression = "지원하지 않는 레이어 압축 방식입니다: ";
inline constexpr const char* kTmxZstd =
    "zstd로 압축된 레이어는 가져올 수 없습니다. Tiled에서 zlib, gzip 또는 CSV로 저장해 주세요.";
inline constexpr const char* kTmxBadData =
    "레이어 데이터가 손상되었거나 지도 크기와 맞지 않습니다.";
// Followed by " (x, y): gid".
inline constexpr const char* kTmxUnknownGid = "어느 타일 세트에도 없는 타일 번호가 있습니다.";
inline constexpr const char* kTmxFlipped = "뒤집히거나 회전된 타일은 가져올 수 없습니다.";
inline constexpr const char* kTmxMapTooLarge =
    "지도의 크기가 올바르지 않습니다. 가로 세로 1~65,535칸, 모두 268,435,456칸까지입니다.";
// Followed by the count.
inline constexpr const char* kTmxFlipsDropped = "뒤집기와 회전을 무시한 칸 수: ";

} // namespace kesh::msg
