#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "base/Status.h"
#include "io/InputLimits.h"
#include "raster/ImageDecoders.h"
#include "tmx/TmxLoader.h"

namespace kesh {

// The tile set images of one TMX import. Each file is read and decoded once,
// however many tile sets name it and however they spell its path (keyed by
// the loader's identity of the file), and all of them together stay within
// one pixel budget, that of a single image: many large sheets cannot make an
// import cost more than its largest valid image.
class TmxImages {
public:
    explicit TmxImages(TmxLoader& loader, int64_t budget = kMaxImagePixels)
        : m_loader(loader), m_budget(budget) {}

    // The decoded image at `path` (as the map names it), valid as long as
    // this object. Fails naming the path when it cannot be read or decoded,
    // or when it would take the images past the budget.
    Status Get(const std::string& path, const Image*& image);
    // How many images were decoded.
    int decoded() const { return int(m_images.size()); }

private:
    TmxLoader& m_loader;
    int64_t m_budget;
    int64_t m_used = 0;
    std::map<std::string, std::unique_ptr<Image>> m_images;
};

} // namespace kesh
