// Tiled maps as imported: ImportTmx on the .tmx with its tile sets and images
// served from the input (see TmxFuzzInput.h).
#include "FuzzSupport.h"
#include "TmxImportChecks.h"
#include "TmxFuzzInput.h"
#include "tmx/TmxImport.h"

using namespace kesh;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    test::MemoryLoader loader;
    const std::string_view tmx = fuzz::SplitTmxInput(data, size, loader);
    TmxImportOptions options;
    options.dropFlips = size % 2 == 1;
    options.nearest = size % 4 >= 2;
    options.takePalette = size % 8 >= 4;
    const TmxImportResult r = ImportTmx(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(tmx.data()), tmx.size()), loader,
        options);
    fuzz::CheckTmxImport(r);
    return 0;
}
