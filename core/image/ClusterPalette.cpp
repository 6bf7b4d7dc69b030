#include "image/ClusterPalette.h"

#include <algorithm>
#include <cmath>

#include "image/PaletteChoices.h"
#include "raster/ColourQuantizer.h"

namespace kesh {

namespace {

// The areas' shown colours other than `shared`, when there are at most
// `own` of them.
std::optional<std::vector<uint32_t>> FewColours(const AreaColours& colours,
                                                std::span<const uint32_t> areas, size_t own,
                                                std::optional<uint32_t> shared) {
    std::vector<uint32_t> found;
    for (const uint32_t a : areas)
        for (uint32_t i = colours.start[a]; i < colours.start[a + 1]; ++i) {
            const uint32_t c = colours.reduced[i];
            if (c == shared)
                continue;
            const auto at = std::lower_bound(found.begin(), found.end(), c);
            if (at != found.end() && *at == c)
                continue;
            if (found.size() == own)
                return std::nullopt;
            found.insert(at, c);
        }
    return found;
}

std::vector<uint32_t> Sorted(std::vector<uint32_t> v) {
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    return v;
}

} // namespace

std::vector<uint32_t> ClusterPalette(const AreaColours& colours, std::span<const uint32_t> areas,
                                     int own, std::optional<uint32_t> shared,
                                     ColourReduction& reduction) {
    if (auto few = FewColours(colours, areas, size_t(own), shared))
        return *few;

    ColourHistogram histogram(ColourPrecision{4});
    for (const uint32_t a : areas)
        for (uint32_t i = colours.start[a]; i < colours.start[a + 1]; ++i) {
            const uint32_t c = colours.colour[i];
            histogram.AddColour(int(c >> 16), int((c >> 8) & 0xFF), int(c & 0xFF),
                                colours.count[i]);
        }
    const QuantizedColours first = ColourQuantizer::Quantize(histogram, own + 1, true);
    const ColourPrecision& p = histogram.precision();
    // entries[0] is colour 0 while the pixels may take it.
    std::vector<uint32_t> entries;
    if (shared)
        entries.push_back(*shared);
    const size_t firstOwn = entries.size();
    for (size_t e = 1; e < first.levels.size(); ++e) {
        const auto& l = first.levels[e];
        entries.push_back(PackRgb(reduction.Reduce(
            Rgb{uint8_t(p.Shown(l[0])), uint8_t(p.Shown(l[1])), uint8_t(p.Shown(l[2]))})));
    }
    std::vector<double> sums;
    for (int pass = 0; pass < kClusterRefinePasses; ++pass) {
        const PaletteChoices choices(entries);
        sums.assign(4 * entries.size(), 0.0);
        for (const uint32_t a : areas)
            for (uint32_t i = colours.start[a]; i < colours.start[a + 1]; ++i) {
                const uint32_t c = colours.colour[i];
                const int32_t r = int32_t(c >> 16), g = int32_t((c >> 8) & 0xFF),
                              b = int32_t(c & 0xFF);
                int32_t distance = 0;
                double* s = &sums[4 * choices.Nearest(r, g, b, distance)];
                const double w = colours.count[i];
                s[0] += w * r;
                s[1] += w * g;
                s[2] += w * b;
                s[3] += w;
            }
        bool changed = false;
        for (size_t e = firstOwn; e < entries.size(); ++e) {
            const double* s = &sums[4 * e];
            if (s[3] <= 0)
                continue; // no colour chose it: it stays
            const auto mean = [&](double v) { return uint8_t(std::lround(v / s[3])); };
            const uint32_t next =
                PackRgb(reduction.Reduce(Rgb{mean(s[0]), mean(s[1]), mean(s[2])}));
            changed = changed || next != entries[e];
            entries[e] = next;
        }
        if (!changed)
            break;
    }
    entries.erase(entries.begin(), entries.begin() + std::ptrdiff_t(firstOwn));
    if (shared) // an own colour that colour 0 already shows is no use
        std::erase(entries, *shared);
    return Sorted(std::move(entries));
}

} // namespace kesh
