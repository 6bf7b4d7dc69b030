#include "image/TileQuantizer.h"

#include <algorithm>
#include <new>
#include <string>
#include <tuple>
#include <unordered_map>

#include "base/Messages.h"
#include "image/AreaColours.h"
#include "image/ImageSource.h"
#include "image/PaletteChoices.h"
#include "image/TilePaletteSearch.h"
#include "raster/ColourReduction.h"

namespace kesh {

namespace {

// Colour 0 of the packer while it stands for transparent pixels: no colour
// of the picture, which are all 24-bit.
constexpr uint32_t kTransparentKey = 0xFF000000u;

// The shown colour found in the most areas, then in the most pixels, then
// the lowest.
uint32_t MostSharedColour(const AreaColours& colours) {
    struct Use {
        size_t areas = 0;
        int64_t pixels = 0;
        size_t lastArea = SIZE_MAX;
    };
    std::unordered_map<uint32_t, Use> uses;
    for (size_t a = 0; a < colours.areas(); ++a)
        for (uint32_t i = colours.start[a]; i < colours.start[a + 1]; ++i) {
            Use& use = uses[colours.reduced[i]];
            use.pixels += colours.count[i];
            if (use.lastArea != a)
                ++use.areas;
            use.lastArea = a;
        }
    uint32_t best = 0;
    Use most;
    for (const auto& [colour, use] : uses)
        if (std::tie(use.areas, use.pixels) > std::tie(most.areas, most.pixels) ||
            (use.areas == most.areas && use.pixels == most.pixels && colour < best)) {
            best = colour;
            most = use;
        }
    return best;
}

// The areas' colours packed as they show, when every area fits in a palette
// of K colours and the packer finds a way.
std::optional<AreaPalettes> PackAsTheyAre(const AreaColours& colours,
                                          const TileQuantizeOptions& options, uint32_t zero) {
    std::vector<std::vector<uint32_t>> sets(colours.areas());
    for (size_t a = 0; a < sets.size(); ++a) {
        std::vector<uint32_t>& set = sets[a];
        set.assign(colours.reduced.begin() + colours.start[a],
                   colours.reduced.begin() + colours.start[a + 1]);
        std::erase(set, zero);
        std::sort(set.begin(), set.end());
        set.erase(std::unique(set.begin(), set.end()), set.end());
        if (set.size() > size_t(options.colours - 1))
            return std::nullopt;
    }
    SubPalettes packed;
    if (!SubPalettePacker(options.palettes, options.colours)
             .Pack(sets, colours.areasAcross, 1, 1, zero, packed))
        return std::nullopt;
    AreaPalettes out;
    for (const auto& p : packed.palettes)
        out.own.emplace_back(p.begin() + 1, p.end());
    out.paletteOfArea.assign(packed.paletteOfTile.begin(), packed.paletteOfTile.end());
    return out;
}

Status CheckOptions(int32_t width, int32_t height, const TileQuantizeOptions& o) {
    if (width <= 0 || height <= 0)
        return Status::Fail("그림이 비어 있습니다.");
    if (o.tileWidth <= 0 || o.tileHeight <= 0 || o.areaAcross <= 0 || o.areaDown <= 0)
        return Status::Fail(msg::kBadTileSize);
    if (o.palettes < 1 || o.palettes > 256 || o.colours < 2 || o.colours > 256)
        return Status::Fail("팔레트는 1개에서 256개까지, 팔레트의 색은 2개에서 256개까지입니다. (" +
                            std::to_string(o.palettes) + "×" + std::to_string(o.colours) + ")");
    return Status::Ok();
}

} // namespace

Status TileQuantize(const uint8_t* rgb, const uint8_t* alpha, int32_t width, int32_t height,
                    const TileQuantizeOptions& options, TileQuantized& out) {
    if (Status st = CheckOptions(width, height, options); !st)
        return st;
    try {
        ColourReduction reduction = ColourReduction::Of(options.encoding);
        const AreaColours colours =
            GatherAreaColours(rgb, alpha, width, height, options.tileWidth, options.tileHeight,
                              options.areaAcross, options.areaDown, reduction);
        TileQuantized result;
        result.transparentZero = colours.transparency;
        uint32_t zero = 0;
        if (options.shared || colours.transparency)
            zero = PackRgb(reduction.Reduce(options.shared.value_or(Rgb{})));
        else
            zero = MostSharedColour(colours);
        const std::optional<uint32_t> usable =
            colours.transparency ? std::nullopt : std::optional<uint32_t>(zero);

        std::optional<AreaPalettes> found =
            PackAsTheyAre(colours, options, usable ? zero : kTransparentKey);
        result.report.exact = found.has_value();
        if (!found)
            found = TilePaletteSearch(colours, options.palettes, options.colours, usable, reduction)
                        .Run();

        // The palettes as the importer takes them, and each pixel's entry.
        std::vector<PaletteChoices> choices;
        for (const auto& own : found->own) {
            std::vector<uint32_t> palette{zero};
            palette.insert(palette.end(), own.begin(), own.end());
            choices.emplace_back(usable ? std::span<const uint32_t>(palette)
                                        : std::span<const uint32_t>(own));
            result.palettes.palettes.push_back(std::move(palette));
        }
        if (result.palettes.palettes.empty())
            result.palettes.palettes.push_back({zero});
        const int32_t areaWidth = options.tileWidth * options.areaAcross;
        const int32_t areaHeight = options.tileHeight * options.areaDown;
        result.palettes.paletteOfTile.resize(size_t(colours.tilesAcross) *
                                             size_t(colours.tilesDown));
        for (size_t t = 0; t < result.palettes.paletteOfTile.size(); ++t) {
            const size_t x = t % size_t(colours.tilesAcross) / size_t(options.areaAcross);
            const size_t y = t / size_t(colours.tilesAcross) / size_t(options.areaDown);
            result.palettes.paletteOfTile[t] =
                uint8_t(found->paletteOfArea[y * size_t(colours.areasAcross) + x]);
        }
        result.indices.resize(size_t(width) * size_t(height));
        const uint8_t first = usable ? 0 : 1;
        int64_t error = 0;
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                const size_t i = size_t(y) * size_t(width) + size_t(x);
                if (alpha && alpha[i] == 0)
                    continue; // colour 0
                const size_t area =
                    size_t(y / areaHeight) * size_t(colours.areasAcross) + size_t(x / areaWidth);
                const uint8_t* p = rgb + 3 * i;
                int32_t distance = 0;
                result.indices[i] = uint8_t(first + choices[found->paletteOfArea[area]].Nearest(
                                                        p[0], p[1], p[2], distance));
                error += distance;
            }
        result.report.colours = options.colours - 1;
        result.report.squaredError = double(error);
        result.report.pixels = colours.opaque;
        out = std::move(result);
    } catch (const std::bad_alloc&) {
        return Status::Fail(msg::kAllocFailed);
    }
    return Status::Ok();
}

Status TileQuantize(const Image& image, const TileQuantizeOptions& options, TileQuantized& out) {
    if (Status st = CheckOptions(image.m_width, image.m_height, options); !st)
        return st;
    ImageSource source(image);
    std::vector<uint8_t> rgb, alpha;
    if (Status st = TrueColourOf(source, rgb, alpha); !st)
        return st;
    return TileQuantize(rgb.data(), alpha.empty() ? nullptr : alpha.data(), image.m_width,
                        image.m_height, options, out);
}

} // namespace kesh
