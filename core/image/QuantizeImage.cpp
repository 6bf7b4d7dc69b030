#include "image/QuantizeImage.h"

#include <cmath>
#include <cstdio>
#include <new>

#include "base/Messages.h"
#include "image/ImageSource.h"
#include "raster/ColourMapper.h"

namespace kesh {

double QuantizeReport::Psnr() const {
    return ColourMapper::Psnr(squaredError, pixels);
}

std::string QuantizeReport::PsnrText() const {
    const double psnr = Psnr();
    if (std::isinf(psnr))
        return "PSNR 무한대 (오차 없음)";
    char text[48];
    std::snprintf(text, sizeof text, "PSNR %.2f dB", psnr);
    return text;
}

void QuantizeReport::Add(const QuantizeReport& other) {
    squaredError += other.squaredError;
    pixels += other.pixels;
}

Status TrueColourOf(ImageSource& source, std::vector<uint8_t>& rgb, std::vector<uint8_t>& alpha) {
    const Image& header = source.header();
    const size_t count = size_t(source.width()) * size_t(source.height());
    try {
        const uint8_t* rows = nullptr;
        const uint8_t* alphaRows = nullptr;
        int32_t got = 0;
        if (Status st = source.NextRows(source.height(), rows, got, &alphaRows); !st)
            return st;
        if (!header.hasIndices()) {
            rgb.assign(rows, rows + 3 * count);
            if (alphaRows)
                alpha.assign(alphaRows, alphaRows + count);
            else
                alpha.clear();
            return Status::Ok();
        }
        rgb.resize(3 * count);
        alpha.clear();
        const auto& palette = header.m_palette.rgb;
        for (size_t i = 0; i < count; ++i) {
            const size_t v = rows[i];
            for (size_t c = 0; c < 3; ++c)
                rgb[3 * i + c] = header.hasPalette() ? uint8_t(palette[3 * v + c] * 4) : uint8_t(v);
        }
    } catch (const std::bad_alloc&) {
        return Status::Fail(msg::kAllocFailed);
    }
    return Status::Ok();
}

Status QuantizeImage(ImageSource& source, const QuantizeOptions& options,
                     const SharedColours* shared, std::vector<uint8_t>& indices, Palette& palette,
                     QuantizeReport& report) {
    std::vector<uint8_t> rgb, alpha;
    if (Status st = TrueColourOf(source, rgb, alpha); !st)
        return st;
    try {
        ColourHistogram own;
        QuantizedColours chosen;
        if (!shared) {
            own.Add(rgb.data(), alpha.empty() ? nullptr : alpha.data(), rgb.size() / 3);
            chosen = ColourQuantizer::Quantize(own, options.colours, own.transparent() > 0);
        }
        const ColourHistogram& histogram = shared ? shared->histogram : own;
        const QuantizedColours& colours = shared ? shared->colours : chosen;
        ColourMapper mapper(histogram, colours);
        indices.resize(rgb.size() / 3);
        mapper.Map(rgb.data(), alpha.empty() ? nullptr : alpha.data(), source.width(),
                   source.height(), options.dither, indices.data());
        palette = mapper.ToPalette();
        report.colours = int(colours.levels.size()) - (colours.reserveZero ? 1 : 0);
        report.exact = colours.exact;
        report.squaredError = mapper.squaredError();
        report.pixels = mapper.pixels();
    } catch (const std::bad_alloc&) {
        return Status::Fail(msg::kAllocFailed);
    }
    return Status::Ok();
}

Status ShareColours(const std::vector<const Image*>& images, const QuantizeOptions& options,
                    SharedColours& shared) {
    try {
        for (const Image* image : images) {
            ImageSource source(*image);
            std::vector<uint8_t> rgb, alpha;
            if (Status st = TrueColourOf(source, rgb, alpha); !st)
                return st;
            shared.histogram.Add(rgb.data(), alpha.empty() ? nullptr : alpha.data(),
                                 rgb.size() / 3);
        }
        shared.colours = ColourQuantizer::Quantize(shared.histogram, options.colours,
                                                   shared.histogram.transparent() > 0);
    } catch (const std::bad_alloc&) {
        return Status::Fail(msg::kAllocFailed);
    }
    return Status::Ok();
}

} // namespace kesh
