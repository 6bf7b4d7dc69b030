#include "tileset/TileMatcher.h"

#include <cstring>

#include "tileset/TileTransform.h"

namespace kesh {

namespace {

constexpr uint16_t kH = 1u << 0;
constexpr uint16_t kV = 1u << 1;

uint64_t HashOf(const uint8_t* pixels, size_t n, uint32_t attribute) {
    uint64_t h = 0xCBF29CE484222325ull ^ attribute;
    for (size_t i = 0; i < n; ++i)
        h = (h ^ pixels[i]) * 0x100000001B3ull;
    return h;
}

bool Same(const TileList& tiles, int32_t number, const uint8_t* pixels, uint32_t attribute) {
    return tiles.AttributeAt(number) == attribute &&
           std::memcmp(tiles.PixelsAt(number), pixels, size_t(tiles.tileSize())) == 0;
}

} // namespace

std::vector<uint16_t> TileMatcher::Mirrors(uint16_t flips) {
    std::vector<uint16_t> out{0};
    if (flips & kH)
        out.push_back(kH);
    if (flips & kV)
        out.push_back(kV);
    if ((flips & kH) && (flips & kV))
        out.push_back(kH | kV);
    return out;
}

TileMatcher::TileMatcher(const TileList& tiles, uint16_t flips) {
    const int32_t count = int32_t(tiles.count());
    const size_t size = size_t(tiles.tileSize());
    const std::vector<uint16_t> mirrors = Mirrors(flips);
    std::unordered_multimap<uint64_t, int32_t> stored;
    stored.reserve(size_t(count));
    std::vector<uint8_t> image(size);
    m_classes.resize(size_t(count));
    for (int32_t t = 0; t < count; ++t) {
        const uint8_t* pixels = tiles.PixelsAt(t);
        const uint32_t attribute = tiles.AttributeAt(t);
        std::optional<TileMatch> found;
        for (const uint16_t m : mirrors) {
            const uint8_t* look = pixels;
            if (m) {
                MirrorTile(pixels, tiles.width(), tiles.height(), m, image.data());
                look = image.data();
            }
            const auto [first, last] = stored.equal_range(HashOf(look, size, attribute));
            for (auto it = first; it != last && !found; ++it)
                if (Same(tiles, it->second, look, attribute))
                    found = TileMatch{it->second, m};
            if (found)
                break;
        }
        if (found) {
            m_classes[size_t(t)] = *found;
        } else {
            m_classes[size_t(t)] = {t, 0};
            stored.emplace(HashOf(pixels, size, attribute), t);
            ++m_distinct;
        }
    }
}

std::optional<TileMatch> TileMatcher::FindEqual(const TileList& tiles, int32_t number,
                                                uint16_t flips) {
    const uint8_t* pixels = tiles.PixelsAt(number);
    if (!pixels)
        return std::nullopt;
    const uint32_t attribute = tiles.AttributeAt(number);
    std::vector<uint8_t> image(size_t(tiles.tileSize()));
    for (const uint16_t m : Mirrors(flips)) {
        MirrorTile(pixels, tiles.width(), tiles.height(), m, image.data());
        for (int32_t t = 0; t < int32_t(tiles.count()); ++t)
            if (t != number && Same(tiles, t, image.data(), attribute))
                return TileMatch{t, m};
    }
    return std::nullopt;
}

} // namespace kesh
