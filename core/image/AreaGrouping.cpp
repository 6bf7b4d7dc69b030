#include "image/AreaGrouping.h"

#include <algorithm>
#include <limits>

namespace kesh {

namespace {

// Each area's feature as (dimension, value) pairs, area a's from start[a];
// centres are dense.
struct Features {
    size_t dims = 0;
    std::vector<uint32_t> start;
    std::vector<uint16_t> dim;
    std::vector<double> value;
    std::vector<double> weight; // opaque pixels of each area
};

Features FeaturesOf(const AreaColours& colours, AreaFeature feature) {
    Features f;
    f.dims = feature == AreaFeature::MeanColour ? 3 : 256;
    std::vector<double> dense(f.dims);
    for (size_t a = 0; a < colours.areas(); ++a) {
        f.start.push_back(uint32_t(f.dim.size()));
        std::fill(dense.begin(), dense.end(), 0.0);
        double weight = 0;
        for (uint32_t i = colours.start[a]; i < colours.start[a + 1]; ++i) {
            const double w = colours.count[i];
            weight += w;
            if (feature == AreaFeature::MeanColour) {
                const uint32_t c = colours.colour[i];
                dense[0] += w * double(c >> 16);
                dense[1] += w * double((c >> 8) & 0xFF);
                dense[2] += w * double(c & 0xFF);
            } else {
                const uint32_t h = colours.reduced[i] * 2654435761u;
                dense[h >> 24] += w;
            }
        }
        // Colour sets in shares of 255, to weigh like colours.
        for (size_t d = 0; d < f.dims; ++d)
            if (weight > 0 && dense[d] != 0) {
                f.dim.push_back(uint16_t(d));
                f.value.push_back(dense[d] / weight *
                                  (feature == AreaFeature::ColourSet ? 255 : 1));
            }
        f.weight.push_back(weight);
    }
    f.start.push_back(uint32_t(f.dim.size()));
    return f;
}

// A dense centre and the sum of its squares.
struct Centre {
    std::vector<double> at;
    double norm = 0;
    void Update() {
        norm = 0;
        for (double v : at)
            norm += v * v;
    }
};

double Distance(const Features& f, size_t a, const Centre& c) {
    double d = c.norm;
    for (uint32_t i = f.start[a]; i < f.start[a + 1]; ++i)
        d += f.value[i] * (f.value[i] - 2 * c.at[f.dim[i]]);
    return d;
}

Centre CentreOf(const Features& f, size_t a) {
    Centre c{std::vector<double>(f.dims, 0.0), 0};
    for (uint32_t i = f.start[a]; i < f.start[a + 1]; ++i)
        c.at[f.dim[i]] = f.value[i];
    c.Update();
    return c;
}

} // namespace

std::vector<uint16_t> GroupAreas(const AreaColours& colours, AreaFeature feature, int groups,
                                 size_t& found) {
    const Features f = FeaturesOf(colours, feature);
    const size_t areas = colours.areas();
    Centre whole{std::vector<double>(f.dims, 0.0), 0};
    double total = 0;
    for (size_t a = 0; a < areas; ++a) {
        for (uint32_t i = f.start[a]; i < f.start[a + 1]; ++i)
            whole.at[f.dim[i]] += f.weight[a] * f.value[i];
        total += f.weight[a];
    }
    for (double& v : whole.at)
        v = total > 0 ? v / total : 0;
    whole.Update();

    std::vector<Centre> centres;
    std::vector<double> nearest(areas);
    for (size_t a = 0; a < areas; ++a)
        nearest[a] = Distance(f, a, whole);
    while (centres.size() < size_t(groups)) {
        size_t far = areas;
        for (size_t a = 0; a < areas; ++a)
            if (f.weight[a] > 0 && (far == areas || nearest[a] > nearest[far]))
                far = a;
        if (far == areas || (!centres.empty() && nearest[far] <= 1e-9))
            break; // no area, or every area lies on a seed
        centres.push_back(CentreOf(f, far));
        for (size_t a = 0; a < areas; ++a) {
            const double d = Distance(f, a, centres.back());
            nearest[a] = centres.size() == 1 ? d : std::min(nearest[a], d);
        }
    }

    std::vector<uint16_t> group(areas, 0);
    for (int pass = 0; pass < kGroupingPasses && !centres.empty(); ++pass) {
        bool moved = pass == 0;
        std::vector<Centre> sums(centres.size(), Centre{std::vector<double>(f.dims, 0.0), 0});
        std::vector<double> weights(centres.size(), 0.0);
        for (size_t a = 0; a < areas; ++a) {
            if (f.weight[a] <= 0)
                continue;
            uint16_t best = 0;
            double least = Distance(f, a, centres[0]);
            for (size_t c = 1; c < centres.size(); ++c)
                if (const double d = Distance(f, a, centres[c]); d < least) {
                    least = d;
                    best = uint16_t(c);
                }
            moved = moved || best != group[a];
            group[a] = best;
            for (uint32_t i = f.start[a]; i < f.start[a + 1]; ++i)
                sums[best].at[f.dim[i]] += f.weight[a] * f.value[i];
            weights[best] += f.weight[a];
        }
        if (!moved)
            break;
        for (size_t c = 0; c < centres.size(); ++c)
            if (weights[c] > 0) {
                for (size_t d = 0; d < f.dims; ++d)
                    centres[c].at[d] = sums[c].at[d] / weights[c];
                centres[c].Update();
            }
    }
    found = centres.size();
    return group;
}

} // namespace kesh
