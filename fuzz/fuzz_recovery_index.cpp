// Recovery copy indexes (.idx): ParseIndex on the whole input, and what it
// reads written again and read back the same.
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "app/RecoveryStore.h"
#include "layout/TileFormat.h"

using namespace kesh;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    RecoveryEntry entry{"slot", "", 0, 0};
    bool hasTiles = false;
    std::vector<uint8_t> layout;
    if (!RecoveryStore::ParseIndex(text, entry, hasTiles, &layout))
        return 0;
    FUZZ_CHECK(entry.slot == "slot");
    FUZZ_CHECK(layout.size() <= size_t(kMaxLayoutItems));
    FUZZ_CHECK(layout.empty() || !hasTiles);
    RecoveryEntry back{"slot", "", 0, 0};
    bool backTiles = !hasTiles;
    std::vector<uint8_t> backLayout;
    FUZZ_CHECK(RecoveryStore::ParseIndex(RecoveryStore::IndexText(entry, hasTiles, layout), back,
                                         backTiles, &backLayout));
    FUZZ_CHECK(back == entry);
    FUZZ_CHECK(backTiles == hasTiles);
    FUZZ_CHECK(backLayout == layout);
    return 0;
}
