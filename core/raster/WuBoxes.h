#pragma once

#include <cstdint>
#include <vector>

#include "raster/ColourHistogram.h"

namespace kesh {

// Wu's colour quantizer: the colour space of a histogram cut into boxes, each
// time the box of largest squared error cut in two across the channel and at
// the place that leave the least error in the two halves, found in constant
// time per place from cumulative moments of the histogram.
class WuBoxes {
public:
    explicit WuBoxes(const ColourHistogram& histogram);

    // At most `count` boxes (fewer when no box can be cut further), each
    // given as the count and sums of the pixels in it; none is empty. With
    // `boxOfBin` (sized to the histogram's bins), each occupied bin gets the
    // number of its box.
    std::vector<ColourHistogram::Bin> Split(int count,
                                            std::vector<uint16_t>* boxOfBin = nullptr) const;

private:
    struct Moments {
        int64_t w = 0, r = 0, g = 0, b = 0, squares = 0;
    };
    struct Box {
        int r0, r1, g0, g1, b0, b1; // lower bounds excluded, upper included
    };

    size_t At(int r, int g, int b) const {
        return (size_t(r) * m_side + size_t(g)) * m_side + size_t(b);
    }
    Moments Volume(const Box& box) const;
    double Variance(const Box& box) const;
    // The best cut of `box` across channel `channel` (0 red, 1 green, 2
    // blue): its position, or -1, and the halves' score to maximise.
    int BestCut(const Box& box, int channel, const Moments& whole, double& score) const;
    bool Cut(Box& box, Box& other) const;

    int m_side; // levels + 1
    int m_bits; // of a level
    std::vector<Moments> m_moments;
};

} // namespace kesh
