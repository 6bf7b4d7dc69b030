#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Status.h"
#include "raster/ColourHistogram.h"
#include "raster/ColourQuantizer.h"
#include "raster/ImageDecoders.h"
#include "raster/Palette.h"

namespace kesh {

class ImageSource;

// How a picture's own palette is built: `colours` entries at most (2 to 256),
// and whether each pixel's error is spread to its neighbours.
struct QuantizeOptions {
    int colours = 256;
    bool dither = false;
};

// A palette built for several pictures together (a Tiled map's tile sheets):
// the colours of all of them, and the entries chosen.
struct SharedColours {
    ColourHistogram histogram;
    QuantizedColours colours;
};

// What the summary tells of a built palette.
struct QuantizeReport {
    int colours = 0;         // entries given to the pixels' colours
    bool exact = false;      // the picture had no more colours than that
    double squaredError = 0; // over every channel of the opaque pixels, as shown
    int64_t pixels = 0;      // opaque pixels
    // The peak signal-to-noise ratio, dB; infinite without error.
    double Psnr() const;
    // "PSNR 41.27 dB" or "PSNR 무한대 (오차 없음)".
    std::string PsnrText() const;
    void Add(const QuantizeReport& other);
};

// Every pixel of `image` as red, green, blue and alpha (empty when the
// picture has no transparency): true colour as it is, palette and grey
// pictures through their colours.
Status TrueColourOf(ImageSource& source, std::vector<uint8_t>& rgb, std::vector<uint8_t>& alpha);

// The picture's pixels as indices of a palette built from its colours (or
// onto `shared`, built beforehand): transparent pixels take index 0, which
// is then kept for them. `palette` gets the entries.
Status QuantizeImage(ImageSource& source, const QuantizeOptions& options,
                     const SharedColours* shared, std::vector<uint8_t>& indices, Palette& palette,
                     QuantizeReport& report);

// Builds the palette of `options.colours` entries for every picture of
// `images` together, into `shared` (fresh).
Status ShareColours(const std::vector<const Image*>& images, const QuantizeOptions& options,
                    SharedColours& shared);

} // namespace kesh
