#include "tmx/TmxExport.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <new>
#include <string_view>

#include "base/Messages.h"
#include "raster/PngWriter.h"
#include "tileset/TileSheetExport.h"

namespace kesh {

namespace {

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string StemOf(const std::string& path) {
    const std::string name = FileNameOf(path);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// The layer's cells as Tiled's CSV, one map row per line with gids by
// commas, handed to `out` a row at a time.
void WriteCsv(ByteWriter& out, const MapModel& map, uint32_t tileCount) {
    const int32_t w = map.width();
    const int32_t h = map.height();
    std::vector<char> line(size_t(w) * 11 + 2); // ten digits and a comma a cell
    out.write(std::string_view("\n"));
    for (int32_t y = 0; y < h; ++y) {
        char* at = line.data();
        for (int32_t x = 0; x < w; ++x) {
            const size_t index = size_t(y) * size_t(w) + size_t(x);
            const uint16_t cell = map.cells()[index];
            uint32_t gid = cell != kEmptyCell && cell < tileCount ? uint32_t(cell) + 1 : 0;
            // Flips go in the gid's top bits, as Tiled keeps them:
            // https://doc.mapeditor.org/en/stable/reference/global-tile-ids/
            const uint16_t attr = map.attrAt(index);
            if (gid != 0 && (attr & cellbit::kHFlip))
                gid |= 0x80000000u;
            if (gid != 0 && (attr & cellbit::kVFlip))
                gid |= 0x40000000u;
            at = std::to_chars(at, line.data() + line.size(), gid).ptr;
            if (x + 1 < w || y + 1 < h)
                *at++ = ',';
        }
        *at++ = '\n';
        out.write(line.data(), size_t(at - line.data()));
    }
}

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }
};

} // namespace

std::string TmxSheetPath(const std::string& tmxPath) {
    const size_t slash = tmxPath.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : tmxPath.substr(0, slash + 1);
    return folder + StemOf(tmxPath) + "-tiles.png";
}

void WriteTmx(ByteWriter& out, const MapModel& map, const TileSet& tiles, const std::string& name,
              const std::string& sheetName) {
    const TileList& list = tiles.tiles();
    const uint32_t count = list.count();
    const int32_t tw = tiles.tileWidth();
    const int32_t th = tiles.tileHeight();
    const int64_t sheetRows = (int64_t(count) + kSheetColumns - 1) / kSheetColumns;

    pugi::xml_document doc;
    auto decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    auto root = doc.append_child("map");
    root.append_attribute("version") = "1.10";
    root.append_attribute("orientation") = "orthogonal";
    root.append_attribute("renderorder") = "right-down";
    root.append_attribute("width") = map.width();
    root.append_attribute("height") = map.height();
    root.append_attribute("tilewidth") = tw;
    root.append_attribute("tileheight") = th;
    root.append_attribute("infinite") = 0;
    root.append_attribute("nextlayerid") = 2;
    root.append_attribute("nextobjectid") = 1;

    auto set = root.append_child("tileset");
    set.append_attribute("firstgid") = 1;
    set.append_attribute("name") = name.c_str();
    set.append_attribute("tilewidth") = tw;
    set.append_attribute("tileheight") = th;
    set.append_attribute("tilecount") = count;
    set.append_attribute("columns") = kSheetColumns;
    auto image = set.append_child("image");
    image.append_attribute("source") = sheetName.c_str();
    image.append_attribute("width") = int64_t(kSheetColumns) * tw;
    image.append_attribute("height") = std::max<int64_t>(sheetRows * th, 1);
    for (uint32_t t = 0; t < count; ++t) {
        const uint32_t word = list.AttributeAt(t);
        if (word == 0)
            continue;
        auto tile = set.append_child("tile");
        tile.append_attribute("id") = t;
        auto property = tile.append_child("properties").append_child("property");
        property.append_attribute("name") = "attribute";
        property.append_attribute("type") = "int";
        property.append_attribute("value") = int32_t(word);
    }

    auto layer = root.append_child("layer");
    layer.append_attribute("id") = 1;
    layer.append_attribute("name") = "지도";
    layer.append_attribute("width") = map.width();
    layer.append_attribute("height") = map.height();
    auto data = layer.append_child("data");
    data.append_attribute("encoding") = "csv";
    // The cells go where this mark is, straight to `out`: the text of a
    // large map is never held whole. Markup and names are escaped, so the
    // layer's data is the only place the mark can stand.
    constexpr std::string_view kMark = ">@</data>";
    data.append_child(pugi::node_pcdata).set_value("@");

    StringWriter writer;
    doc.save(writer, " ", pugi::format_default, pugi::encoding_utf8);
    const std::string_view text = writer.text;
    const size_t at = text.rfind(kMark);
    out.write(text.substr(0, at + 1));
    WriteCsv(out, map, count);
    out.write(text.substr(at + 2));
}

std::string BuildTmx(const MapModel& map, const TileSet& tiles, const std::string& name,
                     const std::string& sheetName) {
    ByteWriter out;
    WriteTmx(out, map, tiles, name, sheetName);
    return std::string(out.bytes().begin(), out.bytes().end());
}

std::vector<uint8_t> BuildTmxSheet(const TileSet& tiles) {
    const TileList& list = tiles.tiles();
    const int64_t w = std::max(tiles.tileWidth(), 0);
    const int64_t h = std::max(tiles.tileHeight(), 0);
    const int64_t sheetRows = (int64_t(list.count()) + kSheetColumns - 1) / kSheetColumns;
    const int64_t width = w * kSheetColumns;
    const int64_t height = std::max<int64_t>(sheetRows * h, 1);
    auto png = EncodeIndexedPng(width, height, tiles.colourTable(), [&](int64_t y, uint8_t* out) {
        std::memset(out, 0, size_t(width));
        if (h == 0 || y >= sheetRows * h)
            return;
        const int64_t r = y / h;
        for (int c = 0; c < kSheetColumns; ++c)
            if (const uint8_t* pixels = list.PixelsAt(r * kSheetColumns + c))
                std::memcpy(out + c * w, pixels + (y % h) * w, size_t(w));
    });
    return png ? std::move(*png) : std::vector<uint8_t>();
}

Status ExportTmx(FileSystem& fs, const std::string& tmxPath, const MapModel& map,
                 const TileSet& tiles) {
    if (!map.hasCells())
        return Status::Fail(msg::kBadMapSize);
    const std::string sheetPath = TmxSheetPath(tmxPath);
    if (sheetPath == tmxPath)
        return Status::Fail(std::string(msg::kSaveFailed) + "\n" + tmxPath);
    std::vector<uint8_t> sheet;
    try {
        sheet = BuildTmxSheet(tiles);
    } catch (const std::bad_alloc&) {
    }
    if (sheet.empty())
        return Status::Fail(msg::kAllocFailed);
    const std::string name = StemOf(tmxPath);
    const std::string sheetName = FileNameOf(sheetPath);
    return SaveFiles(fs, std::vector<FileSource>{{tmxPath,
                                                  [&](ByteWriter& out) {
                                                      try {
                                                          WriteTmx(out, map, tiles, name,
                                                                   sheetName);
                                                      } catch (const std::bad_alloc&) {
                                                          return Status::Fail(msg::kAllocFailed);
                                                      }
                                                      return Status::Ok();
                                                  }},
                                                 {sheetPath, [&](ByteWriter& out) {
                                                      out.write(sheet.data(), sheet.size());
                                                      return Status::Ok();
                                                  }}});
}

} // namespace kesh
