// Tiled maps as imported: ImportTmx on the .tmx with its tile sets and images
// served from the input (see TmxFuzzInput.h).
#include "FuzzSupport.h"
#include "TmxFuzzInput.h"
#include "map/MapModel.h"
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
    if (!r.status) {
        FUZZ_CHECK(!r.status.message().empty());
        FUZZ_CHECK(r.cells.empty() && r.tiles.count() == 0 && r.warnings.empty());
        return 0;
    }
    FUZZ_CHECK(MapModel::IsValidSize(r.width, r.height));
    FUZZ_CHECK(r.cells.size() == size_t(r.width) * size_t(r.height));
    for (const uint16_t cell : r.cells)
        FUZZ_CHECK(cell == kEmptyCell || cell < r.tiles.count());
    return 0;
}
