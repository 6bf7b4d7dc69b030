#include "tmx/TmxImport.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <new>

#include "base/Messages.h"
#include "map/MapModel.h"
#include "tmx/TmxLayerData.h"
#include "tmx/TmxMessages.h"

namespace kesh {

namespace {

constexpr int64_t kMaxTileSide = 4096;
// The flag bits at the top of a gid: horizontal, vertical and diagonal
// flips and the hexagonal rotation, https://doc.mapeditor.org/en/stable/reference/global-tile-ids/
constexpr uint32_t kFlipBits = 0xF0000000;
constexpr uint32_t kGidHFlip = 0x80000000;
constexpr uint32_t kGidVFlip = 0x40000000;

std::string CellText(int64_t x, int64_t y) {
    char text[64];
    std::snprintf(text, sizeof text, " (%lld, %lld)", static_cast<long long>(x),
                  static_cast<long long>(y));
    return text;
}

// Maps gids to tile numbers and writes them into a rectangle of the map.
class CellWriter {
public:
    CellWriter(const std::vector<TmxTileset>& sets, const TmxImportOptions& options,
               int64_t& dropped)
        : m_sets(sets), m_dropFlips(options.dropFlips), m_keepFlips(options.keepFlips),
          m_dropped(dropped) {}

    bool keepsFlips() const { return m_keepFlips; }

