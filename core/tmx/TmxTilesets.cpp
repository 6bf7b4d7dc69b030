#include "tmx/TmxTilesets.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <string_view>
#include <unordered_map>

#include "base/Messages.h"
#include "image/ImportImage.h"
#include "io/InputLimits.h"
#include "map/MapModel.h"
#include "raster/ColourMapper.h"
#include "tmx/TmxImages.h"
#include "tmx/TmxMessages.h"

namespace kesh {

namespace {

constexpr uint32_t kMaxGid = 0x0FFFFFFF; // the bits above are flips and rotation
constexpr int kMaxGap = 4096;            // margin and spacing, pixels

Status Bad(const char* message, const std::string& name) {
    return Status::Fail(message + name);
}

// The int property "attribute" as a word: -2^31 to 2^32 - 1.
bool ParseAttribute(std::string_view text, uint32_t& word) {
    int64_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || v < INT32_MIN || v > UINT32_MAX)
        return false;
    word = uint32_t(v);
    return true;
}

// The tiles in `set`'s order of first appearance, keyed by pixels and attribute.
class TileNumbers {
public:
    explicit TileNumbers(TileSet& set) : m_set(set) {}
    Status Add(const uint8_t* pixels, uint32_t attribute, uint16_t& number) {
        TileList& list = m_set.tiles();
        std::string key(reinterpret_cast<const char*>(pixels), size_t(list.tileSize()));
        key.append(reinterpret_cast<const char*>(&attribute), sizeof attribute);
        if (const auto it = m_known.find(key); it != m_known.end()) {
            number = it->second;
            return Status::Ok();
        }
        if (!list.Append(pixels, attribute))
            return Status::Fail(msg::kTileSetFull);
        if (list.count() - 1 >= kEmptyCell)
            return Status::Fail(msg::kTileNumberTooLargeForMap);
        number = uint16_t(list.count() - 1);
        m_known.emplace(std::move(key), number);
        return Status::Ok();
    }

private:
    TileSet& m_set;
    std::unordered_map<std::string, uint16_t> m_known;
};

// The tiles of a sheet stacked into one column, `count` tiles tall.
Image StripOf(const Image& image, int32_t tw, int32_t th, int64_t columns, int margin, int spacing,
              int64_t count) {
    Image strip;
    strip.m_width = tw;
    strip.m_height = int32_t(th * count);
    strip.m_pixelCount = int32_t(int64_t(tw) * th * count);
    strip.m_kind = image.m_kind;
    strip.m_palette = image.m_palette;
    const size_t bpp = image.hasIndices() ? 1 : 3;
    const uint8_t* from = image.hasIndices() ? image.m_pixels.data() : image.m_rgb.data();
    std::vector<uint8_t>& to = image.hasIndices() ? strip.m_pixels : strip.m_rgb;
    to.resize(size_t(strip.m_pixelCount) * bpp);
    const bool alpha = image.m_hasAlpha && !image.m_alpha.empty();
    strip.m_hasAlpha = alpha;
    if (alpha)
        strip.m_alpha.resize(size_t(strip.m_pixelCount));
    for (int64_t t = 0; t < count; ++t) {
        const int64_t x0 = margin + (t % columns) * (tw + spacing);
        const int64_t y0 = margin + (t / columns) * (th + spacing);
        for (int64_t y = 0; y < th; ++y) {
            const size_t at = size_t((t * th + y) * tw);
            const size_t source = size_t((y0 + y) * image.m_width + x0);
            std::memcpy(to.data() + at * bpp, from + source * bpp, size_t(tw) * bpp);
            if (alpha)
                std::memcpy(strip.m_alpha.data() + at, image.m_alpha.data() + source, size_t(tw));
        }
    }
    return strip;
}

struct Sheet {
    pugi::xml_node node;
    std::string folder; // where its image is named from
    std::string name;
};

class TilesetReader {
public:
    TilesetReader(TmxLoader& loader, const TmxImportOptions& options, TileSet& set)
        : m_images(loader), m_options(options), m_set(set), m_numbers(set) {}

