#include "image/AssignPalettes.h"

#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace kesh {

uint32_t SharedColour(const PictureTiles& tiles) {
    std::vector<uint64_t> uses(tiles.blocks());
    for (size_t place = 0; place < tiles.places(); ++place)
        ++uses[tiles.BlockAt(place)];
    std::unordered_map<uint32_t, uint64_t> places;
    for (uint32_t b = 0; b < tiles.blocks(); ++b)
        for (uint32_t colour : tiles.Colours(b))
            places[colour] += uses[b];
    uint32_t best = 0;
    uint64_t most = 0;
    for (const auto& [colour, count] : places)
        if (count > most || (count == most && colour < best)) {
            best = colour;
            most = count;
        }
    return best;
}

Status PackPalettes(const PictureTiles& tiles, const SubPaletteOptions& options, SubPalettes& out) {
    std::vector<std::span<const uint32_t>> colours(tiles.blocks());
    for (uint32_t block = 0; block < colours.size(); ++block)
        colours[block] = tiles.Colours(block);
    SubPalettePacker packer(options.palettes, options.colours);
    packer.SetArea(options.area, options.area);
    return packer.Pack(std::span<const std::span<const uint32_t>>(colours), tiles.BlocksOfPlaces(),
                       tiles.across(), tiles.tileWidth(), tiles.tileHeight(), SharedColour(tiles),
                       out);
}

Status AssignPalettes(const PictureTiles& tiles, const SubPaletteOptions& options,
                      SubPalettes& out) {
    Status st =
        options.assign ? options.assign(tiles, options, out) : PackPalettes(tiles, options, out);
    if (!st)
        return st;
    bool kept = !out.palettes.empty() && out.palettes.size() <= size_t(options.palettes) &&
                out.paletteOfTile.size() == tiles.places();
    for (const auto& palette : out.palettes)
        kept = kept && !palette.empty() && palette.size() <= size_t(options.colours);
    for (size_t place = 0; kept && place < out.paletteOfTile.size(); ++place)
        kept = out.paletteOfTile[place] < out.palettes.size();
    if (!kept)
        return Status::Fail("팔레트를 나눈 결과가 팔레트 " + std::to_string(options.palettes) +
                            "개 × 색 " + std::to_string(options.colours) +
                            "개에 맞지 않습니다. 가져오지 않았습니다.");
    return Status::Ok();
}

} // namespace kesh
