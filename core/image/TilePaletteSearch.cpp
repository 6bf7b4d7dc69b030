#include "image/TilePaletteSearch.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <thread>

#include "image/AreaGrouping.h"
#include "image/ClusterPalette.h"

namespace kesh {

namespace {

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

int64_t TilePaletteSearch::AreaError(size_t a, const PaletteChoices& choices, int64_t limit) const {
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
        worker = std::thread(
            [&] { AssignRange(half, areas, choices, paletteOfArea, errorOfArea, moved[1]); });
    AssignRange(0, half > 0 ? half : areas, choices, paletteOfArea, errorOfArea, moved[0]);
    if (worker.joinable())
        worker.join();
    return moved[0] + moved[1];
}

AreaPalettes TilePaletteSearch::Run() {
    AreaPalettes best;
    best.squaredError = kNoLimit;
    for (const AreaFeature feature : {AreaFeature::MeanColour, AreaFeature::ColourSet}) {
        size_t groups = 0;
        std::vector<uint16_t> paletteOfArea = GroupAreas(m_colours, feature, m_palettes, groups);
        if (groups == 0) { // nothing opaque
            best.paletteOfArea = paletteOfArea;
            best.squaredError = 0;
            best.own.assign(1, {});
            return best;
        }
        Rounds(std::move(paletteOfArea), groups, best);
        if (best.squaredError == 0)
            break;
    }
    return best;
}

void TilePaletteSearch::Rounds(std::vector<uint16_t> paletteOfArea, size_t groups,
                               AreaPalettes& best) {
    const size_t areas = m_colours.areas();
    std::vector<int64_t> errorOfArea(areas, 0);
    std::vector<std::vector<uint32_t>> members(groups), own(groups), before;
    std::vector<PaletteChoices> choices(groups);
    // A second thread makes every other group's palette, with a reduction
    // of its own (the NES's remembers what it looked up).
    ColourReduction workerReduction = m_reduction;
    for (int round = 0; round < kRounds; ++round) {
        before.swap(members);
        members.assign(groups, {});
        for (size_t a = 0; a < areas; ++a)
            if (m_colours.Size(a) > 0)
                members[paletteOfArea[a]].push_back(uint32_t(a));
        // Only a group whose areas changed needs its palette made again.
        const auto make = [&](size_t first, ColourReduction& reduction) {
            for (size_t p = first; p < groups; p += 2) {
                if (round > 0 && members[p] == before[p])
                    continue;
                own[p] = ClusterPalette(m_colours, members[p], m_own, m_shared, reduction);
                std::vector<uint32_t> all = own[p];
                if (m_shared)
                    all.insert(all.begin(), *m_shared);
                choices[p] = PaletteChoices(all);
            }
        };
        std::thread worker;
        if (m_colours.colour.size() >= kTwoThreadColours)
            worker = std::thread(make, 1, std::ref(workerReduction));
        else
            make(1, m_reduction);
        make(0, m_reduction);
        if (worker.joinable())
            worker.join();
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
                if (size[paletteOfArea[a]] > 1 &&
                    (worst == areas || errorOfArea[a] > errorOfArea[worst]))
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
}

} // namespace kesh
