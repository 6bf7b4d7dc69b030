#include "image/PaletteSource.h"

#include <cstring>

#include "base/Messages.h"
#include "image/ImageSource.h"
#include "image/PaletteFile.h"
#include "raster/ImageDecoders.h"

namespace kesh {

namespace {

Status Naming(const Status& st, const std::string& path) {
    return st ? st : Status::Fail(st.message() + "\n" + path);
}

} // namespace

Status ReadPaletteSource(const std::string& path, const ReadResult<std::vector<uint8_t>>& bytes,
                         Palette& palette) {
    const ImageKind kind = ImageKindOf(path);
    if (kind != ImageKind::Other) {
        // A file that cannot be opened is refused like one that is not an image.
        const char* refusal = kind == ImageKind::Pcx ? msg::kPcxOnly : msg::kBmpOnly;
        if (!bytes)
            return bytes.Refusal(Naming(Status::Fail(refusal), path));
        Image image;
        const Status st = kind == ImageKind::Pcx ? LoadPcx(*bytes, image) : LoadBmp(*bytes, image);
        if (st)
            palette = image.m_palette;
        return Naming(st, path);
    }
    if (!bytes)
        return bytes.status();
    if (IsPaletteFile(*bytes))
        return Naming(LoadPaletteFile(*bytes, palette), path);
    static constexpr uint8_t kPngSignature[4] = {0x89, 'P', 'N', 'G'};
    if (bytes->size() >= 4 && std::memcmp(bytes->data(), kPngSignature, 4) == 0) {
        Image image;
        Status st = LoadPng(*bytes, image);
        if (st && !image.hasPalette())
            st = Status::Fail(msg::kPngNoPalette);
        if (st)
            palette = image.m_palette;
        return Naming(st, path);
    }
    return Naming(Status::Fail(msg::kPaletteTypeUnsupported), path);
}

Status BuildPaletteFromPicture(const std::string& path,
                               const ReadResult<std::vector<uint8_t>>& bytes,
                               const QuantizeOptions& options, Palette& palette,
                               QuantizeReport& report) {
    if (!bytes)
        return bytes.status();
    ImageSource source;
    if (Status st = source.Open(*bytes); !st)
        return Naming(st, path);
    std::vector<uint8_t> indices;
    Palette built;
    if (Status st = QuantizeImage(source, options, nullptr, indices, built, report); !st)
        return Naming(st, path);
    palette = built;
    return Status::Ok();
}

} // namespace kesh
