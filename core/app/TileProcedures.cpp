#include "app/TileProcedures.h"

#include <utility>

#include "app/Messages.h"
#include "layout/Descriptor.h"
#include "tileset/AddTileFile.h"
#include "tileset/ImageDecoders.h"
#include "tileset/TileSetFile.h"
#include "tileset/TileSheetExport.h"

namespace kesh {

namespace {

FileDialogOptions TileFileDialog(bool save) {
    FileDialogOptions options;
    options.defaultExtension = "til";
    options.initialName = "*.til";
    options.confirmOverwrite = save;
    return options;
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
    edit.sizesLocked = sizesLocked;
    return edit;
}

bool TileProcedures::OnTileSave() {
    const auto path = m_user.ChooseSaveFile(TileFileDialog(true));
    if (!path)
        return false;
    // An empty set writes only what comes before its first tile block, as the
    // layout says; the descriptor is written all the same.
    const Status st = SaveTileSetFiles(m_fs, *path, m_tiles, EmptyTileSet::Write);
    if (!st) {
        m_user.ShowMessage(st.message());
        return false;
    }
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
    const auto bytes = m_fs.readFile(*path);
    if (!bytes) {
        m_user.ShowMessage(OpenFailed(*path));
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
    // A file that is not there is reported as such, before any layout question.
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

bool TileProcedures::OnTileFormat() {
    TileFormatEdit edit = EditOf(m_tiles.format(), true);
    edit.data = LayoutDataOf(m_tiles);
    if (!m_user.EditTileFormat(edit))
        return false;
    TileFormat& format = m_tiles.format();
    format.attrWidth = edit.attrWidth;
    format.items = std::move(edit.items);
    format.header = edit.hasHeader ? std::move(edit.header) : std::string();
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
    format.header = edit.hasHeader ? std::move(edit.header) : std::string();
    m_tiles.InitTileSet();
    return true;
}

bool TileProcedures::OnLoadPalette() {
    FileDialogOptions options;
    options.defaultExtension = "bmp";
    options.initialName = "*.bmp";
    options.filters = {"256 PCX files|*.pcx", "256 BMP files|*.bmp"};
    const auto path = m_user.ChooseOpenFile(options);
    if (!path)
        return false;

    const ImageKind kind = ImageKindOf(*path);
    if (kind == ImageKind::Other) {
        m_user.ShowMessage(msg::kPaletteTypeUnsupported);
        return false;
    }
    // A file that cannot be read is refused like one that is not an image.
    const char* refusal = kind == ImageKind::Pcx ? msg::kPcxOnly : msg::kBmpOnly;
    const auto bytes = m_fs.readFile(*path);
    if (!bytes) {
        m_user.ShowMessage(refusal);
        return false;
    }
    Image image;
    const Status st = kind == ImageKind::Pcx ? LoadPcx(*bytes, image) : LoadBmp(*bytes, image);
    if (!st) {
        m_user.ShowMessage(st.message());
        return false;
    }
    m_tiles.SetPalette(image.m_palette);
    ReleaseImage(image);
    return true;
}

bool TileProcedures::OnTileSaveBmp() {
    FileDialogOptions options;
    options.defaultExtension = "bmp";
    options.initialName = "*.bmp";
    options.confirmOverwrite = true;
    const auto path = m_user.ChooseSaveFile(options);
    if (!path)
        return false;
    const Status st = SaveTileSheet(m_fs, *path, m_tiles);
    if (!st) {
        m_user.ShowMessage(st.message());
        return false;
    }
    return true;
}

} // namespace kesh
