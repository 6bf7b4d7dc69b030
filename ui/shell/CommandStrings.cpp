#include "shell/CommandStrings.h"

#include "shell/CommandIds.h"

namespace kesh::ui {

namespace {

struct Entry {
    int id;
    const char* text;
};

constexpr Entry kStrings[] = {
    {ID_FILE_NEW, "새 문서를 작성합니다.\n새 파일"},
    {ID_MAP_OPEN, "지도파일을 열어줍니다.\n지도열기"},
    {ID_MAP_SAVE, "지도파일을 파일을 저장합니다.\n지도저장"},
    {ID_FILE_SAVE_AS, "실행 중인 문서를 다른 이름으로 저장합니다.\n다른 이름으로 저장"},
    {ID_MAP_SAVEBMP, "지도를 비트맵으로 저장합니다.\nbmp로 저장"},
    {ID_MAP_SAVEPNG, "지도를 PNG 이미지로 저장합니다.\npng로 저장"},
    {ID_MAP_EXPORTTMX, "지도를 Tiled의 TMX 파일과 타일 시트 PNG로 내보냅니다.\nTMX로 내보내기"},
    {ID_MAP_IMPORTTMX, "Tiled의 TMX 지도와 그 타일 세트 이미지를 가져와 지금의 지도와 타일을 "
                       "바꿉니다.\nTMX 가져오기"},
    {ID_MAP_FORMAT, "지도파일의 포맷을 변경합니다.\n파일포맷 변경"},
    {ID_MAP_READERCODE,
     "지도파일을 읽는 C 헤더나 파이썬 모듈을 지금의 포맷대로 만들어 저장합니다.\n읽기 코드 만들기"},
    {ID_APP_EXIT, "문서를 저장할지 물어보고 응용 프로그램을 종료합니다.\n종료"},
    {ID_TILE_ADDFILE, "타일 파일을 추가시킴니다.\n타일추가"},
    {ID_TILE_IMPORTIMAGE,
     "PNG, BMP, PCX 이미지를 타일 크기로 잘라 타일로 추가하고, 원하면 그 배치로 "
     "지도를 만듭니다.\n이미지에서 타일 가져오기"},
    {ID_TILE_LOADPALETTE, "팔렛을 읽어옵니다.\n팔렛 읽어오기"},
    {ID_TILE_SAVE, "타일을 파일을 저장합니다.\n타일저장"},
    {ID_TILE_SAVEBMP, "타일을 비트맵으로 저장합니다.\nbmp로 저장"},
    {ID_TILE_FORMAT, "타일파일의 포맷을 변경합니다.\n파일포맷 변경"},
    {ID_TILE_REPLACE, "고른 타일을 보여 주는 모든 칸이 현재 타일을 보여 주게 합니다. 지도 전체나 "
                      "선택 영역에서.\n타일 바꾸기"},
    {ID_VIEW_USAGE, "타일 세트 창의 각 타일에 그 타일을 쓰는 칸의 수를 보여 주고, 쓰이지 않는 "
                    "타일을 어둡게 표시합니다.\n사용 횟수 보기"},
    {ID_TILE_REMOVEUNUSED, "지도의 어느 칸에도 쓰이지 않는 타일을 지우고 지도의 번호를 "
                           "고칩니다.\n사용하지 않는 타일 지우기"},
    {ID_TILE_MERGEDUPLICATES, "똑같은 타일을(지도에 뒤집기 필드가 있으면 뒤집은 모양까지) 하나로 "
                              "합치고 지도의 번호를 고칩니다.\n같은 타일 합치기"},
    {ID_TILE_NEARTILES,
     "몇 픽셀만 다른 타일 쌍을 찾아 보여 주고, 고른 쌍을 하나로 합칩니다.\n비슷한 타일 찾기"},
    {ID_EDIT_COPY, "선택영역을 기억해 놓습니다.\n선택영역 복사"},
    {ID_EDIT_PASTE, "기억된 선택영역을 현재위치로 붙여넣습니다.\n선택영역 붙여넣기"},
    {ID_EDIT_FILL, "선택된 영역을 현재 타일로 채움니다.\n채우기"},
    {ID_EDIT_FLIPH,
     "선택 영역의 칸을 좌우로 뒤집고 각 칸의 좌우 뒤집기 비트를 바꿉니다.\n선택 영역 좌우 뒤집기"},
    {ID_EDIT_FLIPV,
     "선택 영역의 칸을 상하로 뒤집고 각 칸의 상하 뒤집기 비트를 바꿉니다.\n선택 영역 상하 뒤집기"},
    {ID_TILE_EDITATTR,
     "타일 속성 막대에서 현재 타일의 속성 비트를 고칠 수 있게 합니다.\n타일 속성 편집"},
    {ID_EDIT_UNDO, "마지막 작업을 취소합니다.\n실행 취소"},
    {ID_EDIT_REDO, "취소한 작업을 다시 실행합니다.\n다시 실행"},
    {ID_EDIT_PAINTTOOL,
     "켜 두면 왼쪽 단추로 누르거나 끌기만 해도 현재 타일로 그립니다. 영역 선택은 Alt를 누르고 "
     "끕니다.\n그리기 도구"},
    {ID_TILE_EDITPIXELS,
     "현재 타일을 크게 보여 주고 그 점들을 고칠 수 있는 창을 엽니다.\n타일 편집"},
    {ID_EDIT_PIXELTOOL,
     "켜 두면 400% 이상 확대한 지도에서 왼쪽 단추로 타일의 점을 바로 칠합니다. 색은 타일 편집 "
     "창에서 고릅니다.\n픽셀 그리기"},
    {ID_VIEW_ZOOMIN, "지도를 크게 보여 줍니다.\n확대"},
    {ID_VIEW_ZOOMOUT, "지도를 작게 보여 줍니다.\n축소"},
    {ID_VIEW_ZOOMACTUAL, "지도를 실제 크기로 보여 줍니다.\n실제 크기"},
    {ID_VIEW_GRID, "지도의 칸과 타일의 경계선을 보이거나 감춥니다.\n격자 보기"},
    {ID_VIEW_CELLATTRS, "각 칸의 우선순위와 사용자 필드를 작은 표시로 보여 줍니다.\n셀 속성 보기"},
    {ID_VIEW_PALETTE, "타일 세트의 팔레트를 보여 주는 창을 보이거나 감춥니다. 줄을 누르면 붓의 "
                      "팔레트가 됩니다.\n팔레트 창 전환"},
    {ID_VIEW_TERRAIN, "지형 세트의 지형과 없는 조합을 보여 주는 창을 보이거나 감춥니다.\n지형 창 전환"},
    {ID_EDIT_TERRAINBRUSH,
     "켜 두면 왼쪽 단추로 지형 창에서 고른 지형을 칠하고, 가장자리 타일은 저절로 "
     "골라집니다.\n지형 붓"},
    {ID_EDIT_TERRAINFILL, "선택 영역을 지형 창에서 고른 지형으로 채웁니다.\n지형 채우기"},
    {ID_TILE_MAKETERRAIN,
     "16타일 모서리 틀이나 47타일 블롭 틀로 그린 타일 그림을 타일로 가져와 지형 세트를 "
     "만듭니다.\n지형 만들기"},
    {ID_VIEW_TOOLBAR, "도구모음줄을 보이거나 감춥니다.\n도구모음줄 전환"},
    {ID_VIEW_STATUS_BAR, "상태표시줄을 보이거나 감춥니다.\n상태표시줄 전환"},
    {ID_APP_ABOUT, "프로그램 정보, 버전 번호 및 저작권을 나타냅니다.\n정보"},
    {ID_FILE_PRINT, "활성 창의 내용을 인쇄합니다.\n인쇄"},
    {ID_FILE_PRINT_PREVIEW, "인쇄될 모양을 미리 봅니다.\n인쇄 미리 보기"},
};

} // namespace

QString CommandString(int id) {
    for (const Entry& e : kStrings) {
        if (e.id == id) {
            return QString::fromUtf8(e.text);
        }
    }
    return {};
}

QString CommandPrompt(int id) {
    return CommandString(id).section(QLatin1Char('\n'), 0, 0);
}

QString CommandToolTip(int id) {
    return CommandString(id).section(QLatin1Char('\n'), 1);
}

QString IdlePrompt() {
    return QStringLiteral("준비");
}

} // namespace kesh::ui