    // The image a tile set names, decoded (once for all tile sets naming it).
    Status ImageOf(const Sheet& sheet, std::string& path, const Image*& image) {
        const std::string source = sheet.node.child("image").attribute("source").as_string();
        if (source.empty())
            return Bad(msg::kTmxNoImage, sheet.name);
        path = JoinPath(sheet.folder, source);
        return m_images.Get(path, image);
    }

    // Builds the one palette of every tile set's image; the set takes it.
    Status ShareColours(const std::vector<const Sheet*>& sheets) {
        std::vector<const Image*> images;
        for (const Sheet* sheet : sheets) {
            std::string path;
            const Image* image = nullptr;
            if (Status st = ImageOf(*sheet, path, image); !st)
                return st;
            if (std::find(images.begin(), images.end(), image) == images.end())
                images.push_back(image);
        }
        m_shared = std::make_unique<SharedColours>();
        if (Status st = kesh::ShareColours(images, m_options.quantizeOptions, *m_shared); !st)
            return st;
        m_set.SetPalette(ColourMapper::PaletteOf(m_shared->colours));
        m_quantized.colours =
            int(m_shared->colours.levels.size()) - (m_shared->colours.reserveZero ? 1 : 0);
        m_quantized.exact = m_shared->colours.exact;
        return Status::Ok();
    }
    const QuantizeReport& quantized() const { return m_quantized; }

    Status Read(const Sheet& sheet, bool first, TmxTileset& out, int64_t& changed) {
        const pugi::xml_node ts = sheet.node;
        const std::string& name = sheet.name;
        const int32_t tw = m_set.tileWidth();
        const int32_t th = m_set.tileHeight();
        if (ts.attribute("tilewidth").as_llong(-1) != tw ||
            ts.attribute("tileheight").as_llong(-1) != th)
            return Bad(msg::kTmxTileSizeDiffers, name);
        const int64_t margin = ts.attribute("margin").as_llong(0);
        const int64_t spacing = ts.attribute("spacing").as_llong(0);
        if (margin < 0 || margin > kMaxGap || spacing < 0 || spacing > kMaxGap)
            return Bad(msg::kTmxBadTileset, name);
        std::string path;
        const Image* decoded = nullptr;
        if (Status st = ImageOf(sheet, path, decoded); !st)
            return st;
        const Image& image = *decoded;

        auto fit = [](int64_t side, int64_t tile, int64_t m, int64_t s) -> int64_t {
            return side >= 2 * m + tile ? (side - 2 * m + s) / (tile + s) : 0;
        };
        const int64_t columns = fit(image.m_width, tw, margin, spacing);
        const int64_t slots = columns * fit(image.m_height, th, margin, spacing);
        int64_t count = slots;
        if (const auto attr = ts.attribute("tilecount")) {
            count = attr.as_llong(-1);
            if (count < 0)
                return Bad(msg::kTmxBadTileset, name);
            if (count > slots)
                return Bad(msg::kTmxTooFewSlots, name);
        }
        if (int64_t(out.firstGid) + count - 1 > int64_t(kMaxGid))
            return Bad(msg::kTmxBadTileset, name);

        std::vector<uint32_t> attributes(size_t(count), 0);
        for (const pugi::xml_node tile : ts.children("tile")) {
            const int64_t id = tile.attribute("id").as_llong(-1);
            for (const pugi::xml_node p : tile.child("properties").children("property")) {
                if (std::string_view(p.attribute("name").as_string()) != "attribute")
                    continue;
                uint32_t word = 0;
                if (!ParseAttribute(p.attribute("value").as_string(), word))
                    return Bad(msg::kTmxBadAttribute, name);
                if (id >= 0 && id < count)
                    attributes[size_t(id)] = word;
            }
        }
        if (first && m_options.takePalette && image.hasIndices() && !m_shared)
            m_set.SetPalette(image.m_palette);
        if (count == 0)
            return Status::Ok();

        // The image import cuts and colours the tiles into a set of their own;
        // they come into the set with their attributes in local id order.
        TileSet scratch;
        scratch.format() = m_set.format();
        scratch.InitTileSet();
        ColourTable table;
        std::copy(m_set.colourTable(), m_set.colourTable() + table.size(), table.begin());
        scratch.SetColourTable(table);
        ImportOptions options;
        options.makeMap = true;
        options.nearest = m_options.nearest;
        options.quantize = m_shared != nullptr;
        options.quantizeOptions = m_options.quantizeOptions;
        options.shared = m_shared.get();
        const Image strip = StripOf(image, tw, th, columns, int(margin), int(spacing), count);
        const ImportResult imported = ImportImage(scratch, strip, options);
        if (!imported.status)
            return Status::Fail(imported.status.message() + "\n" + path);
        changed += imported.changedPixels;
        m_quantized.Add(imported.quantized);
        out.numbers.resize(size_t(count));
        for (int64_t t = 0; t < count; ++t) {
            const uint8_t* pixels = scratch.tiles().PixelsAt(imported.cells[size_t(t)]);
            if (Status st = m_numbers.Add(pixels, attributes[size_t(t)], out.numbers[size_t(t)]);
                !st)
                return st;
        }
        return Status::Ok();
    }

private:
    TmxImages m_images;
    const TmxImportOptions& m_options;
    TileSet& m_set;
    TileNumbers m_numbers;
    std::unique_ptr<SharedColours> m_shared; // with quantize
    QuantizeReport m_quantized;
};

} // namespace

