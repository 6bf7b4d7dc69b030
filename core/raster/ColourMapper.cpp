#include "raster/ColourMapper.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>

namespace kesh {

ColourMapper::ColourMapper(const ColourHistogram& histogram, const QuantizedColours& colours)
    : m_histogram(histogram), m_colours(colours), m_first(colours.reserveZero ? 1 : 0),
      m_indexOfBin(histogram.bins().size(), int16_t(-1)) {
    const ColourPrecision& p = histogram.precision();
    for (const auto& l : colours.levels)
        for (int c = 0; c < 3; ++c)
            m_shown.push_back(p.Shown(l[size_t(c)]));
    for (size_t i = 0; i < colours.bins.size(); ++i)
        m_indexOfBin[colours.bins[i]] = colours.entryOfBin[i];
    if (colours.exact)
        for (size_t e = size_t(m_first); e < colours.levels.size(); ++e) {
            const auto& l = colours.levels[e];
            m_indexOfBin[histogram.BinOf(l[0], l[1], l[2])] = int16_t(e);
        }
}

uint8_t ColourMapper::Nearest(int r, int g, int b) const {
    int best = m_first;
    int bestDistance = std::numeric_limits<int>::max();
    const int entries = int(m_colours.levels.size());
    for (int e = m_first; e < entries; ++e) {
        const int* s = &m_shown[size_t(3 * e)];
        const int d = (r - s[0]) * (r - s[0]) + (g - s[1]) * (g - s[1]) + (b - s[2]) * (b - s[2]);
        if (d < bestDistance) {
            bestDistance = d;
            best = e;
        }
    }
    return uint8_t(best);
}

uint8_t ColourMapper::IndexOfBin(size_t bin) {
    int16_t& known = m_indexOfBin[bin];
    if (known < 0) {
        const ColourHistogram::Bin& b = m_histogram.bins()[bin];
        if (b.count > 0) {
            const auto mean = [&](int64_t sum) { return int((2 * sum + b.count) / (2 * b.count)); };
            known = Nearest(mean(b.r), mean(b.g), mean(b.b));
        } else { // a colour dithering made: the bin's own colour
            const ColourPrecision& p = m_histogram.precision();
            const int bits = p.bits;
            const int mask = p.levels() - 1;
            known = Nearest(p.Shown(int(bin >> (2 * bits))), p.Shown(int(bin >> bits) & mask),
                            p.Shown(int(bin) & mask));
        }
    }
    return uint8_t(known);
}

void ColourMapper::Count(const uint8_t* p, uint8_t index) {
    const int* s = &m_shown[size_t(3 * index)];
    const int dr = p[0] - s[0], dg = p[1] - s[1], db = p[2] - s[2];
    m_squaredError += double(dr * dr + dg * dg + db * db);
    ++m_pixels;
}

void ColourMapper::FillOccupied() {
    if (m_complete)
        return;
    for (const uint32_t bin : m_histogram.Occupied())
        IndexOfBin(bin);
    m_complete = true;
}

void ColourMapper::MapRows(const uint8_t* rgb, const uint8_t* alpha, int64_t width, int64_t rows,
                           uint8_t* out, int64_t& squaredError, int64_t& pixels) const {
    const int16_t* indexOfBin = m_indexOfBin.data();
    const int* shown = m_shown.data();
    int64_t sum = 0, count = 0;
    for (int64_t i = 0; i < width * rows; ++i, rgb += 3) {
        if (alpha && alpha[i] == 0) {
            out[i] = 0;
            continue;
        }
        const auto index = uint8_t(indexOfBin[m_histogram.BinOfColour(rgb[0], rgb[1], rgb[2])]);
        out[i] = index;
        const int* s = shown + 3 * index;
        const int dr = rgb[0] - s[0], dg = rgb[1] - s[1], db = rgb[2] - s[2];
        sum += dr * dr + dg * dg + db * db;
        ++count;
    }
    squaredError = sum;
    pixels = count;
}

// `here` holds the error carried into this row, `next` gathers that for the
// row below; both are (width + 2) x 3, in sixteenths, one spare at each end.
void ColourMapper::DitherRow(const uint8_t* rgb, const uint8_t* alpha, int64_t width,
                             bool backwards, std::vector<int>& here, std::vector<int>& next,
                             uint8_t* out) {
    std::fill(next.begin(), next.end(), 0);
    const int64_t step = backwards ? -1 : 1;
    for (int64_t i = 0; i < width; ++i) {
        const int64_t x = backwards ? width - 1 - i : i;
        const uint8_t* p = rgb + 3 * x;
        if (alpha && alpha[x] == 0) {
            out[x] = 0;
            continue;
        }
        int want[3];
        for (int c = 0; c < 3; ++c)
            want[c] = std::clamp(p[c] + here[size_t(3 * (x + 1) + c)] / 16, 0, 255);
        const uint8_t index = IndexOfBin(m_histogram.BinOfColour(want[0], want[1], want[2]));
        out[x] = index;
        Count(p, index);
        const int* s = &m_shown[size_t(3 * index)];
        for (int c = 0; c < 3; ++c) {
            const int e = want[c] - s[c];
            here[size_t(3 * (x + 1 + step) + c)] += 7 * e;
            next[size_t(3 * (x + 1 - step) + c)] += 3 * e;
            next[size_t(3 * (x + 1) + c)] += 5 * e;
            next[size_t(3 * (x + 1 + step) + c)] += e;
        }
    }
}

void ColourMapper::Map(const uint8_t* rgb, const uint8_t* alpha, int64_t width, int64_t height,
                       bool dither, uint8_t* out) {
    std::vector<int> here, next;
    if (dither) {
        here.assign(size_t(3 * (width + 2)), 0);
        next.assign(here.size(), 0);
    }
    if (!dither) {
        // Every colour's entry first; then the rows in two halves at once
        // for a large picture.
        FillOccupied();
        const int64_t half = width * height >= kTwoThreadPixels ? height / 2 : 0;
        int64_t error[2] = {0, 0}, pixels[2] = {0, 0};
        std::thread worker;
        if (half > 0)
            worker = std::thread([&] {
                MapRows(rgb + 3 * half * width, alpha ? alpha + half * width : nullptr, width,
                        height - half, out + half * width, error[1], pixels[1]);
            });
        MapRows(rgb, alpha, width, half > 0 ? half : height, out, error[0], pixels[0]);
        if (worker.joinable())
            worker.join();
        m_squaredError += double(error[0] + error[1]);
        m_pixels += pixels[0] + pixels[1];
        return;
    }
    for (int64_t y = 0; y < height; ++y) {
        const uint8_t* row = rgb + 3 * y * width;
        const uint8_t* a = alpha ? alpha + y * width : nullptr;
        DitherRow(row, a, width, y % 2 == 1, here, next, out + y * width);
        std::swap(here, next);
    }
}

Palette ColourMapper::PaletteOf(const QuantizedColours& colours) {
    Palette palette;
    for (size_t e = 0; e < colours.levels.size() && e < 256; ++e)
        for (size_t c = 0; c < 3; ++c)
            palette.rgb[3 * e + c] = colours.levels[e][c];
    return palette;
}

double ColourMapper::Psnr(double squaredError, int64_t pixels) {
    if (pixels <= 0 || squaredError <= 0)
        return std::numeric_limits<double>::infinity();
    const double mse = squaredError / (3.0 * double(pixels));
    return 10.0 * std::log10(255.0 * 255.0 / mse);
}

} // namespace kesh
