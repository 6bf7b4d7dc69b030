#pragma once

// The Korean texts that the core shows the user. Kept in one place so the
// editor, the command-line tool and the tests use the very same strings.
namespace kesh::msg {

// Reading
inline constexpr const char* kDamagedFile = "파일이 손상되었거나 파일포맷과 맞지 않습니다.";
inline constexpr const char* kNoTileSize = "파일 형식중에 타일의 크기가 없습니다.";
inline constexpr const char* kNoTileCount = "파일 형식중에 타일의 갯수가 없습니다.";
inline constexpr const char* kTileSizeMismatch = "타일의 크기가 일치하지 않습니다.";
inline constexpr const char* kTileSetFull =
    "타일 세트가 가득 차서 일부 타일을 추가하지 못했습니다.";
inline constexpr const char* kBadMapSize = "지도의 크기가 올바르지 않습니다.";
// A size whose sides are fine but whose cells are more than any map holds:
// followed by the limit, "칸)." and the size asked for on a line of its own.
inline constexpr const char* kMapTooLarge = "지도가 너무 큽니다 (최대 ";
inline constexpr const char* kAllocFailed = "메모리 할당에 실패 했습니다.";
// What kesh-cli and the editor say when memory ran out anywhere in a command.
inline constexpr const char* kOutOfMemory = "메모리가 부족합니다.";
// Refused reads: followed by a line feed and the path.
inline constexpr const char* kNotRegularFile = "일반 파일이 아닙니다.";
// Followed by the ceiling in bytes, "바이트)." and the path on a line of its own.
inline constexpr const char* kFileTooLarge = "파일이 너무 큽니다 (최대 ";
inline constexpr const char* kMapTooLargeForBitmap =
    "지도가 너무 커서 비트맵으로 저장할 수 없습니다.";
inline constexpr const char* kPcxOnly = "256컬러 PCX만을 지원합니다.";
inline constexpr const char* kBmpOnly = "256컬러 BMP만을 지원합니다.";
inline constexpr const char* kPaletteTypeUnsupported =
    "256컬러 PCX, BMP, PNG 파일이나 GIMP(.gpl), JASC(.pal) 팔레트 파일만 지원합니다.";
inline constexpr const char* kPngDamaged = "PNG 파일이 손상되었거나 지원하지 않는 형식입니다.";
inline constexpr const char* kImageTooLarge = "이미지가 너무 큽니다.";
inline constexpr const char* kImageUnsupported = "지원하지 않는 이미지 파일입니다.";
inline constexpr const char* kPngNoPalette = "팔레트가 있는 PNG 파일만 지원합니다.";
// A palette file line that can't be read: followed by its number.
inline constexpr const char* kPaletteFileBadLine = "팔레트 파일의 내용이 올바르지 않습니다. 줄: ";

// Importing tiles from an image.
inline constexpr const char* kImageNotTileMultiple = "이미지의 크기가 타일 크기의 배수가 아닙니다.";
// Followed by " (x, y): #rrggbb".
inline constexpr const char* kColourNotInPalette = "팔레트에 없는 색이 있습니다.";
// A tile size the tile set cannot hold (sides 1 to 4096).
inline constexpr const char* kBadTileSize = "타일 크기가 올바르지 않습니다.";
inline constexpr const char* kTileNumberTooLargeForMap =
    "타일 번호가 너무 커서 지도에 넣을 수 없습니다.";

// Saving: followed by a line feed and the path.
inline constexpr const char* kSaveFailed = "파일을 저장하지 못했습니다.";
// Added below the path when the target is marked read-only.
inline constexpr const char* kReadOnlyFile = "읽기 전용 파일입니다.";
// Added below the path when another process held the files' save lock too long.
inline constexpr const char* kSavingElsewhere = "다른 프로그램이 이 파일을 저장하고 있습니다.";
// Opening: followed by a line feed and the path.
inline constexpr const char* kOpenFailed = "파일을 열지 못했습니다.";
// A map whose layout embeds the tile set cannot be saved while the set is empty.
inline constexpr const char* kNoTilesToEmbed =
    "타일이 없어서 지도 파일에 타일 파일을 넣을 수 없습니다.";
// A tile file without tiles could not be read back (kesh-cli refuses to write one).
inline constexpr const char* kNoTilesToSave = "타일이 없어서 타일 파일을 저장할 수 없습니다.";
// A data file without its layout descriptor, where no one can be asked.
inline constexpr const char* kKtfMissing = "파일포맷(.ktf)을 찾을수가 없습니다.";
inline constexpr const char* kKmfMissing = "파일포맷(.kmf)을 찾을수가 없습니다.";

// Questions
inline constexpr const char* kAskSaveChanged = "변경된 파일을 저장할까요?";
// The name of a map that has no file yet, as the caption shows it.
inline constexpr const char* kUntitled = "제목없음";
inline constexpr const char* kAskDeleteTile = "현재 타일을 삭제하시겠습니까?";
inline constexpr const char* kAskKtfMissing =
    "파일포맷(.ktf)을 찾을수가 없습니다.\n포맷이 정확하지 않으면 치명적인 오류가 발생할수도 "
    "있습니다.\n파일포맷을 수동으로 설정하시겠습니까?";
inline constexpr const char* kAskKmfMissing =
    "파일포맷(.kmf)을 찾을수가 없습니다.\n포맷이 정확하지 않으면 치명적인 오류가 발생할수도 "
    "있습니다.\n파일포맷을 수동으로 설정하시겠습니까?";

// Saves cut short and finished later (their commit records)
inline constexpr const char* kUnfinishedSave =
    "중단된 이전 저장을 마무리하지 못했습니다. 파일이 있는 폴더를 확인해 주십시오.";

// Tile clean-ups and edits
inline constexpr const char* kWouldEmptyTileSet = "타일이 하나도 남지 않게 되므로 할 수 없습니다.";
inline constexpr const char* kNoSuchTileNumber = "없는 타일 번호입니다: ";
inline constexpr const char* kBadTilePixels = "타일의 픽셀 수가 타일 크기와 맞지 않습니다.";
inline constexpr const char* kNotSquareTile = "정사각형 타일만 돌릴 수 있습니다.";

} // namespace kesh::msg
