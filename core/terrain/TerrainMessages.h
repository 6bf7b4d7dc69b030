#pragma once

// The Korean messages of terrain sets, their file and their masks.
namespace kesh::terrainmsg {

inline constexpr const char* kTerrainCount = "지형은 1개에서 8개까지 둘 수 있습니다.";
inline constexpr const char* kEmptyName = "지형의 이름이 비어 있습니다.";
inline constexpr const char* kRepeatedName = "같은 이름의 지형이 두 번 있습니다.";
inline constexpr const char* kUnknownTerrain = "타일에 없는 지형이 적혀 있습니다. 타일:";
inline constexpr const char* kNotTerrainFile = "지형 파일(.kterrain)이 아닙니다.";
inline constexpr const char* kNewerVersion = "이 프로그램보다 새 버전의 지형 파일입니다.";
inline constexpr const char* kBadLine = "지형 파일이 손상되었습니다. 줄:";
inline constexpr const char* kNotUtf8 = "지형 파일이 UTF-8 글자가 아닙니다.";
inline constexpr const char* kNoSet = "지형 세트가 없습니다.";
inline constexpr const char* kMaskSize = "마스크 그림의 크기가 지도와 맞지 않습니다.";
inline constexpr const char* kMaskColours = "마스크 그림의 색이 지형보다 많습니다.";
inline constexpr const char* kTemplateSize = "타일 그림의 크기가 지형 틀과 맞지 않습니다.";

} // namespace kesh::terrainmsg
