#include "app/TerrainProcedures.h"

#include "app/FileTypes.h"
#include "app/ImportProcedures.h"
#include "doc/CommandNames.h"
#include "doc/TileSetCommand.h"
#include "io/InputLimits.h"
#include "layout/CellFields.h"
#include "raster/ImageDecoders.h"
#include "terrain/TerrainMessages.h"
#include "terrain/TerrainTemplate.h"

namespace kesh {

namespace {

std::string SizeText(int32_t width, int32_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

// Whether `image` is `layout`'s tiles, each w x h.
bool Fits(const TemplateLayout& layout, const Image& image, int32_t w, int32_t h) {
    return image.m_width == int64_t(layout.columns) * w &&
           image.m_height == int64_t(layout.rows) * h;
}

} // namespace

std::string TerrainProcedures::MadeSummary(const std::string& lower, const std::string& upper,
                                           int64_t added, size_t labelled) {
    return "지형 세트를 만들었습니다: " + lower + ", " + upper + "\n타일 " +
           std::to_string(labelled) + "개에 지형을 붙였고, 그 중 " + std::to_string(added) +
           "개가 새 타일입니다.";
}

bool TerrainProcedures::OnMakeTerrain() {
    if (m_doc.terrain().active() && !m_user.AskYesNo(kReplaceSet))
        return false;
    const auto path =
        m_user.ChooseOpenFile(filetype::Dialog("png", {filetype::kPng, filetype::kBitmap}, false));
    if (!path)
        return false;
    const auto bytes = m_fs.readFile(*path, kMaxImageFileBytes);
    if (!bytes) {
        m_user.ShowMessage(bytes.status().message());
        return false;
    }
    Image sheet;
    if (Status st = ReadImage(*bytes, sheet); !st) {
        m_user.ShowMessage(st.message() + "\n" + *path);
        return false;
    }

    const TileSet& set = m_doc.tiles();
    const bool fresh = set.count() == 0;
    MakeTerrainEdit edit;
    edit.path = *path;
    edit.imageWidth = sheet.m_width;
    edit.imageHeight = sheet.m_height;
    edit.tileWidth = set.tileWidth();
    edit.tileHeight = set.tileHeight();
    const TemplateLayout corner = LayoutOf(TerrainTemplate::Corner16);
    const TemplateLayout blob = LayoutOf(TerrainTemplate::Blob47);
    // A new set takes its tile size from the sheet; the template it fits
    // is offered first.
    if (fresh && sheet.m_width % blob.columns == 0 && sheet.m_height % blob.rows == 0 &&
        !(sheet.m_width % corner.columns == 0 && sheet.m_height % corner.rows == 0 &&
          sheet.m_width / corner.columns == sheet.m_height / corner.rows))
        edit.blob = true;
    else if (!fresh)
        edit.blob = Fits(blob, sheet, edit.tileWidth, edit.tileHeight);
    if (!m_user.EditMakeTerrain(edit))
        return false;

    const TemplateLayout& layout = edit.blob ? blob : corner;
    const int32_t w = fresh ? sheet.m_width / layout.columns : set.tileWidth();
    const int32_t h = fresh ? sheet.m_height / layout.rows : set.tileHeight();
    if (w < 1 || h < 1 || !Fits(layout, sheet, w, h)) {
        m_user.ShowMessage(std::string(terrainmsg::kTemplateSize) + "\n" +
                           SizeText(sheet.m_width, sheet.m_height) + " / " +
                           SizeText(layout.columns * w, layout.rows * h));
        return false;
    }
    std::vector<std::string> names{edit.lower, edit.upper};
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i].empty())
            names[i] = "지형 " + std::to_string(i + 1);
    // The names are checked before any tile comes in.
    TerrainSet named;
    named.kind = layout.kind;
    named.terrains = names;
    if (Status st = named.Check(); !st) {
        m_user.ShowMessage(st.message());
        return false;
    }

    ImportOptions options;
    options.takePalette = fresh;
    options.flips = m_doc.mapFlips() == cellbit::kFlips;
    MakeTerrainResult made;
    const Status st =
        m_doc.MakeTerrainSet(command::kMakeTerrain, [&](TileSet& tiles, TerrainSet& result) {
            const TileSetState before = TileSetState::Of(tiles);
            if (!ResizeEmptySet(tiles, w, h)) {
                made.status = Status::Fail(terrainmsg::kTemplateSize);
            } else {
                made = MakeTerrain(tiles, sheet,
                                   edit.blob ? TerrainTemplate::Blob47 : TerrainTemplate::Corner16,
                                   names, options);
            }
            if (!made.status) {
                if (TileSetCommand::Changed(before, tiles))
                    TileSetCommand::Apply(tiles, before, before.count, {}, {});
                return made.status;
            }
            result = made.set;
            return Status::Ok();
        });
    if (!st) {
        m_user.ShowMessage(st.message() + "\n" + *path);
        return false;
    }
    const size_t labelled = made.set.tiles.size();
    m_user.ShowMessage(MadeSummary(names[0], names[1], made.added, labelled), MessageIcon::None);
    return true;
}

} // namespace kesh
