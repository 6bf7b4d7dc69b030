// Terrain set files (.kterrain): ReadTerrainFile on the whole input. A set
// read must be written back and read again to the same set; a refusal
// leaves the set as it was and says why.
#include <string>

#include "FuzzSupport.h"
#include "terrain/TerrainFile.h"

using namespace kesh;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TerrainSet set;
    set.terrains = {"앞"};
    const TerrainSet before = set;
    const Status status = ReadTerrainFile(std::span<const uint8_t>(data, size), set);
    if (!status) {
        FUZZ_CHECK(!status.message().empty());
        FUZZ_CHECK(set == before);
        return 0;
    }
    FUZZ_CHECK(set.Check().ok());
    const std::string text = WriteTerrainFile(set);
    TerrainSet again;
    FUZZ_CHECK(ReadTerrainFile(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
        again));
    FUZZ_CHECK(again == set);
    return 0;
}
