#include "raster/ColourQuantizer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "raster/WuBoxes.h"

namespace kesh {

namespace {

// A colour of the histogram, by its mean, weighted by its pixel count.
struct Point {
    float r, g, b;
    float weight;
};

struct Centre {
    float r, g, b;
};

float Distance(const Point& p, const Centre& c) {
    const float dr = p.r - c.r, dg = p.g - c.g, db = p.b - c.b;
    return dr * dr + dg * dg + db * db;
}

float Distance(const Centre& a, const Centre& c) {
    const float dr = a.r - c.r, dg = a.g - c.g, db = a.b - c.b;
    return dr * dr + dg * dg + db * db;
}

// The levels nearest to a mean of pixel sums, and the colour they show as.
std::array<uint8_t, 3> LevelsOf(const ColourPrecision& p, double r, double g, double b) {
    const auto level = [&](double v) { return uint8_t(p.Nearest(int(std::lround(v)))); };
    return {level(r), level(g), level(b)};
}

Centre Shown(const ColourPrecision& p, const std::array<uint8_t, 3>& l) {
    return {float(p.Shown(l[0])), float(p.Shown(l[1])), float(p.Shown(l[2]))};
}

// Refines `levels` by k-means over `points`. The nearest centre of a point is
// searched from its centre of the last pass, in order of distance from it,
// and stops at the first centre farther from that one than the point's
// distance to it plus the best distance found: by the triangle inequality
// none beyond can be nearer.
// `owner` holds each point's entry to start from, and at the end the one
// nearest to it.
void Refine(const ColourPrecision& precision, const std::vector<Point>& points,
            std::vector<std::array<uint8_t, 3>>& levels, std::vector<uint16_t>& owner) {
    const size_t k = levels.size();
    std::vector<Centre> centres(k);
    std::vector<float> between(k * k);
    std::vector<uint16_t> byDistance(k * k);
    // The last pass only assigns, to the entries as they end.
    for (int pass = 0; pass <= ColourQuantizer::kRefinePasses; ++pass) {
        for (size_t c = 0; c < k; ++c)
            centres[c] = Shown(precision, levels[c]);
        for (size_t a = 0; a < k; ++a) {
            for (size_t c = 0; c < k; ++c)
                between[a * k + c] = std::sqrt(Distance(centres[a], centres[c]));
            uint16_t* order = &byDistance[a * k];
            std::iota(order, order + k, uint16_t(0));
            std::sort(order, order + k, [&](uint16_t x, uint16_t y) {
                return between[a * k + x] < between[a * k + y];
            });
        }
        size_t moved = 0;
        std::vector<double> sums(4 * k, 0.0);
        for (size_t i = 0; i < points.size(); ++i) {
            const Point& p = points[i];
            const size_t from = owner[i];
            size_t best = from;
            float bestDistance = Distance(p, centres[from]);
            const float fromRoot = std::sqrt(bestDistance);
            float reach = 2 * fromRoot;
            const uint16_t* order = &byDistance[from * k];
            for (size_t j = 1; j < k; ++j) {
                const size_t c = order[j];
                if (between[from * k + c] >= reach)
                    break;
                const float d = Distance(p, centres[c]);
                if (d < bestDistance) {
                    bestDistance = d;
                    best = c;
                    reach = fromRoot + std::sqrt(d);
                }
            }
            moved += best != from;
            owner[i] = uint16_t(best);
            if (pass == ColourQuantizer::kRefinePasses)
                continue;
            double* s = &sums[4 * best];
            s[0] += double(p.weight) * p.r;
            s[1] += double(p.weight) * p.g;
            s[2] += double(p.weight) * p.b;
            s[3] += p.weight;
        }
        if (pass == ColourQuantizer::kRefinePasses)
            break;
        bool changed = false;
        for (size_t c = 0; c < k; ++c) {
            const double* s = &sums[4 * c];
            if (s[3] <= 0)
                continue; // no colour chose it: it stays
            const auto next = LevelsOf(precision, s[0] / s[3], s[1] / s[3], s[2] / s[3]);
            changed = changed || next != levels[c];
            levels[c] = next;
        }
        if (moved == 0 && !changed) // nothing moves any more: owners are final
            break;
    }
}

} // namespace

QuantizedColours ColourQuantizer::Quantize(const ColourHistogram& histogram, int colours,
                                           bool reserveZero) {
    QuantizedColours out;
    out.reserveZero = reserveZero;
    if (reserveZero)
        out.levels.push_back({0, 0, 0});
    const ColourPrecision& precision = histogram.precision();
    const int available = std::clamp(colours, 2, 256) - (reserveZero ? 1 : 0);
    const std::vector<uint32_t> occupied = histogram.Occupied();
    const auto& bins = histogram.bins();
    const int shift = precision.bits;
    const uint32_t mask = uint32_t(precision.levels() - 1);
    if (occupied.size() <= size_t(available)) {
        for (const uint32_t i : occupied)
            out.levels.push_back(
                {uint8_t(i >> (2 * shift)), uint8_t((i >> shift) & mask), uint8_t(i & mask)});
        out.exact = true;
        return out;
    }
    std::vector<std::array<uint8_t, 3>> levels;
    std::vector<uint16_t> boxOfBin(bins.size(), 0);
    for (const ColourHistogram::Bin& box : WuBoxes(histogram).Split(available, &boxOfBin)) {
        const double w = double(box.count);
        levels.push_back(
            LevelsOf(precision, double(box.r) / w, double(box.g) / w, double(box.b) / w));
    }
    // The boxes' points start with the entry of the box they lie in: the
    // nearest one, nearly always.
    std::vector<Point> points;
    std::vector<uint16_t> owner;
    points.reserve(occupied.size());
    owner.reserve(occupied.size());
    for (const uint32_t i : occupied) {
        const ColourHistogram::Bin& bin = bins[i];
        const float w = float(bin.count);
        points.push_back({float(bin.r) / w, float(bin.g) / w, float(bin.b) / w, w});
        owner.push_back(boxOfBin[i]);
    }
    Refine(precision, points, levels, owner);
    out.levels.insert(out.levels.end(), levels.begin(), levels.end());
    out.bins = occupied;
    out.entryOfBin.resize(owner.size());
    for (size_t i = 0; i < owner.size(); ++i)
        out.entryOfBin[i] = uint8_t(owner[i] + (reserveZero ? 1 : 0));
    return out;
}

} // namespace kesh
