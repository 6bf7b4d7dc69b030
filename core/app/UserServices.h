#pragma once

#include <optional>
#include <string>
#include <vector>

#include "layout/LayoutTable.h"
#include "layout/MapFormat.h"
#include "layout/TileFormat.h"

namespace kesh {

// What a file chooser is asked for. Texts are UTF-8.
struct FileDialogOptions {
    std::string defaultExtension; // without the dot: "map", "til", "bmp"
    // "*.map": a pattern, which selects the filter showing that type (never
    // a name in the name box); otherwise a file name to start with.
    std::string initialName;
    // Filter lines as "description|pattern", e.g. "256 PCX files|*.pcx"
    // (several patterns separated by ';'), in the order listed; empty for none.
    std::vector<std::string> filters;
    bool confirmOverwrite = false; // save dialogs: ask before replacing a file
};

// How a message box looks: failures carry a warning icon; a few plain
// notices carry none.
enum class MessageIcon { Warning, None };

// What the tile layout dialog edits. The header is code page 949 bytes.
struct TileFormatEdit {
    bool hasHeader = false;
    std::string header;
    int32_t width = 16;
    int32_t height = 16;
    AttrWidth attrWidth = 0;
    std::vector<uint8_t> items;
    TileItemParams params;    // of the Pixels and Palette items, kept when the list has none
    bool sizesLocked = false; // the size fields are shown but cannot change
    // The tiles the layout is for, for the dialog's byte table; none when the
    // dialog sets up a new tile set or the layout of a file yet to be read.
    std::optional<TileLayoutData> data;
    // "타일 한도": the layout's own (0: none, the map's cell item sets it),
    // the most the map's cell item can number, and the tiles as the hardware
    // stores them, for the limit's warning (-1: not known).
    uint32_t tileLimit = 0;
    int64_t mostTiles = 0xFFFF;
    int64_t storedTiles = -1;
};

// What the map layout dialog edits. Width and height may hold any integer
// the user typed; the map refuses sizes it cannot hold.
struct MapFormatEdit {
    bool hasHeader = false;
    std::string header;
    int32_t width = 64;
    int32_t height = 64;
    std::vector<uint8_t> items;
    // The cell fields of CellFields and CellAttributes items (MapFormat::cells).
    CellLayout cells;
    bool sizesLocked = false; // the size fields are shown but cannot change
    // For the dialog's byte table: the tile layout of each TileFile item, and
    // the cells and tiles when the dialog edits the current map's layout.
    TileFormat tiles = TileFormat::Default();
    std::optional<MapLayoutData> data;
};

// What the dialog of "이미지에서 타일 가져오기..." edits.
struct ImportOptionsEdit {
    int32_t tileWidth = 32;
    int32_t tileHeight = 32;
    bool sizeLocked = false; // the set has tiles: the size cannot change
    int32_t imageWidth = 0;  // the chosen image, for the dialog to show
    int32_t imageHeight = 0;
    bool takePalette = false; // "팔레트도 가져오기"
    bool makeMap = false;     // "지도도 만들기"
    bool nearest = false;     // "가장 가까운 색 사용"
    bool newPalette = false;  // "팔레트 새로 만들기": 256 colours from the picture
    bool dither = false;      // "디더링", with newPalette
    bool pad = false;         // "모자라는 부분 채우기"
    // Offered only while the map's layout has both flip fields.
    bool flipsOffered = false;
    bool flips = false; // "뒤집힌 타일도 같은 타일로"
    // "팔레트 P개 × 색 K개", offered only while the map's layout has a
    // palette field; it opens on what that field and the tile layout hold.
    bool subPalettesOffered = false;
    bool subPalettes = false;
    int palettes = 8;           // P
    int coloursPerPalette = 16; // K
    int paletteArea = 1;        // tiles across and down that share a palette: 1, or 2 (NES)
    // The colours are reduced to this encoding's precision.
    ColourEncoding colourEncoding = ColourEncoding::Rgb888;
};

// What the dialog of "지형 만들기..." edits: the tile sheet's template and
// the two terrain names (the lower first: for a blob sheet the background).
// The sheet is shown from `path`.
struct MakeTerrainEdit {
    std::string path;
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    int32_t tileWidth = 16; // the tile set's, or a new set's taken from the sheet
    int32_t tileHeight = 16;
    bool blob = false; // the 47-tile blob template, else the 16-tile corner one
    std::string lower;
    std::string upper;
};

// The user-facing services the procedures need. The editor implements them
// with message boxes, file dialogs and the layout dialogs; the tests with
// queued answers; the command-line tool prints messages and answers no question.
class UserServices {
public:
    virtual ~UserServices() = default;

    // Yes/No question; true on Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // A Yes/No/Cancel question, with `detail` (a file's name) on a line
    // below `text`. Escape and the close box answer Cancel.
    enum class Answer { Yes, No, Cancel };
    virtual Answer AskYesNoCancel(const std::string& text, const std::string& detail) = 0;
    // OK/Cancel question; true on OK.
    virtual bool AskOkCancel(const std::string& text) = 0;
    // A message with an OK button and the icon given.
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
    // A failure: a message with an OK button and a warning icon.
    void ShowMessage(const std::string& text) { ShowMessage(text, MessageIcon::Warning); }

    // File choosers: the chosen path, or nullopt when cancelled.
    virtual std::optional<std::string> ChooseOpenFile(const FileDialogOptions& options) = 0;
    virtual std::optional<std::string> ChooseSaveFile(const FileDialogOptions& options) = 0;

    // The two layout dialogs: true on OK, with `edit` holding the result.
    virtual bool EditTileFormat(TileFormatEdit& edit) = 0;
    virtual bool EditMapFormat(MapFormatEdit& edit) = 0;
    // The image import's options: true on OK, with `edit` holding the result.
    virtual bool EditImportOptions(ImportOptionsEdit& edit) = 0;
    // The dialog of "지형 만들기...": true on OK, with `edit` holding the
    // answers. Without a dialog (kesh-cli), cancelled.
    virtual bool EditMakeTerrain(MakeTerrainEdit& edit) {
        (void)edit;
        return false;
    }
};

} // namespace kesh
