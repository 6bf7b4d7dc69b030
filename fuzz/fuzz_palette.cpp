// GIMP and JASC palette files: LoadPaletteFile on the whole input.
#include <string>

#include "FuzzSupport.h"
#include "base/Messages.h"
#include "image/PaletteFile.h"

using namespace kesh;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Palette palette;
    palette.rgb[7] = 33;
    const Palette before = palette;
    const Status status = LoadPaletteFile(std::span<const uint8_t>(data, size), palette);
    if (!status) {
        FUZZ_CHECK(status.message().starts_with(msg::kPaletteFileBadLine));
        FUZZ_CHECK(palette == before);
        return 0;
    }
    for (const uint8_t component : palette.rgb)
        FUZZ_CHECK(component <= 63);
    return 0;
}
