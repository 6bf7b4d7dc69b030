#pragma once

namespace kesh::command {

// The names of undoable steps, shown after "실행 취소: " and "다시 실행: ".
inline constexpr const char* kPaint = "그리기";
inline constexpr const char* kPaste = "붙여넣기";
inline constexpr const char* kFill = "채우기";
inline constexpr const char* kDeleteTile = "타일 삭제";
inline constexpr const char* kAddTileFile = "타일파일 추가";
inline constexpr const char* kLoadPalette = "팔렛 읽어오기";
inline constexpr const char* kTileFormat = "타일 파일포맷 변경";
inline constexpr const char* kMapFormat = "지도 파일포맷 변경";
inline constexpr const char* kImportImage = "이미지에서 타일 가져오기";
inline constexpr const char* kImportTmx = "TMX 가져오기";
inline constexpr const char* kAttribute = "타일 속성 변경";
inline constexpr const char* kFlipCells = "선택 영역 뒤집기";
inline constexpr const char* kTerrainStroke = "지형 붓";
inline constexpr const char* kTerrainFill = "지형 채우기";
inline constexpr const char* kMakeTerrain = "지형 만들기";
inline constexpr const char* kRemoveUnused = "사용하지 않는 타일 지우기";
inline constexpr const char* kMergeDuplicates = "같은 타일 합치기";
inline constexpr const char* kMergeTiles = "타일 합치기";
inline constexpr const char* kMergeNear = "비슷한 타일 합치기";
inline constexpr const char* kMoveTile = "타일 옮기기";
inline constexpr const char* kReplaceTile = "타일 바꾸기";
inline constexpr const char* kEditTile = "타일 편집";
inline constexpr const char* kFlipTileH = "타일 좌우 뒤집기";
inline constexpr const char* kFlipTileV = "타일 상하 뒤집기";
inline constexpr const char* kRotateTile = "타일 돌리기";
inline constexpr const char* kShiftTile = "타일 밀기";

} // namespace kesh::command
