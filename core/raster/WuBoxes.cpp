#include "raster/WuBoxes.h"

namespace kesh {

namespace {

template <typename Box> auto& Lower(Box& box, int channel) {
    return channel == 0 ? box.r0 : channel == 1 ? box.g0 : box.b0;
}
template <typename Box> auto& Upper(Box& box, int channel) {
    return channel == 0 ? box.r1 : channel == 1 ? box.g1 : box.b1;
}

double Spread(int64_t r, int64_t g, int64_t b, int64_t w) {
    return (double(r) * double(r) + double(g) * double(g) + double(b) * double(b)) / double(w);
}

} // namespace

WuBoxes::WuBoxes(const ColourHistogram& histogram)
    : m_side(histogram.precision().levels() + 1), m_bits(histogram.precision().bits),
      m_moments(size_t(m_side) * m_side * m_side) {
    const int levels = m_side - 1;
    const auto& bins = histogram.bins();
    for (int r = 0; r < levels; ++r)
        for (int g = 0; g < levels; ++g)
            for (int b = 0; b < levels; ++b) {
                const ColourHistogram::Bin& bin = bins[histogram.BinOf(r, g, b)];
                m_moments[At(r + 1, g + 1, b + 1)] = {bin.count, bin.r, bin.g, bin.b, bin.squares};
            }
    // Cumulative sums: each entry holds the moments of every bin at or below it.
    std::vector<Moments> area(static_cast<size_t>(m_side));
    for (int r = 1; r <= levels; ++r) {
        std::fill(area.begin(), area.end(), Moments{});
        for (int g = 1; g <= levels; ++g) {
            Moments line;
            for (int b = 1; b <= levels; ++b) {
                Moments& m = m_moments[At(r, g, b)];
                const Moments& below = m_moments[At(r - 1, g, b)];
                Moments& a = area[static_cast<size_t>(b)];
                line = {line.w + m.w, line.r + m.r, line.g + m.g, line.b + m.b,
                        line.squares + m.squares};
                a = {a.w + line.w, a.r + line.r, a.g + line.g, a.b + line.b,
                     a.squares + line.squares};
                m = {below.w + a.w, below.r + a.r, below.g + a.g, below.b + a.b,
                     below.squares + a.squares};
            }
        }
    }
}

WuBoxes::Moments WuBoxes::Volume(const Box& x) const {
    Moments out;
    const auto add = [&](int r, int g, int b, int sign) {
        const Moments& m = m_moments[At(r, g, b)];
        out.w += sign * m.w;
        out.r += sign * m.r;
        out.g += sign * m.g;
        out.b += sign * m.b;
        out.squares += sign * m.squares;
    };
    add(x.r1, x.g1, x.b1, 1);
    add(x.r1, x.g1, x.b0, -1);
    add(x.r1, x.g0, x.b1, -1);
    add(x.r1, x.g0, x.b0, 1);
    add(x.r0, x.g1, x.b1, -1);
    add(x.r0, x.g1, x.b0, 1);
    add(x.r0, x.g0, x.b1, 1);
    add(x.r0, x.g0, x.b0, -1);
    return out;
}

double WuBoxes::Variance(const Box& box) const {
    const Moments m = Volume(box);
    return m.w == 0 ? 0.0 : double(m.squares) - Spread(m.r, m.g, m.b, m.w);
}

int WuBoxes::BestCut(const Box& box, int channel, const Moments& whole, double& score) const {
    score = 0.0;
    int cut = -1;
    Box half = box;
    for (int at = Lower(box, channel) + 1; at < Upper(box, channel); ++at) {
        Upper(half, channel) = at;
        const Moments low = Volume(half);
        const int64_t rest = whole.w - low.w;
        if (low.w == 0 || rest == 0)
            continue;
        const double s = Spread(low.r, low.g, low.b, low.w) +
                         Spread(whole.r - low.r, whole.g - low.g, whole.b - low.b, rest);
        if (s > score) {
            score = s;
            cut = at;
        }
    }
    return cut;
}

bool WuBoxes::Cut(Box& box, Box& other) const {
    const Moments whole = Volume(box);
    int best = -1;
    int bestCut = -1;
    double bestScore = 0.0;
    for (int channel = 0; channel < 3; ++channel) {
        double score = 0.0;
        const int cut = BestCut(box, channel, whole, score);
        if (cut >= 0 && score > bestScore) {
            best = channel;
            bestCut = cut;
            bestScore = score;
        }
    }
    if (best < 0)
        return false;
    other = box;
    Upper(box, best) = bestCut;
    Lower(other, best) = bestCut;
    return true;
}

std::vector<ColourHistogram::Bin> WuBoxes::Split(int count, std::vector<uint16_t>* boxOfBin) const {
    const int levels = m_side - 1;
    std::vector<Box> boxes{{0, levels, 0, levels, 0, levels}};
    std::vector<double> error{Variance(boxes[0])};
    while (int(boxes.size()) < count) {
        size_t next = 0;
        for (size_t i = 1; i < boxes.size(); ++i)
            if (error[i] > error[next])
                next = i;
        Box other{};
        if (error[next] <= 0.0 || !Cut(boxes[next], other)) {
            if (error[next] <= 0.0)
                break;
            error[next] = 0.0; // cannot be cut: a single bin
            continue;
        }
        boxes.push_back(other);
        error[next] = Variance(boxes[next]);
        error.push_back(Variance(other));
    }
    std::vector<ColourHistogram::Bin> out;
    for (const Box& box : boxes) {
        const Moments m = Volume(box);
        if (m.w == 0)
            continue;
        if (boxOfBin)
            for (int r = box.r0; r < box.r1; ++r)
                for (int g = box.g0; g < box.g1; ++g)
                    for (int b = box.b0; b < box.b1; ++b)
                        (*boxOfBin)[size_t(r) << (2 * m_bits) | size_t(g) << m_bits | size_t(b)] =
                            uint16_t(out.size());
        out.push_back({m.w, m.r, m.g, m.b, m.squares});
    }
    return out;
}

} // namespace kesh
