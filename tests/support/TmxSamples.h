#pragma once
// A small TMX writer of its own, so the import is tested (and fuzzed) with
// files made from a known map: every encoding, embedded and external tile
// sets, several tile sets, finite and infinite maps.

#include <zlib.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "raster/PngWriter.h"
#include "tileset/TileSet.h"
#include "tmx/TmxLoader.h"

namespace kesh::test {

// The files of a TMX import, held in memory.
class MemoryLoader : public TmxLoader {
public:
    std::map<std::string, std::vector<uint8_t>> files;
    ReadResult<std::vector<uint8_t>> Load(const std::string& path, uint64_t) override {
        const auto it = files.find(path);
        if (it == files.end())
            return ReadResult<std::vector<uint8_t>>(ReadError::CannotOpen, path);
        return it->second;
    }
};

enum class TmxEncoding { Xml, Csv, Base64, Zlib, Gzip };

inline std::string Base64(const std::vector<uint8_t>& bytes) {
    static const char* kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const uint32_t v = uint32_t(bytes[i]) << 16 |
                           (i + 1 < bytes.size() ? uint32_t(bytes[i + 1]) << 8 : 0) |
                           (i + 2 < bytes.size() ? bytes[i + 2] : 0);
        out += kDigits[v >> 18 & 63];
        out += kDigits[v >> 12 & 63];
        out += i + 1 < bytes.size() ? kDigits[v >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? kDigits[v & 63] : '=';
    }
    return out;
}

// zlib (`gzip` false) or gzip data of `bytes`.
inline std::vector<uint8_t> Deflate(const std::vector<uint8_t>& bytes, bool gzip) {
    z_stream zs{};
    deflateInit2(&zs, 9, Z_DEFLATED, gzip ? 16 + MAX_WBITS : MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::vector<uint8_t> out(deflateBound(&zs, uLong(bytes.size())) + 32);
    zs.next_in = const_cast<Bytef*>(bytes.data());
    zs.avail_in = uInt(bytes.size());
    zs.next_out = out.data();
    zs.avail_out = uInt(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

// The <data> element's attributes and content for these gids.
inline std::string DataText(const std::vector<uint32_t>& gids, TmxEncoding encoding,
                            const std::string& tag = "data", const std::string& extra = "") {
    std::string open = "<" + tag + extra;
    std::string body;
    if (encoding == TmxEncoding::Xml) {
        for (uint32_t g : gids)
            body += "<tile gid=\"" + std::to_string(g) + "\"/>";
    } else if (encoding == TmxEncoding::Csv) {
        for (size_t i = 0; i < gids.size(); ++i)
            body += std::to_string(gids[i]) + (i + 1 < gids.size() ? "," : "\n");
    } else {
        std::vector<uint8_t> bytes;
        for (uint32_t g : gids)
            for (int b = 0; b < 4; ++b)
                bytes.push_back(uint8_t(g >> (8 * b)));
        if (encoding != TmxEncoding::Base64)
            bytes = Deflate(bytes, encoding == TmxEncoding::Gzip);
        body = "\n" + Base64(bytes) + "\n";
    }
    return open + ">" + body + "</" + tag + ">";
}

inline const char* EncodingAttributes(TmxEncoding encoding) {
    switch (encoding) {
    case TmxEncoding::Xml:
        return "";
    case TmxEncoding::Csv:
        return " encoding=\"csv\"";
    case TmxEncoding::Base64:
        return " encoding=\"base64\"";
    case TmxEncoding::Zlib:
        return " encoding=\"base64\" compression=\"zlib\"";
    case TmxEncoding::Gzip:
        return " encoding=\"base64\" compression=\"gzip\"";
    }
    return "";
}

// A palette PNG sheet of tiles `first` .. `first + count - 1` of `set`,
// `columns` wide (blank slots index 0).
inline std::vector<uint8_t> SheetPng(const TileSet& set, int first, int count, int columns) {
    const int64_t tw = set.tileWidth();
    const int64_t th = set.tileHeight();
    const int64_t rows = (count + columns - 1) / columns;
    return *EncodeIndexedPng(tw * columns, th * rows, set.colourTable(),
                             [&](int64_t y, uint8_t* out) {
                                 for (int64_t x = 0; x < tw * columns; ++x) {
                                     const int64_t t = y / th * columns + x / tw;
                                     const uint8_t* p = set.tiles().PixelsAt(first + t);
                                     out[x] = t < count && p ? p[(y % th) * tw + x % tw] : 0;
                                 }
                             });
}

// A <tileset> of tiles `first` .. of `set` with its image at `image`, ids
// carrying their attribute words.
inline std::string TilesetText(const TileSet& set, int first, int count, int columns,
                               const std::string& image, const std::string& gidAttr) {
    std::string s = "<tileset" + gidAttr + " name=\"t" + std::to_string(first) + "\" tilewidth=\"" +
                    std::to_string(set.tileWidth()) + "\" tileheight=\"" +
                    std::to_string(set.tileHeight()) + "\" tilecount=\"" + std::to_string(count) +
                    "\" columns=\"" + std::to_string(columns) + "\"><image source=\"" + image +
                    "\"/>";
    for (int t = 0; t < count; ++t)
        if (const uint32_t a = set.tiles().AttributeAt(first + t))
            s += "<tile id=\"" + std::to_string(t) +
                 "\"><properties><property name=\"attribute\" type=\"int\" value=\"" +
                 std::to_string(int32_t(a)) + "\"/></properties></tile>";
    return s + "</tileset>";
}

// A whole TMX of the map `cells` (tile numbers, 0xFFFF empty) over `set`,
// its tiles split into `sheets` tile sets of `columns` columns (the last of
// `external` kinds in .tsx files under "sets/"), in `encoding`; `chunk` > 0
// makes an infinite map of chunks that side, placed at (-chunk, -chunk).
struct TmxSampleOptions {
    TmxEncoding encoding = TmxEncoding::Csv;
    int sheets = 1;
    int columns = 3;
    bool external = false;
    int chunk = 0;
};

inline std::string MakeTmx(const TileSet& set, int32_t width, int32_t height,
                           const std::vector<uint16_t>& cells, const TmxSampleOptions& o,
                           MemoryLoader& files) {
    const int n = set.count();
    const int per = (n + o.sheets - 1) / std::max(o.sheets, 1);
    std::string sets;
    std::vector<uint32_t> firstGid;
    uint32_t gid = 1;
    for (int s = 0, first = 0; first < n; ++s, first += per) {
        const int count = std::min(per, n - first);
        const std::string image = "sheet" + std::to_string(s) + ".png";
        firstGid.push_back(gid);
        const std::string gidAttr = " firstgid=\"" + std::to_string(gid) + "\"";
        if (o.external) {
            files.files["sets/" + image] = SheetPng(set, first, count, o.columns);
            const std::string tsx =
                "<?xml version=\"1.0\"?>" + TilesetText(set, first, count, o.columns, image, "");
            files.files["sets/s" + std::to_string(s) + ".tsx"] = {tsx.begin(), tsx.end()};
            sets += "<tileset" + gidAttr + " source=\"sets/s" + std::to_string(s) + ".tsx\"/>";
        } else {
            files.files[image] = SheetPng(set, first, count, o.columns);
            sets += TilesetText(set, first, count, o.columns, image, gidAttr);
        }
        gid += uint32_t(count) + 5; // gaps between the tile sets' gids
    }
    auto gidOf = [&](uint16_t cell) -> uint32_t {
        if (cell == 0xFFFF || cell >= n)
            return 0;
        return firstGid[size_t(cell / per)] + cell % per;
    };
    std::string layer;
    const std::string enc = EncodingAttributes(o.encoding);
    if (o.chunk <= 0) {
        std::vector<uint32_t> gids;
        for (uint16_t c : cells)
            gids.push_back(gidOf(c));
        layer = DataText(gids, o.encoding, "data", enc);
    } else {
        layer = "<data" + enc + ">";
        const int k = o.chunk;
        for (int cy = 0; cy * k < height; ++cy)
            for (int cx = 0; cx * k < width; ++cx) {
                std::vector<uint32_t> gids;
                for (int y = 0; y < k; ++y)
                    for (int x = 0; x < k; ++x) {
                        const int mx = cx * k + x, my = cy * k + y;
                        gids.push_back(
                            mx < width && my < height ? gidOf(cells[size_t(my * width + mx)]) : 0);
                    }
                const std::string at =
                    " x=\"" + std::to_string(cx * k - k) + "\" y=\"" + std::to_string(cy * k - k) +
                    "\" width=\"" + std::to_string(k) + "\" height=\"" + std::to_string(k) + "\"";
                layer += DataText(gids, o.encoding, "chunk", at);
            }
        layer += "</data>";
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<map version=\"1.10\" "
           "orientation=\"orthogonal\" renderorder=\"right-down\" width=\"" +
           std::to_string(width) + "\" height=\"" + std::to_string(height) + "\" tilewidth=\"" +
           std::to_string(set.tileWidth()) + "\" tileheight=\"" + std::to_string(set.tileHeight()) +
           "\" infinite=\"" + (o.chunk > 0 ? "1" : "0") + "\">" + sets +
           "<layer id=\"1\" name=\"a\" width=\"" + std::to_string(width) + "\" height=\"" +
           std::to_string(height) + "\">" + layer + "</layer></map>\n";
}

} // namespace kesh::test
