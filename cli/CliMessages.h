#pragma once

// The tool's own texts (UTF-8); the texts it shares with the editor are in
// app/Messages.h.
namespace kesh::cli::text {

inline constexpr const char* kHelp =
    "사용법: kesh-cli <명령> [인자...]\n"
    "\n"
    "명령:\n"
    "  info FILE [--cells] [--palette]\n"
    "      지도(.map)나 타일 파일(.til)의 내용을 JSON 하나로 출력합니다. 타일 파일포맷에\n"
    "      Pixels 항목이 있으면 픽셀 형식(pixelEncoding)을, Palette 항목이 있으면 색 형식\n"
    "      (colourEncoding)과 팔레트 P개 × 색 K개(paletteCount, coloursPerPalette)를\n"
    "      덧붙입니다. 칸에 palette 필드가 있는 지도는 타일마다 그 타일을 쓰는 칸들의\n"
    "      팔레트 번호를 \"tilePalettes\"에 덧붙입니다 (예: [[0], [0, 2], []]).\n"
    "      --cells    지도의 칸 값을 한 줄씩 차례로 덧붙입니다. 셀 필드가 있는 지도는\n"
    "                 필드마다 칸의 값을 \"fields\"에 이름으로 덧붙입니다.\n"
    "      --palette  표시 색 256개를 [r, g, b] (0-255)로 덧붙입니다. Palette 항목이 있으면\n"
    "                 그 팔레트들의 색을 기계가 보여 주는 대로 \"palettes\"에 덧붙입니다\n"
    "                 (팔레트마다 [r, g, b] K개).\n"
    "  export-bmp FILE OUT.bmp\n"
    "      지도 전체(.map) 또는 타일 시트(.til)를 8비트 BMP 파일로 저장합니다.\n"
    "  export-png FILE OUT.png\n"
    "      지도 전체(.map) 또는 타일 시트(.til)를 8비트 팔레트 PNG 파일로 저장합니다.\n"
    "      (두 명령 모두, info, layout, usage 도) TileFile 항목이 없는 지도\n"
    "      (--preset 의 지도 등)는 옆에 있는 같은 이름의 .til 의 타일로 봅니다.\n"
    "  import-image IMAGE SET.til [--tile-size WxH] [--palette] [--nearest] [--quantize [N]]\n"
    "               [--dither] [--pad] [--map OUT.map [--flips]] [--palettes PxK]\n"
    "      이미지(PNG, BMP, PCX)를 타일 크기로 잘라 SET에 없는 타일을 추가하고 SET을 저장합니다.\n"
    "      SET이 없으면 기본 파일포맷으로 새로 만듭니다. 결과를 JSON 하나로 출력합니다.\n"
    "      --tile-size WxH  새 타일 세트의 타일 크기 (기본 32x32); 있는 SET과 다르면 오류\n"
    "      --palette        이미지의 팔레트를 타일 세트의 팔레트로 삼습니다.\n"
    "      --nearest        팔레트에 없는 색은 가장 가까운 색으로 바꿉니다.\n"
    "      --quantize [N]   이미지의 색으로 N색 (2-256, 기본 256) 팔레트를 새로 만들어 씁니다.\n"
    "                       투명한 화소는 색 0이 됩니다. 결과에 PSNR(dB)을 덧붙입니다.\n"
    "      --dither         --quantize 와 함께: 디더링으로 색의 오차를 이웃 화소에 나눕니다.\n"
    "      --pad            타일 크기의 배수가 아닌 이미지의 오른쪽과 아래를 색 0으로 채웁니다.\n"
    "      --map OUT.map    이미지의 타일 번호로 지도를 만들어 저장합니다.\n"
    "      --map-items LIST, --preset NAME  --map 지도의 파일포맷 (convert와 같음;\n"
    "                       기본 지도 항목: SizeWord,CellsWord,TileFile). 기계 프리셋\n"
    "                       (gb, gbc, nes, snes4, gba4, megadrive, sms, pce)은 타일 세트도\n"
    "                       그 파일포맷 (8 x 8 타일)으로 저장하고, 팔레트 P개 × 색 K개로\n"
    "                       가져옵니다 (nes 는 16 x 16 화소마다 팔레트 하나). --map 없이도 씁니다.\n"
    "      --flips          뒤집힌 타일도 같은 타일로: 저장된 타일을 좌우, 상하, 또는 둘 다\n"
    "                       뒤집은 것과 같은 블록은 그 타일에 뒤집기 비트를 켭니다. 지도\n"
    "                       파일포맷에 hflip, vflip 필드가 있어야 합니다 (--preset 등).\n"
    "      --palettes PxK   팔레트 P개 × 색 K개 (P x K는 256 이하): 이미지의 색을 색 0을 함께\n"
    "                       쓰는 팔레트 P개에 나누어 넣고, 타일마다 그 색을 모두 가진 팔레트를\n"
    "                       줍니다. 타일의 화소는 팔레트 안의 번호 0..K-1, 팔레트 p는 타일 세트의\n"
    "                       색 p x K 부터입니다. 색 0은 가장 많은 타일에 있는 색입니다. 타일\n"
    "                       파일포맷에 Palette 항목이 있으면 그 색 형식의 정밀도로 색을 줄이고\n"
    "                       그 항목을 PxK로 바꿉니다. --map 지도의 칸에는 팔레트 번호가\n"
    "                       들어가므로 지도 파일포맷에 palette 필드가 있어야 합니다.\n"
    "                       나눌 수 없으면 넣지 못한 첫 타일의 위치를 알리고 아무것도\n"
    "                       저장하지 않습니다. 결과의 \"palettes\"는 쓴 팔레트의 색\n"
    "                       (#RRGGBB)입니다. --quantize 와 함께: 색을 그대로 나누는 대신\n"
    "                       타일마다 맞는 팔레트 P개를 새로 만듭니다 (색이 더 많은 그림도;\n"
    "                       디더링 없음). 결과에 PSNR(dB)을 덧붙입니다.\n"
    "  export-tmx MAP.map OUT.tmx\n"
    "      지도를 Tiled의 TMX 파일로 저장하고, 타일 시트를 그 옆에 OUT-tiles.png로 저장합니다.\n"
    "  import-tmx IN.tmx OUT.map [--palette] [--nearest] [--quantize [N]] [--dither]\n"
    "             [--drop-flips] [--map-items LIST | --preset NAME] [--tile-items LIST]\n"
    "      Tiled의 TMX 지도(직교, 첫 타일 레이어)와 그 타일 세트 이미지를 지도로 가져옵니다.\n"
    "      --palette     첫 타일 세트 이미지의 팔레트를 씁니다 (기본: 기본 색).\n"
    "      --nearest     팔레트에 없는 색은 가장 가까운 색으로 바꿉니다.\n"
    "      --quantize [N], --dither  import-image와 같음: 모든 타일 세트 이미지의 색으로\n"
    "                    팔레트 하나를 새로 만듭니다.\n"
    "      --drop-flips  뒤집기와 회전을 무시합니다 (기본: 오류). 지도 파일포맷에 hflip, vflip\n"
    "                    필드가 있으면 좌우, 상하 뒤집기는 그 필드에 남습니다.\n"
    "      --map-items, --tile-items  convert와 같음 (기본 지도 항목: "
    "SizeWord,CellsWord,TileFile)\n"
    "      --preset NAME  셀 필드만 기계에 맞춥니다: snes, gba, megadrive, gbc, sms, pce\n"
    "  palette FILE [--quantize [N]] [--8bit]\n"
    "      256컬러 PCX, BMP, 팔레트 PNG 파일이나 GIMP(.gpl), JASC(.pal) 팔레트 파일의\n"
    "      팔렛을 'index r g b' (0-63) 256줄로 출력합니다.\n"
    "      --quantize [N]  그림(PNG, BMP, PCX)의 색으로 N색 팔레트를 새로 만들어 출력합니다.\n"
    "      --8bit  0-255로 출력합니다 (info --palette 와 같은 값).\n"
    "  add-tiles SET.til FROM.til...\n"
    "      FROM 파일들의 타일 가운데 SET에 없는 타일을 추가하고 SET을 저장합니다.\n"
    "  delete-tile FILE N\n"
    "      타일 N을 지웁니다. FILE이 지도면 그 타일을 쓰던 칸은 빈 칸이 되고 뒤의 번호는\n"
    "      하나씩 당겨집니다 (편집기와 같음). 결과를 JSON 한 줄로 출력합니다.\n"
    "  terrain MAP --set SET.kterrain --mask MASK.png [--terrain NAME]...\n"
    "      마스크 그림을 지형으로 칠해 지도의 타일을 고르고 저장합니다 (모두 저장되거나 하나도 바뀌지 않습니다).\n"
    "      모서리 지형 세트는 칸의 모서리마다 한 점 (그림이 지도보다 가로세로 1 큼),\n"
    "      블롭 세트는 칸마다 한 점 (지도와 같은 크기).\n"
    "      그림에 쓰인 색을 값 (팔레트 번호, 회색 값, 0xRRGGBB)이 작은 것부터 차례로\n"
    "      세트의 지형 0, 1, 2... 로 읽고, --terrain 을 주면 그 순서의 지형으로 읽습니다.\n"
    "      세트는 지도 옆에 MAP.kterrain 으로 함께 저장됩니다.\n"
    "      지형별 점 수와 맞는 타일이 없어 가장 가까운 타일을 쓴 칸 수를 JSON으로 출력합니다.\n"
    "  usage MAP\n"
    "      타일마다 그 타일을 쓰는 칸의 수를 JSON으로 출력합니다 (\"counts\", 번호 순).\n"
    "      \"unused\"는 쓰지 않는 타일 수, \"distinct\"는 같은 타일(뒤집기 필드가 있으면\n"
    "      뒤집힌 모양까지)을 하나로 셀 때의 타일 수, \"limit\"는 타일 한도입니다.\n"
    "  optimize MAP [--unused] [--duplicates] [--flips] [--near N] [--check]\n"
    "      편집기의 타일 정리를 차례로 하고 지도와 타일 파일을 함께 저장합니다 (모두 아니면\n"
    "      아무것도). 정리 옵션을 주지 않으면 --duplicates --unused와 같습니다.\n"
    "      --duplicates  같은 타일을 합칩니다.\n"
    "      --flips       뒤집힌 모양이 같은 타일도 합치고 칸의 뒤집기 비트를 켭니다 (지도\n"
    "                    파일포맷에 hflip, vflip 필드가 있어야 합니다).\n"
    "      --near N      화소가 N개 이하로 다른 타일 짝을 합칩니다 (덜 쓰는 쪽이 없어짐).\n"
    "      --unused      쓰지 않는 타일을 지웁니다.\n"
    "      --check       아무것도 저장하지 않고, 정리한 뒤의 타일 수가 타일 한도를\n"
    "                    넘으면 종료 코드 1로 끝납니다.\n"
    "      결과 JSON: tilesBefore, tilesAfter, cellsChanged, pairsMerged, limit, written.\n"
    "  convert IN OUT [옵션...]\n"
    "      지도나 타일 파일을 다른 파일포맷으로 다시 씁니다. 주지 않은 옵션은 IN의 것을 따릅니다.\n"
    "      --map-items LIST    지도 항목, 쉼표로 구분:\n"
    "                          SizeByte, SizeWord, SizeDword, TileFile, CellsByte, CellsWord,\n"
    "                          셀 필드 항목 (아래), NesAttributes (칸의 팔레트로 만든 NES 속성\n"
    "                          테이블: 32 x 30칸 화면마다 64바이트, 2 x 2칸마다 팔레트 2비트;\n"
    "                          팔레트 필드는 테이블이 가지므로 셀 워드에 둘 수 없습니다)\n"
    "      --preset NAME       기계의 파일포맷을 씁니다 (8 x 8 타일만):\n"
    "                          gb, gbc, nes, snes4, gba4, megadrive, sms, pce\n"
    "                          타일 파일: Palette, SizeByte, CountWord, Pixels 의 순서로\n"
    "                          기계의 픽셀 형식과 색 형식, 팔레트 P개 × 색 K개\n"
    "                          지도: SizeWord, 셀 (기계의 셀 필드), 그 뒤에 속성 평면 (gbc)\n"
    "                          이나 NES 속성 테이블 (nes); --map-items 가 있으면 그 항목\n"
    "                          gbc, megadrive 는 이제 타일 파일포맷도 바꿉니다.\n"
    "                          snes, gba 는 셀 필드만 기계에 맞춥니다: --map-items 가 없으면\n"
    "                          지도 항목도 (크기 항목, 프리셋의 셀 항목, IN에 있던 TileFile)\n"
    "      --tile-items LIST   타일 항목, 쉼표로 구분:\n"
    "                          SizeByte, SizeWord, SizeDword, CountByte, CountWord, CountDword,\n"
    "                          TileData, AttrData, TileAttrData, Palette768, Palette1024,\n"
    "                          Pixels[형식] (8bpp 1bpp 2bpp-gb 2bpp-nes 4bpp-snes 4bpp-sms\n"
    "                          4bpp-gba 4bpp-md 8bpp-snes),\n"
    "                          Palette[색형식,KxP] (rgb888 bgr555 md pce sms gg nes gb;\n"
    "                          예: Palette[bgr555,16x8]; gb 는 K가 4, 팔레트 하나가 BGP 1바이트)\n"
    "      --attr-width 1|2|4  타일 속성 하나의 바이트 수\n"
    "      --map-header TEXT   지도 파일 제일 처음에 들어가는 문자열\n"
    "      --tile-header TEXT  타일 파일 제일 처음에 들어가는 문자열\n"
    "      --drop-tiles        지도 파일 안의 타일을 TileFile 항목이 없는 포맷으로 버립니다\n"
    "                          (지도 옆에 같은 이름의 .til 이 있으면 타일은 거기 남습니다)\n"
    "      셀 필드 항목: 칸마다 워드 하나, 필드마다 이름:첫비트-끝비트 (한 비트는 이름:비트)\n"
    "        CellsWord8|16LE|16BE|32LE|32BE[tile:0-9,hflip:10,vflip:11,palette:12-15]\n"
    "            타일 번호와 그 옆의 필드 (tile 필드가 꼭 있어야 합니다)\n"
    "        Attributes8|16LE|16BE|32LE|32BE[palette:0-2,bank:3,hflip:5]\n"
    "            타일 번호 뒤에 따로 오는 속성 평면 (tile 필드 없이)\n"
    "        필드: tile (16비트까지), hflip, vflip, priority (1비트), palette (5비트까지),\n"
    "        사용자 필드 4개까지 (영문 이름, 1비트). 필드가 겹치거나 워드 밖에 있거나,\n"
    "        칸의 팔레트 번호가 팔레트 수를 넘으면 종료 상태 2.\n"
    "        CellFields, CellAttributes 만 쓰면 프리셋이나 IN의 필드를 씁니다.\n"
    "  layout FILE [--json]\n"
    "      파일의 항목마다 바이트 위치(오프셋)와 길이, 전체 크기, 잘리는 값에 대한 경고를\n"
    "      출력합니다. --json 이면 JSON 하나로 출력합니다.\n"
    "  codegen FILE --lang c|python [-o OUT] [--prefix NAME]\n"
    "      FILE의 파일포맷대로 쓰인 파일을 읽는 코드를 만듭니다: C99 헤더 하나 또는\n"
    "      파이썬 3 모듈. -o 가 없으면 표준 출력으로 냅니다.\n"
    "      --prefix NAME  C 헤더의 모든 이름과 포함 가드의 접두어 (NAME_read_map,\n"
    "                     NAME_READER_H); 없으면 OUT의 이름에서 (town_reader.h: town),\n"
    "                     OUT도 없으면 kesh\n"
    "  --version  판 정보를 출력합니다.\n"
    "  --help     이 도움말을 출력합니다.\n"
    "\n"
    "데이터 파일은 그 옆의 파일포맷 파일(.kmf, .ktf)에 따라 읽고, 저장할 때 함께 씁니다.\n"
    "종료 상태: 0 성공, 1 입력 파일을 처리하지 못함, 2 잘못된 사용법.\n";

inline constexpr const char* kTerrainNeedsSetAndMask = "terrain 에는 --set 과 --mask 가 있어야 합니다.";
inline constexpr const char* kUnknownTerrain = "지형 세트에 없는 지형입니다: ";
inline constexpr const char* kNotTmxFile = "TMX 파일(.tmx)이 아닙니다: ";
inline constexpr const char* kSeeHelp = "도움말: kesh-cli --help";
inline constexpr const char* kNoCommand = "명령이 없습니다.";
inline constexpr const char* kUnknownCommand = "알 수 없는 명령입니다: ";
inline constexpr const char* kUnknownOption = "알 수 없는 옵션입니다: ";
inline constexpr const char* kRepeatedOption = "옵션이 두 번 주어졌습니다: ";
inline constexpr const char* kMissingValue = "옵션에 값이 없습니다: ";
inline constexpr const char* kWrongArgCount = "인자의 수가 맞지 않습니다.";
inline constexpr const char* kNotDataFile = "지도(.map)나 타일 파일(.til)이 아닙니다: ";
inline constexpr const char* kUnknownItem = "알 수 없는 항목 이름입니다: ";
inline constexpr const char* kTooManyItems = "항목은 127개까지입니다.";
inline constexpr const char* kBadAttrWidth = "--attr-width 는 1, 2, 4 가운데 하나입니다.";
inline constexpr const char* kHeaderTooLong = "문자열은 255바이트까지입니다.";
inline constexpr const char* kHeaderNotCp949 = "문자열에 쓸 수 없는 글자가 있습니다.";
inline constexpr const char* kTilesWouldBeLost =
    "새 지도 파일포맷에 TileFile 항목이 없어 지도 파일 안의 타일이 없어집니다.\n"
    "타일을 버리려면 --drop-tiles 를 주십시오.";
inline constexpr const char* kTilesStayBeside = "타일은 지도 파일에 넣지 않고 이 파일에 남습니다: ";
inline constexpr const char* kMapOptionForTiles = "타일 파일에는 지도 옵션을 쓸 수 없습니다: ";
inline constexpr const char* kNotTileFile = "타일 파일(.til)이 아닙니다: ";
inline constexpr const char* kNotMapFile = "지도 파일(.map)이 아닙니다: ";
inline constexpr const char* kBadTileSize =
    "--tile-size 는 WxH 꼴이고 각각 1에서 4096 사이입니다 (예: 32x32).";
inline constexpr const char* kBadColourCount = "--quantize 의 색 수는 2에서 256 사이입니다: ";
inline constexpr const char* kQuantizeAlone =
    "--quantize 는 --palette, --nearest 와 함께 쓸 수 없습니다.";
inline constexpr const char* kDitherNeedsQuantize = "--dither 는 --quantize 와 함께 씁니다.";
inline constexpr const char* kBadLang = "--lang 은 c 또는 python 입니다.";
inline constexpr const char* kBadPrefix =
    "--prefix 는 영문자, 숫자, _ 로 된 C 이름이어야 합니다 (숫자로 시작할 수 없음): ";
// The layout table: its column heads, then after the entries the size and each warning.
inline constexpr const char* kLayoutColumns = "    오프셋      길이  항목\n";
inline constexpr const char* kLayoutSize = "전체 크기(바이트): ";
inline constexpr const char* kLayoutWarning = "경고: ";
// Followed by the count.
// Below "타일의 크기가 일치하지 않습니다.": the two sizes that differ.
inline constexpr const char* kSetTileSize = "타일 세트: ";
inline constexpr const char* kAddedTileSize = ", 추가할 파일: ";
inline constexpr const char* kAskedTileSize = ", --tile-size: ";
inline constexpr const char* kTilesAdded = "추가한 타일: ";
// Followed by the number given.
inline constexpr const char* kBadTileNumber = "타일 번호는 0에서 65534 사이의 정수입니다: ";
inline constexpr const char* kNoSuchTile = "그 번호의 타일이 없습니다: ";
inline constexpr const char* kBadNearCount = "--near 의 값은 0에서 64 사이의 정수입니다: ";
// Followed by the tiles, " / " and the limit.
inline constexpr const char* kOverTileLimit = "타일이 타일 한도를 넘습니다: ";
// Cell fields in --map-items and --preset; each followed by what was given.
inline constexpr const char* kUnknownPreset =
    "알 수 없는 프리셋입니다 (gb, gbc, nes, snes4, gba4, megadrive, sms, pce, snes, gba): ";
// Followed by the preset's name and the tile size.
inline constexpr const char* kPresetTileSize = "이 프리셋은 8 x 8 타일만 씁니다: ";
inline constexpr const char* kTwoFieldWords = "필드가 다른 셀 항목이 또 있습니다: ";
inline constexpr const char* kItemWithoutFields =
    "필드가 없는 항목입니다 (예: CellsWord16LE[tile:0-9,hflip:10]): ";
inline constexpr const char* kFlipsNeedFields =
    "--flips 는 hflip, vflip 필드가 있는 지도 파일포맷 (--map 과 --preset 이나 --map-items)과 "
    "함께만 쓸 수 있습니다.";
inline constexpr const char* kBadPalettes =
    "--palettes 는 PxK 입니다: 팔레트 P개 × 색 K개 (K는 2-256, P x K는 256 이하).";
inline constexpr const char* kPalettesAlone =
    "--palettes 는 --palette, --nearest 와 함께 쓸 수 없습니다.";
inline constexpr const char* kPalettesNeedField =
    "--palettes 와 --map 은 palette 필드가 있는 지도 파일포맷 (--preset 이나 --map-items)과 "
    "함께만 쓸 수 있습니다.";
inline constexpr const char* kMapLayoutWithoutMap =
    "--map-items 와 --preset 은 --map 과 함께 씁니다.";

} // namespace kesh::cli::text
