#pragma once

#include <cstdint>

namespace kesh {

// The largest images the decoders accept: 16384 x 16384 is far beyond any
// palette image, and a few hundred bytes of header must not make us fill
// gigabytes. A fuzzing build (KESH_FUZZ_LIMITS) lowers it so that every
// input stays cheap to run; the program's own limit never changes.
#ifdef KESH_FUZZ_LIMITS
inline constexpr int64_t kMaxImagePixels = int64_t(1) << 16;
#else
inline constexpr int64_t kMaxImagePixels = int64_t(1) << 28;
#endif

// PNG chunks other than the image data: how many ancillary ones are kept and
// how large one may be. Pictures carry a few small ones (text, colour
// profile); more is a damaged or hostile file.
#ifdef KESH_FUZZ_LIMITS
inline constexpr uint32_t kMaxPngAncillaryChunks = 16;
inline constexpr uint32_t kMaxPngChunkBytes = 64 * 1024;
#else
inline constexpr uint32_t kMaxPngAncillaryChunks = 1000;
inline constexpr uint32_t kMaxPngChunkBytes = 8 * 1024 * 1024;
#endif

} // namespace kesh