Status ImportTmxTilesets(const pugi::xml_node& map, TmxLoader& loader,
                         const TmxImportOptions& options, TileSet& set,
                         std::vector<TmxTileset>& out, int64_t& changedPixels,
                         QuantizeReport& quantized) {
    // External tile sets stay parsed until every tile set is read.
    std::vector<std::unique_ptr<pugi::xml_document>> external;
    std::multimap<int64_t, Sheet> byGid;
    for (const pugi::xml_node ts : map.children("tileset")) {
        const int64_t firstGid = ts.attribute("firstgid").as_llong(0);
        Sheet sheet{ts, "", ts.attribute("name").as_string()};
        if (const char* source = ts.attribute("source").as_string(); *source) {
            const auto bytes = loader.Load(source, kMaxTsxBytes);
            if (!bytes)
                return bytes.Refusal(
                    Status::Fail(std::string(msg::kTmxFileMissing) + "\n" + source));
            auto& doc = *external.emplace_back(std::make_unique<pugi::xml_document>());
            const pugi::xml_parse_result parsed = doc.load_buffer(bytes->data(), bytes->size());
            sheet.node = doc.child("tileset");
            if (!parsed || !sheet.node)
                return Status::Fail(std::string(msg::kTmxBadXml) + "\n" + source);
            sheet.folder = FolderOfPath(source);
            sheet.name = sheet.node.attribute("name").as_string();
            if (sheet.name.empty())
                sheet.name = source;
        }
        if (firstGid < 1 || firstGid > kMaxGid || byGid.count(firstGid))
            return Bad(msg::kTmxBadTileset, sheet.name);
        byGid.emplace(firstGid, std::move(sheet));
    }
    TilesetReader reader(loader, options, set);
    std::vector<TmxTileset> sets;
    bool first = true;
    try {
        if (options.quantize) {
            std::vector<const Sheet*> sheets;
            for (const auto& entry : byGid)
                sheets.push_back(&entry.second);
            if (Status st = reader.ShareColours(sheets); !st)
                return st;
        }
        for (const auto& [gid, sheet] : byGid) {
            TmxTileset& ts = sets.emplace_back();
            ts.firstGid = uint32_t(gid);
            if (Status st = reader.Read(sheet, first, ts, changedPixels); !st)
                return st;
            first = false;
        }
    } catch (const std::bad_alloc&) {
        return Status::Fail(msg::kAllocFailed);
    }
    out = std::move(sets);
    quantized = reader.quantized();
    return Status::Ok();
}

} // namespace kesh
