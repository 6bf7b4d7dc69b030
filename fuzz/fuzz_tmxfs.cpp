// Tiled maps as kesh-cli and the editor import them: the .tmx read from a file
// system (in memory, see TmxFilesInput.h), its tile sets and images through
// the folder loader, so that links, FIFOs, sizes and one image named by many
// tile sets are fuzzed too.
#include "FuzzSupport.h"
#include "TmxImportChecks.h"
#include "TmxFilesInput.h"
#include "io/InputLimits.h"
#include "tmx/TmxImport.h"

using namespace kesh;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    test::MemoryFileSystem fs;
    fuzz::PlaceTmxFiles(data, size, fs);
    const auto tmx = fs.readFile(std::string(fuzz::kTmxFilesMap), kMaxTmxBytes);
    FUZZ_CHECK(tmx);
    FolderLoader loader(fs, std::string(fuzz::kTmxFilesFolder));
    TmxImportOptions options;
    options.takePalette = size % 2 == 1;
    options.nearest = size % 4 >= 2;
    const TmxImportResult r = ImportTmx(*tmx, loader, options);
    fuzz::CheckTmxImport(r);
    return 0;
}
