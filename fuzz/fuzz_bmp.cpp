// BMP images read for their palette: LoadBmp on the whole input.
#include "ImageFuzz.h"
#include "base/Messages.h"

using namespace kesh;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzz::FuzzImageDecoder(LoadBmp, msg::kBmpOnly, data, size);
}
