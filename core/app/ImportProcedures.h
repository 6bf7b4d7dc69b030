#pragma once

#include <cstdint>
#include <string>

#include "app/UserServices.h"
#include "doc/Document.h"
#include "image/QuantizeImage.h"
#include "image/SubPaletteOptions.h"
#include "io/FileSystem.h"

namespace kesh {

class MapProcedures;

// Gives an empty set another tile size (1..ImportProcedures::kMaxTileSide),
// keeping its colours and layout. False when the set has tiles or the pool
// cannot hold tiles of that size.
bool ResizeEmptySet(TileSet& set, int32_t width, int32_t height);

// The two import commands of the editor: tiles (and a map) from a picture,
// and a Tiled map. Each is one step of the document's history; a cancelled
// or failed import changes nothing and makes no step. An import that makes
// a map first asks the usual save question through `mapProcs` and stops
// when the user wanted the map saved and it was not. The imported map has
// no file yet, so a later save asks for a name.
class ImportProcedures {
public:
    // The largest tile side the import dialog offers.
    static constexpr int32_t kMaxTileSide = 4096;

    ImportProcedures(Document& doc, MapProcedures& mapProcs, UserServices& user, FileSystem& fs)
        : m_doc(doc), m_mapProcs(mapProcs), m_user(user), m_fs(fs) {}

    // "이미지에서 타일 가져오기...": a PNG, BMP or PCX file, then the options
    // dialog (the tile size only while the set is empty), then the import and
    // the summary. True when the import was done.
    bool OnImportImage();
    // "TMX 가져오기...": the save question, a .tmx file, then its map and
    // tiles replace the map and the tile set; the colours are those of the
    // first tile sheet when it has a palette. True when the import was done.
    bool OnImportTmx();

    // The summary after an image import: how many tiles were read, how many
    // of them were new, with the nearest colours how many pixels changed,
    // and with a palette built from the picture its colours and PSNR.
    // The line added with "뒤집힌 타일도 같은 타일로": how many cells show a flipped tile.
    static std::string FlippedSummary(int64_t flippedCells);
    // The line added with "팔레트 P개 × 색 K개": how many palettes were used.
    static std::string SubPaletteSummary(const SubPalettes& found,
                                         const SubPaletteOptions& options);
    // The summary's last line after an import that kept the set's palette
    // while the picture's colours differ from it.
    static constexpr const char* kColoursDiffer =
        "이미지의 색이 지금 팔레트와 다릅니다. 타일이 다른 색으로 보이면 \"팔레트도 가져오기\"를 "
        "켜고 다시 가져오십시오.";
    static std::string ImportSummary(int64_t tiles, int64_t added, int64_t changedPixels,
                                     bool nearest, const QuantizeReport* quantized = nullptr);
    // "새 팔레트: 256색, PSNR 43.72 dB" or, when the picture's own colours
    // fitted, "새 팔레트: 그림의 12색 그대로, PSNR ...".
    static std::string QuantizeSummary(const QuantizeReport& quantized);

private:
    Document& m_doc;
    MapProcedures& m_mapProcs;
    UserServices& m_user;
    FileSystem& m_fs;
};

} // namespace kesh