    // The tile number for `gid`, read for cell (x, y) as the file counts
    // cells (for the messages), into `cell`, and its flips kept into `flips`.
    Status Put(uint32_t gid, int64_t x, int64_t y, uint16_t& cell, uint16_t& flips) {
        if (m_keepFlips && gid != 0) {
            flips = uint16_t(((gid & kGidHFlip) ? cellbit::kHFlip : 0) |
                             ((gid & kGidVFlip) ? cellbit::kVFlip : 0));
            gid &= ~(kGidHFlip | kGidVFlip);
        }
        if (gid & kFlipBits) {
            if (!m_dropFlips)
                return Status::Fail(std::string(msg::kTmxFlipped) + CellText(x, y));
            gid &= ~kFlipBits;
            ++m_dropped;
        }
        if (gid == 0) {
            cell = kEmptyCell;
            return Status::Ok();
        }
        auto it = std::upper_bound(m_sets.begin(), m_sets.end(), gid,
                                   [](uint32_t g, const TmxTileset& s) { return g < s.firstGid; });
        if (it != m_sets.begin()) {
            --it;
            const uint32_t local = gid - it->firstGid;
            if (local < it->numbers.size()) {
                cell = it->numbers[local];
                return Status::Ok();
            }
        }
        return Status::Fail(std::string(msg::kTmxUnknownGid) + CellText(x, y) + ": " +
                            std::to_string(gid));
    }

private:
    const std::vector<TmxTileset>& m_sets;
    bool m_dropFlips;
    bool m_keepFlips;
    int64_t& m_dropped;
};

// A size no map holds: too many cells says so with the limit, anything else
// gives the sides and cells a map may have.
Status TmxSizeRefusal(int64_t width, int64_t height) {
    if (MapModel::IsTooLarge(width, height))
        return MapModel::CheckSize(width, height);
    return Status::Fail(msg::kTmxMapTooLarge);
}

struct Chunk {
    int64_t x = 0, y = 0, w = 0, h = 0;
    pugi::xml_node node;
};

// The first tile layer anywhere in the map (groups included), and the names of the others.
pugi::xml_node FindLayer(const pugi::xml_node& map, std::vector<std::string>& others) {
    pugi::xml_node found;
    for (const pugi::xpath_node& x : map.select_nodes(".//layer")) {
        if (!found)
            found = x.node();
        else
            others.push_back(x.node().attribute("name").as_string());
    }
    return found;
}

Status ReadCells(const pugi::xml_node& map, const pugi::xml_node& layer, CellWriter& writer,
                 TmxImportResult& r) {
    const pugi::xml_node data = layer.child("data");
    const char* encoding = data.attribute("encoding").as_string();
    const char* compression = data.attribute("compression").as_string();
    if (!data)
        return Status::Fail(msg::kTmxBadData);
    if (map.attribute("infinite").as_int(0) == 0) {
        // Cells are kept as the data gives them, so a size the data can't
        // back claims no memory.
        const int64_t w = layer.attribute("width").as_llong(map.attribute("width").as_llong(0));
        const int64_t h = layer.attribute("height").as_llong(map.attribute("height").as_llong(0));
        if (!MapModel::IsValidSize(w, h))
            return TmxSizeRefusal(w, h);
        int64_t i = 0;
        const auto put = [&](uint32_t gid) {
            uint16_t cell = kEmptyCell;
            uint16_t flips = 0;
            Status st = writer.Put(gid, i % w, i / w, cell, flips);
            r.cells.push_back(cell);
            if (writer.keepsFlips())
                r.attrs.push_back(flips);
            ++i;
            return st;
        };
        if (Status st = ReadLayerGids(data, encoding, compression, w * h, put); !st)
            return st;
        r.width = int32_t(w);
        r.height = int32_t(h);
        return Status::Ok();
    }

    std::vector<Chunk> chunks;
    for (const pugi::xml_node c : data.children("chunk")) {
        Chunk chunk{c.attribute("x").as_llong(0), c.attribute("y").as_llong(0),
                    c.attribute("width").as_llong(0), c.attribute("height").as_llong(0), c};
        if (!MapModel::IsValidSize(chunk.w, chunk.h) || chunk.x < -kMaxMapCells ||
            chunk.x > kMaxMapCells || chunk.y < -kMaxMapCells || chunk.y > kMaxMapCells)
            return Status::Fail(msg::kTmxMapTooLarge);
        chunks.push_back(chunk);
    }
    if (chunks.empty())
        return Status::Fail(msg::kTmxBadData);
    int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
    for (const Chunk& c : chunks) {
        left = std::min(left, c.x);
        top = std::min(top, c.y);
        right = std::max(right, c.x + c.w);
        bottom = std::max(bottom, c.y + c.h);
    }
    if (!MapModel::IsValidSize(right - left, bottom - top))
        return TmxSizeRefusal(right - left, bottom - top);
    r.width = int32_t(right - left);
    r.height = int32_t(bottom - top);
    r.cells.assign(size_t(r.width) * size_t(r.height), kEmptyCell);
    if (writer.keepsFlips())
        r.attrs.assign(r.cells.size(), 0);
    for (const Chunk& c : chunks) {
        int64_t i = 0;
        const auto put = [&](uint32_t gid) {
            const int64_t x = c.x + i % c.w;
            const int64_t y = c.y + i / c.w;
            ++i;
            const size_t at = size_t((y - top) * r.width + (x - left));
            uint16_t flips = 0;
            Status st = writer.Put(gid, x, y, r.cells[at], flips);
            if (writer.keepsFlips())
                r.attrs[at] = flips;
            return st;
        };
        if (Status st = ReadLayerGids(c.node, encoding, compression, c.w * c.h, put); !st)
            return st;
    }
    return Status::Ok();
}

TmxImportResult Import(std::span<const uint8_t> tmx, TmxLoader& loader,
                       const TmxImportOptions& options) {
    TmxImportResult r;
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(tmx.data(), tmx.size());
    if (!parsed) {
        r.status = Status::Fail(std::string(msg::kTmxBadXml) + "\n" + parsed.description() + " (" +
                                std::to_string(parsed.offset) + ")");
        return r;
    }
    const pugi::xml_node map = doc.child("map");
    if (!map) {
        r.status = Status::Fail(msg::kTmxNotMap);
        return r;
    }
    if (const char* o = map.attribute("orientation").as_string("orthogonal");
        std::string_view(o) != "orthogonal") {
        r.status = Status::Fail(msg::kTmxNotOrthogonal + std::string(o));
        return r;
    }
    const int64_t tw = map.attribute("tilewidth").as_llong(0);
    const int64_t th = map.attribute("tileheight").as_llong(0);
    if (tw < 1 || th < 1 || tw > kMaxTileSide || th > kMaxTileSide) {
        r.status = Status::Fail(msg::kTmxBadTileSize);
        return r;
    }
    r.tiles.format() = TileFormat::Default();
    r.tiles.format().width = int32_t(tw);
    r.tiles.format().height = int32_t(th);
    r.tiles.InitTileSet();
    if (r.tiles.tiles().width() != tw || r.tiles.tiles().capacity() <= 0) {
        r.status = Status::Fail(msg::kTmxBadTileSize);
        return r;
    }

    std::vector<std::string> others;
    const pugi::xml_node layer = FindLayer(map, others);
    if (!layer) {
        r.status = Status::Fail(msg::kTmxNoTileLayer);
        return r;
    }
    std::vector<TmxTileset> sets;
    if (r.status =
            ImportTmxTilesets(map, loader, options, r.tiles, sets, r.changedPixels, r.quantized);
        !r.status)
        return r;
    CellWriter writer(sets, options, r.droppedFlips);
    if (r.status = ReadCells(map, layer, writer, r); !r.status)
        return r;
    if (!others.empty()) {
        std::string names;
        for (const std::string& name : others)
            names += (names.empty() ? "" : ", ") + name;
        r.warnings.push_back(msg::kTmxOtherLayers + names);
    }
    return r;
}

} // namespace

TmxImportResult ImportTmx(std::span<const uint8_t> tmx, TmxLoader& loader,
                          const TmxImportOptions& options) {
    TmxImportResult r;
    try {
        r = Import(tmx, loader, options);
    } catch (const std::bad_alloc&) {
        r = TmxImportResult();
        r.status = Status::Fail(msg::kAllocFailed);
    }
    if (!r.status) {
        const Status failed = r.status;
        r = TmxImportResult();
        r.status = failed;
    }
    return r;
}

} // namespace kesh
