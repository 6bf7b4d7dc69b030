#include "doc/TileRemap.h"

namespace kesh {

TileRemap TileRemap::Identity(int32_t count) {
    TileRemap r;
    r.keep.resize(size_t(count));
    r.target.resize(size_t(count));
    for (int32_t t = 0; t < count; ++t) {
        r.keep[size_t(t)] = t;
        r.target[size_t(t)] = {t, 0};
    }
    return r;
}

TileRemap TileRemap::Build(int32_t count, const std::vector<TileMatch>& into) {
    TileRemap r;
    std::vector<int32_t> number(size_t(count), -1);
    for (int32_t t = 0; t < count; ++t)
        if (into[size_t(t)].tile == t) {
            number[size_t(t)] = int32_t(r.keep.size());
            r.keep.push_back(t);
        }
    r.target.resize(size_t(count));
    for (int32_t t = 0; t < count; ++t) {
        // A chain (t into u, u into v) ends at a kept tile; flips add up.
        TileMatch m = into[size_t(t)];
        uint16_t flip = m.flip;
        for (int guard = 0; number[size_t(m.tile)] < 0 && guard < count; ++guard) {
            m = into[size_t(m.tile)];
            flip ^= m.flip;
        }
        r.target[size_t(t)] = {number[size_t(m.tile)], flip};
    }
    return r;
}

} // namespace kesh
