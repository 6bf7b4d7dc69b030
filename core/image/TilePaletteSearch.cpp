#include "image/TilePaletteSearch.h"

#include <algorithm>
#include <array>
#include <limits>
#include <thread>

#include "image/ClusterPalette.h"

namespace kesh {

namespace {

using Point = std::array<double, 3>;

double Distance(const Point& a, const Point& b) {
    const double dr = a[0] - b[0], dg = a[1] - b[1], db = a[2] - b[2];
    return dr * dr + dg * dg + db * db;
}

constexpr int64_t kNoLimit = std::numeric_limits<int64_t>::max();

} // namespace

TilePaletteSearch::TilePaletteSearch(const AreaColours& colours, int palettes,
                                     int coloursPerPalette, std::optional<uint32_t> shared,
                                     ColourReduction& reduction)
    : m_colours(colours), m_palettes(palettes), m_own(coloursPerPalette - 1), m_shared(shared),
      m_reduction(reduction) {
    m_r.reserve(colours.colour.size());
    m_g.reserve(colours.colour.size());
    m_b.reserve(colours.colour.size());
    for (const uint32_t c : colours.colour) {
        m_r.push_back(int32_t(c >> 16));
        m_g.push_back(int32_t((c >> 8) & 0xFF));
        m_b.push_back(int32_t(c & 0xFF));
    }
}

std::vector<uint16_t> TilePaletteSearch::GroupByMean(size_t& groups) const {
    const size_t areas = m_colours.areas();
    std::vector<Point> mean(areas, Point{});
    std::vector<double> weight(areas, 0.0);
    Point whole{};
    double wholeWeight = 0;
    for (size_t a = 0; a < areas; ++a) {
        for (uint32_t i = m_colours.start[a]; i < m_colours.start[a + 1]; ++i) {
            const double w = m_colours.count[i];
            mean[a][0] += w * m_r[i];
            mean[a][1] += w * m_g[i];
            mean[a][2] += w * m_b[i];
            weight[a] += w;
        }
        for (size_t c = 0; c < 3; ++c) {
            whole[c] += mean[a][c];
            if (weight[a] > 0)
                mean[a][c] /= weight[a];
        }
        wholeWeight += weight[a];
    }
    for (double& c : whole)
        c /= wholeWeight;

    // Seeds, farthest first: `nearest` is each area's distance to the
    // nearest seed so far, at first to the picture's mean.
    std::vector<Point> centres;
    std::vector<double> nearest(areas, 0.0);
    for (size_t a = 0; a < areas; ++a)
        nearest[a] = Distance(mean[a], whole);
    while (centres.size() < size_t(m_palettes)) {
        size_t far = areas;
        for (size_t a = 0; a < areas; ++a)
            if (weight[a] > 0 && (far == areas || nearest[a] > nearest[far]))
                far = a;
        if (far == areas || (!centres.empty() && nearest[far] <= 0))
            break; // no area, or every area lies on a seed
        centres.push_back(mean[far]);
        for (size_t a = 0; a < areas; ++a)
            nearest[a] = centres.size() == 1 ? Distance(mean[a], centres[0])
                                             : std::min(nearest[a], Distance(mean[a], centres.back()));
    }

    std::vector<uint16_t> group(areas, 0);
    for (int pass = 0; pass < kGroupingPasses && !centres.empty(); ++pass) {
        bool moved = false;
        std::vector<Point> sums(centres.size(), Point{});
        std::vector<double> weights(centres.size(), 0.0);
        for (size_t a = 0; a < areas; ++a) {
            if (weight[a] <= 0)
                continue;
            uint16_t best = 0;
            for (size_t c = 1; c < centres.size(); ++c)
                if (Distance(mean[a], centres[c]) < Distance(mean[a], centres[best]))
                    best = uint16_t(c);
            moved = moved || best != group[a] || pass == 0;
            group[a] = best;
            for (size_t c = 0; c < 3; ++c)
                sums[best][c] += weight[a] * mean[a][c];
            weights[best] += weight[a];
        }
        if (!moved)
            break;
        for (size_t c = 0; c < centres.size(); ++c)
            if (weights[c] > 0)
                for (size_t k = 0; k < 3; ++k)
                    centres[c][k] = sums[c][k] / weights[c];
    }
    groups = centres.size();
    return group;
}

int64_t TilePaletteSearch::AreaError(size_t a, const PaletteChoices& choices,
                                     int64_t limit) const {
    if (choices.size() == 0)
        return kNoLimit;
    int64_t error = 0;
    for (uint32_t i = m_colours.start[a]; i < m_colours.start[a + 1]; ++i) {
        error += int64_t(m_colours.count[i]) * choices.Least(m_r[i], m_g[i], m_b[i]);
        if (error > limit)
            break;
    }
    return error;
}

void TilePaletteSearch::AssignRange(size_t from, size_t to,
                                    const std::vector<PaletteChoices>& choices,
                                    std::vector<uint16_t>& paletteOfArea,
                                    std::vector<int64_t>& errorOfArea, size_t& moved) const {
    for (size_t a = from; a < to; ++a) {
        if (m_colours.Size(a) == 0) {
            errorOfArea[a] = 0;
            continue;
        }
        const uint16_t current = paletteOfArea[a];
        uint16_t best = current;
        int64_t least = AreaError(a, choices[current], kNoLimit);
        for (size_t p = 0; p < choices.size() && least > 0; ++p) {
            if (p == current)
                continue;
            const int64_t e = AreaError(a, choices[p], least);
            if (e < least) {
                least = e;
                best = uint16_t(p);
            }
        }
        moved += best != current;
        paletteOfArea[a] = best;
        errorOfArea[a] = least;
    }
}

size_t TilePaletteSearch::Assign(const std::vector<PaletteChoices>& choices,
                                 std::vector<uint16_t>& paletteOfArea,
                                 std::vector<int64_t>& errorOfArea) const {
    const size_t areas = m_colours.areas();
    const size_t half = areas >= kTwoThreadAreas ? areas / 2 : 0;
    size_t moved[2] = {0, 0};
    std::thread worker;
    if (half > 0)
        worker = std::thread([&] {
            AssignRange(half, areas, choices, paletteOfArea, errorOfArea, moved[1]);
        });
    AssignRange(0, half > 0 ? half : areas, choices, paletteOfArea, errorOfArea, moved[0]);
    if (worker.joinable())
        worker.join();
    return moved[0] + moved[1];
}

AreaPalettes TilePaletteSearch::Run() {
    const size_t areas = m_colours.areas();
    size_t groups = 0;
    std::vector<uint16_t> paletteOfArea = GroupByMean(groups);
    AreaPalettes best;
    best.paletteOfArea = paletteOfArea;
    best.squaredError = kNoLimit;
    if (groups == 0) { // nothing opaque
        best.squaredError = 0;
        best.own.assign(1, {});
        return best;
    }
    std::vector<int64_t> errorOfArea(areas, 0);
    std::vector<std::vector<uint32_t>> members(groups), own(groups);
    std::vector<PaletteChoices> choices(groups);
    for (int round = 0; round < kRounds; ++round) {
        for (auto& m : members)
            m.clear();
        for (size_t a = 0; a < areas; ++a)
            if (m_colours.Size(a) > 0)
                members[paletteOfArea[a]].push_back(uint32_t(a));
        for (size_t p = 0; p < groups; ++p) {
            own[p] = ClusterPalette(m_colours, members[p], m_own, m_shared, m_reduction);
            std::vector<uint32_t> all = own[p];
            if (m_shared)
                all.insert(all.begin(), *m_shared);
            choices[p] = PaletteChoices(all);
        }
        size_t moved = Assign(choices, paletteOfArea, errorOfArea);
        int64_t error = 0;
        for (const int64_t e : errorOfArea)
            error += e;
        if (error < best.squaredError) {
            best.own = own;
            best.paletteOfArea = paletteOfArea;
            best.squaredError = error;
        }
        if (error == 0)
            break;
        // A palette no area took is given the area served worst.
        std::vector<size_t> size(groups, 0);
        for (size_t a = 0; a < areas; ++a)
            size[paletteOfArea[a]] += m_colours.Size(a) > 0;
        for (size_t p = 0; p < groups; ++p) {
            if (size[p] > 0)
                continue;
            size_t worst = areas;
            for (size_t a = 0; a < areas; ++a)
                if (size[paletteOfArea[a]] > 1 && (worst == areas || errorOfArea[a] > errorOfArea[worst]))
                    worst = a;
            if (worst == areas || errorOfArea[worst] == 0)
                break;
            --size[paletteOfArea[worst]];
            paletteOfArea[worst] = uint16_t(p);
            errorOfArea[worst] = 0;
            size[p] = 1;
            ++moved;
        }
        if (moved == 0)
            break;
    }
    return best;
}

} // namespace kesh
