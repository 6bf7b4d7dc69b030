#include "app/ImportProcedures.h"

#include <algorithm>
#include <utility>

#include "app/FileTypes.h"
#include "app/MapProcedures.h"
#include "base/Messages.h"
#include "doc/CommandNames.h"
#include "doc/ImportCommand.h"
#include "doc/TileSetCommand.h"
#include "image/ImageSource.h"
#include "image/ImportImage.h"
#include "io/InputLimits.h"
#include "raster/ImageDecoders.h"
#include "tmx/TmxImport.h"
#include "tmx/TmxLoader.h"
#include "tmx/TmxMessages.h"

namespace kesh {

namespace {

// Asked after a TMX import was refused for colours or flipped tiles.
constexpr const char* kOfferNearest = "팔레트에서 가장 가까운 색으로 바꿔서 가져올까요?";
constexpr const char* kOfferDropFlips = "뒤집기와 회전을 버리고 가져올까요?";
constexpr const char* kNearestCount = "가장 가까운 색으로 바꾼 픽셀 수: ";

std::string Naming(const std::string& text, const std::string& path) {
    return text + "\n" + path;
}

// The layout of an imported map: word sizes and cells, so that wide maps
// and tile numbers above 255 come through whole, and the tile set.
MapFormat ImportedMapFormat(int32_t width, int32_t height) {
    MapFormat format;
    format.width = width;
    format.height = height;
    format.items = {MapItem::SizeWord, MapItem::CellsWord, MapItem::TileFile};
    return format;
}

} // namespace

bool ResizeEmptySet(TileSet& set, int32_t width, int32_t height) {
    if (set.tileWidth() == width && set.tileHeight() == height)
        return true;
    if (set.count() != 0 || width < 1 || height < 1 || width > ImportProcedures::kMaxTileSide ||
        height > ImportProcedures::kMaxTileSide)
        return false;
    ColourTable colours;
    std::copy(set.colourTable(), set.colourTable() + colours.size(), colours.begin());
    set.format().width = width;
    set.format().height = height;
    set.InitTileSet();
    set.SetColourTable(colours);
    return set.tiles().width() == width && set.tiles().capacity() > 0;
}

namespace {

// "팔레트 P개 × 색 K개" is offered with a map layout that has a palette
// field, opening on K colours a palette as the cells step over them, as
// many palettes as the field can name (the NES table: four, each for 2 x 2
// tiles), and the colours of the set's
// Palette item.
void OfferSubPalettes(const TileSet& set, const MapFormat& map, ImportOptionsEdit& edit) {
    edit.subPalettesOffered = (map.AttrMask() & cellbit::kPaletteMask) != 0;
    if (!edit.subPalettesOffered)
        return;
    edit.coloursPerPalette = std::clamp<int>(map.cells.coloursPerPalette, 2, 256);
    MapFormat shown = map;
    shown.cells.coloursPerPalette = uint16_t(edit.coloursPerPalette);
    edit.palettes = shown.PaletteCount();
    // The NES table holds a palette per 2 x 2 cells.
    edit.paletteArea = map.HasNesAttributes() ? 2 : 1;
    const auto& items = set.format().items;
    if (std::find(items.begin(), items.end(), TileItem::Palette) != items.end())
        edit.colourEncoding = set.format().params.colours;
}

} // namespace

std::string ImportProcedures::ImportSummary(int64_t tiles, int64_t added, int64_t changedPixels,
                                            bool nearest, const QuantizeReport* quantized) {
    std::string text = "타일 " + std::to_string(tiles) + "개를 읽었고 그 중 " +
                       std::to_string(added) + "개가 새 타일입니다.";
    if (nearest)
        text += "\n가장 가까운 색으로 바꾼 화소: " + std::to_string(changedPixels) + "개";
    if (quantized)
        text += "\n" + QuantizeSummary(*quantized);
    return text;
}

std::string ImportProcedures::SubPaletteSummary(const SubPalettes& found,
                                                const SubPaletteOptions& options) {
    return "팔레트 " + std::to_string(options.palettes) + "개 × 색 " +
           std::to_string(options.colours) + "개 가운데 팔레트 " +
           std::to_string(found.palettes.size()) + "개를 썼습니다.";
}

std::string ImportProcedures::FlippedSummary(int64_t flippedCells) {
    return "뒤집힌 타일을 쓰는 칸: " + std::to_string(flippedCells) + "개";
}

std::string ImportProcedures::QuantizeSummary(const QuantizeReport& quantized) {
    const std::string colours = std::to_string(quantized.colours) + "색";
    return "새 팔레트: " + (quantized.exact ? "그림의 " + colours + " 그대로" : colours) + ", " +
           quantized.PsnrText();
}

bool ImportProcedures::OnImportImage() {
    const auto path = m_user.ChooseOpenFile(filetype::Dialog(
        "png", {filetype::kImage, filetype::kPng, filetype::kBitmap, filetype::kPcx}, false));
    if (!path)
        return false;
    const auto bytes = m_fs.readFile(*path, kMaxImageFileBytes);
    if (!bytes) {
        m_user.ShowMessage(bytes.status().message());
        return false;
    }
    ImageSource image;
    if (Status st = image.Open(*bytes); !st) {
        m_user.ShowMessage(Naming(st.message(), *path));
        return false;
    }

    const TileSet& set = m_doc.tiles();
    ImportOptionsEdit edit;
    // Into a new or empty set the picture's own colours are nearly always
    // wanted; without them the tiles show in the wrong colours.
    edit.takePalette = set.count() == 0;
    edit.tileWidth = set.tileWidth();
    edit.tileHeight = set.tileHeight();
    edit.sizeLocked = set.count() > 0;
    edit.imageWidth = image.width();
    edit.imageHeight = image.height();
    const MapFormat current = m_doc.map().format();
    edit.flipsOffered = (current.AttrMask() & cellbit::kFlips) == cellbit::kFlips;
    OfferSubPalettes(set, current, edit);
    if (!m_user.EditImportOptions(edit))
        return false;
    const int32_t width = edit.sizeLocked ? set.tileWidth() : edit.tileWidth;
    const int32_t height = edit.sizeLocked ? set.tileHeight() : edit.tileHeight;
    ImportOptions options;
    options.takePalette = edit.takePalette;
    options.makeMap = edit.makeMap;
    options.nearest = edit.nearest;
    options.quantize = edit.newPalette;
    options.quantizeOptions.dither = edit.newPalette && edit.dither;
    options.pad = edit.pad;
    options.flips = edit.flipsOffered && edit.flips;
    if (edit.subPalettesOffered && edit.subPalettes) {
        options.subPalettes = {
            edit.palettes, edit.coloursPerPalette, edit.paletteArea, edit.colourEncoding, {}};
        Status st = CheckSubPaletteOptions(options.subPalettes, options.makeMap);
        if (st && options.makeMap)
            st = CheckSubPaletteMap(current, options.subPalettes);
        if (!st) {
            m_user.ShowMessage(st.message());
            return false;
        }
    }
    // A new map replaces the old one: the save question comes first.
    if (options.makeMap && !m_mapProcs.AskSaveChanges())
        return false;

    ImportResult result;
    // Leaves the set as it was when the import fails.
    auto importTiles = [&](TileSet& tiles) -> Status {
        const TileSetState before = TileSetState::Of(tiles);
        Status st =
            ResizeEmptySet(tiles, width, height) ? Status::Ok() : Status::Fail(msg::kBadTileSize);
        if (st) {
            result = ImportImage(tiles, image, options);
            st = result.status;
        }
        if (!st && TileSetCommand::Changed(before, tiles))
            TileSetCommand::Apply(tiles, before, before.count, {}, {});
        return st;
    };
    Status st = Status::Ok();
    if (options.makeMap) {
        st = m_doc.ImportMap(command::kImportImage, set.count(),
                             [&](TileSet& tiles, MapFormat& format, std::vector<uint16_t>& cells,
                                 std::vector<uint16_t>& attrs) {
                                 Status done = importTiles(tiles);
                                 if (done) {
                                     // Flips need the fields of the layout the
                                     // user has; it stays, with the new size.
                                     if (options.flips || options.subPalettes.on()) {
                                         format = current;
                                         format.width = result.mapWidth;
                                         format.height = result.mapHeight;
                                         if (options.subPalettes.on())
                                             format.cells.coloursPerPalette =
                                                 uint16_t(options.subPalettes.colours);
                                     } else {
                                         format =
                                             ImportedMapFormat(result.mapWidth, result.mapHeight);
                                     }
                                     cells = std::move(result.cells);
                                     attrs = std::move(result.attrs);
                                 }
                                 return done;
                             });
    } else {
        m_doc.ChangeTiles(command::kImportImage, true,
                          [&](TileSet& tiles) { st = importTiles(tiles); });
    }
    if (!st) {
        // A full set is the set's state, not the picture's.
        m_user.ShowMessage(st.message() == msg::kTileSetFull ? st.message()
                                                             : Naming(st.message(), *path));
        return false;
    }
    if (result.setFull)
        m_user.ShowMessage(msg::kTileSetFull);
    std::string summary =
        ImportSummary(result.tiles, result.added, result.changedPixels, options.nearest,
                      options.quantize ? &result.quantized : nullptr);
    if (options.flips)
        summary += "\n" + FlippedSummary(result.flippedCells);
    if (options.subPalettes.on())
        summary += "\n" + SubPaletteSummary(result.subPalettes, options.subPalettes);
    if (result.coloursDiffer)
        summary += std::string("\n") + kColoursDiffer;
    m_user.ShowMessage(summary, MessageIcon::None);
    return true;
}

bool ImportProcedures::OnImportTmx() {
    if (!m_mapProcs.AskSaveChanges())
        return false;
    const auto path = m_user.ChooseOpenFile(filetype::Dialog("tmx", {filetype::kTmx}, false));
    if (!path)
        return false;
    const auto bytes = m_fs.readFile(*path, kMaxTmxBytes);
    if (!bytes) {
        m_user.ShowMessage(bytes.status().message());
        return false;
    }
    FolderLoader loader(m_fs, FolderOfPath(*path));
    // A palette sheet (as kesh's own export writes) brings its colours; for
    // true-colour sheets the set has the default colours.
    TmxImportOptions options;
    options.takePalette = true;
    // A layout with both flip fields keeps Tiled's flips, and stays.
    const MapFormat current = m_doc.map().format();
    options.keepFlips = (current.AttrMask() & cellbit::kFlips) == cellbit::kFlips;
    TmxImportResult result = ImportTmx(*bytes, loader, options);
    // Tiled's sheets are mostly true colour, and its maps may flip tiles:
    // rather than refuse, offer what kesh-cli's --nearest and --drop-flips do.
    for (int offers = 0; !result.status && offers < 2; ++offers) {
        const std::string& why = result.status.message();
        bool* option = nullptr;
        const char* offer = nullptr;
        if (!options.nearest && why.rfind(msg::kColourNotInPalette, 0) == 0) {
            option = &options.nearest;
            offer = kOfferNearest;
        } else if (!options.dropFlips && why.rfind(msg::kTmxFlipped, 0) == 0) {
            option = &options.dropFlips;
            offer = kOfferDropFlips;
        }
        if (!option || !m_user.AskYesNo(why + "\n" + offer))
            break;
        *option = true;
        result = ImportTmx(*bytes, loader, options);
    }
    if (!result.status) {
        m_user.ShowMessage(Naming(result.status.message(), *path));
        return false;
    }
    // The map's tiles replace the whole set, as they would in a new tile file.
    const TileRun imported = TileRun::Of(result.tiles.tiles(), 0);
    const Status st =
        m_doc.ImportMap(command::kImportTmx, 0,
                        [&](TileSet& tiles, MapFormat& format, std::vector<uint16_t>& cells,
                            std::vector<uint16_t>& attrs) {
                            TileSetCommand::Apply(tiles, TileSetState::Of(result.tiles), 0,
                                                  imported.pixels, imported.attributes);
                            if (options.keepFlips) {
                                format = current;
                                format.width = result.width;
                                format.height = result.height;
                            } else {
                                format = ImportedMapFormat(result.width, result.height);
                            }
                            cells = std::move(result.cells);
                            attrs = std::move(result.attrs);
                            return Status::Ok();
                        });
    if (!st) {
        m_user.ShowMessage(st.message());
        return false;
    }
    for (const std::string& warning : result.warnings)
        m_user.ShowMessage(warning);
    // What the user agreed to above, counted.
    if (options.nearest)
        m_user.ShowMessage(kNearestCount + std::to_string(result.changedPixels), MessageIcon::None);
    if (options.dropFlips)
        m_user.ShowMessage(msg::kTmxFlipsDropped + std::to_string(result.droppedFlips),
                           MessageIcon::None);
    return true;
}

} // namespace kesh
