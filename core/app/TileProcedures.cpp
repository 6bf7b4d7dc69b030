#include "app/TileProcedures.h"

#include <iterator>
#include <utility>

#include "app/FileTypes.h"
#include "app/ImportProcedures.h"
#include "base/Messages.h"
#include "image/PaletteSource.h"
#include "io/InputLimits.h"
#include "io/SaveRecovery.h"
#include "layout/Descriptor.h"
#include "map/LayoutDataOf.h"
#include "raster/PngWriter.h"
#include "tileset/AddTileFile.h"
#include "tileset/TileSetFile.h"
#include "tileset/TileSheetExport.h"

namespace kesh {

namespace {

constexpr const char* kOfferNewPalette = "그림의 색으로 256색 팔레트를 새로 만들까요?";

FileDialogOptions TileFileDialog(bool save) {
    return filetype::Dialog("til", {filetype::kTile}, save);
}

std::string OpenFailed(const std::string& path) {
    return std::string(msg::kOpenFailed) + "\n" + path;
}

} // namespace

TileFormatEdit TileProcedures::EditOf(const TileFormat& format, bool sizesLocked) {
    TileFormatEdit edit;
    edit.hasHeader = !format.header.empty();
    edit.header = format.header;
    edit.width = format.width;
    edit.height = format.height;
    edit.attrWidth = format.attrWidth;
    edit.items = format.items;
    edit.params = format.params;
    edit.tileLimit = format.tileLimit;
    edit.sizesLocked = sizesLocked;
    return edit;
}

bool TileProcedures::OnTileSave(const BesideFiles& beside) {
    const auto path = m_user.ChooseSaveFile(TileFileDialog(true));
    if (!path)
        return false;
    // An empty set writes only what comes before its first tile block, as the
    // layout says; the descriptor is written all the same.
    const Status st = SaveTileSetFiles(m_fs, *path, m_tiles, EmptyTileSet::Write,
                                       beside ? beside(*path) : std::vector<FileSource>{});
    if (!st) {
        m_user.ShowMessage(st.message());
        return false;
    }
    m_written = *path;
    return true;
}

bool TileProcedures::LayoutByHand(TileReadLayout& layout) {
    if (!m_user.AskOkCancel(msg::kAskKtfMissing))
        return false;
    TileFormatEdit edit = EditOf(TileFormat::NewFileDefault(), false);
    if (!m_user.EditTileFormat(edit))
        return false;
    // Only the header's length is taken: its bytes are in the file.
    layout.descriptor.headerLength = edit.hasHeader ? HeaderLength(edit.header) : 0;
    layout.descriptor.attrWidth = edit.attrWidth;
    layout.descriptor.items = std::move(edit.items);
    layout.descriptor.params = edit.params;
    layout.width = edit.width;
    layout.height = edit.height;
    return true;
}

bool TileProcedures::ReadLayout(const std::string& path, TileReadLayout& layout) {
    bool missing = false;
    const Status st = LoadTileDescriptor(m_fs, path, layout.descriptor, missing);
    if (missing)
        return LayoutByHand(layout);
    if (!st)
        m_user.ShowMessage(st.message());
    return bool(st);
}

void TileProcedures::OnTileAddFile() {
    const auto path = m_user.ChooseOpenFile(TileFileDialog(false));
    TileReadLayout layout;
    if (!path || !ReadLayout(*path, layout))
        return;
    const auto bytes = m_fs.readFile(*path, kMaxTileFileBytes);
    if (!bytes) {
        m_user.ShowMessage(bytes.status().message());
        return;
    }
    const AddTileFileResult result =
        AddTileFile(m_tiles, *bytes, layout.descriptor, layout.width, layout.height);
    if (!result.status)
        m_user.ShowMessage(result.status.message());
    else if (result.setFull)
        m_user.ShowMessage(msg::kTileSetFull);
}

bool TileProcedures::OpenTileSetPath(const std::string& path) {
    // A file that is not there is reported as such, before any layout
    // question; a first save of it cut short may still bring it in place.
    (void)FinishInterruptedSaves(m_fs, {path, DescriptorPath(path, kTileDescriptorExt)});
    if (!m_fs.exists(path)) {
        m_user.ShowMessage(OpenFailed(path));
        return false;
    }
    TileReadLayout layout;
    if (!ReadLayout(path, layout))
        return false;
    // Read into a fresh tile set: on failure the current one is untouched.
    const Status st = LoadTileSetFile(m_fs, path, layout, m_tiles);
    if (!st)
        m_user.ShowMessage(st.message());
    return bool(st);
}

bool TileProcedures::OnTileFormat(int64_t mostTiles, int64_t storedTiles) {
    TileFormatEdit edit = EditOf(m_tiles.format(), true);
    edit.data = LayoutDataOf(m_tiles);
    edit.mostTiles = mostTiles;
    edit.storedTiles = storedTiles;
    if (!m_user.EditTileFormat(edit))
        return false;
    TileFormat& format = m_tiles.format();
    format.tileLimit = edit.tileLimit;
    format.attrWidth = edit.attrWidth;
    format.items = std::move(edit.items);
    format.params = edit.params;
    format.header = edit.hasHeader ? std::move(edit.header) : std::string();
    // A Palette item changes the colours shown; images made before are stale.
    m_tiles.touch();
    return true;
}

bool TileProcedures::NewTileFormat() {
    TileFormatEdit edit = EditOf(TileFormat::NewFileDefault(), false);
    if (!m_user.EditTileFormat(edit))
        return false;
    TileFormat& format = m_tiles.format();
    format.width = edit.width;
    format.height = edit.height;
    format.attrWidth = edit.attrWidth;
    format.items = std::move(edit.items);
    format.params = edit.params;
    format.header = edit.hasHeader ? std::move(edit.header) : std::string();
    m_tiles.InitTileSet();
    return true;
}

bool TileProcedures::OnLoadPalette() {
    const auto path = m_user.ChooseOpenFile(filetype::Dialog(
        "bmp", {std::begin(kPaletteSourceFilters), std::end(kPaletteSourceFilters)}, false));
    if (!path)
        return false;
    Palette palette;
    const auto bytes = m_fs.readFile(*path, kMaxImageFileBytes);
    Status st = ReadPaletteSource(*path, bytes, palette);
    if (!st && st.message().rfind(msg::kPngNoPalette, 0) == 0) {
        // A picture of its own colours: offer a palette built from them.
        if (!m_user.AskYesNo(st.message() + "\n" + kOfferNewPalette))
            return false;
        QuantizeReport report;
        st = BuildPaletteFromPicture(*path, bytes, {}, palette, report);
        if (st) {
            m_tiles.SetPalette(palette);
            m_user.ShowMessage(ImportProcedures::QuantizeSummary(report), MessageIcon::None);
            return true;
        }
    }
    if (!st) {
        // The refusals of a file that is no palette image are plain notices;
        // a damaged palette source is a failure like any other.
        const std::string& text = st.message();
        const std::string first = text.substr(0, text.find('\n'));
        const bool notice = first == msg::kPcxOnly || first == msg::kBmpOnly ||
                            first == msg::kPaletteTypeUnsupported;
        m_user.ShowMessage(text, notice ? MessageIcon::None : MessageIcon::Warning);
        return false;
    }
    m_tiles.SetPalette(palette);
    return true;
}

bool TileProcedures::OnTileSaveBmp() {
    const auto path =
        m_user.ChooseSaveFile(filetype::Dialog("bmp", {filetype::kBitmap, filetype::kPng}, true));
    if (!path)
        return false;
    const Status st = EndsWithPng(*path) ? SaveTileSheetPng(m_fs, *path, m_tiles)
                                         : SaveTileSheet(m_fs, *path, m_tiles);
    if (!st) {
        m_user.ShowMessage(st.message());
        return false;
    }
    m_written = *path;
    return true;
}

} // namespace kesh
