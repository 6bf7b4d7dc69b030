#pragma once

#include <cstdint>

namespace kesh {

// The largest images the decoders accept: 16384 x 16384 is far beyond any
// palette image, and a few hundred bytes of header must not make us fill
// gigabytes. A fuzzing build (KESH_FUZZ_LIMITS) lowers it so that every
// input stays cheap to run; the program's own limit never changes.
// The largest map grid, in cells: 268,435,456 of them (16384 x 16384) are
// 512 MiB of word cells. Lowered the same way for fuzzing.
// The bytes of one block of a tile list's pool; ten blocks hold its tiles,
// so this also caps a tile's size and how many a set holds. Lowered for
// fuzzing too: under AddressSanitizer a block of 320 KiB is mapped and
// unmapped by the system for every input.
#ifdef KESH_FUZZ_LIMITS
inline constexpr int64_t kMaxImagePixels = int64_t(1) << 16;
inline constexpr int64_t kMaxMapCells = int64_t(1) << 16;
inline constexpr int32_t kTileBlockBytes = 0x8000;
#else
inline constexpr int64_t kMaxImagePixels = int64_t(1) << 28;
inline constexpr int64_t kMaxMapCells = 268435456;
inline constexpr int32_t kTileBlockBytes = 0x50000;
#endif

// The largest files read whole, by kind, each derived from the largest valid
// file of that kind; a larger one is refused before a byte of it is read.
// A descriptor (.kmf, .ktf, a layout): 127 items and a 255-byte header.
inline constexpr uint64_t kMaxDescriptorBytes = uint64_t(64) << 10;
// A tile file: its pool of ten blocks four times over (pixels, attributes
// and palettes repeated by a layout that names them again), and a header.
inline constexpr uint64_t kMaxTileFileBytes = uint64_t(40) * kTileBlockBytes + (uint64_t(1) << 20);
// A map: its largest grid of word cells, an embedded tile file and a header.
inline constexpr uint64_t kMaxMapFileBytes =
    uint64_t(kMaxMapCells) * 2 + kMaxTileFileBytes + (uint64_t(64) << 10);
// An image or palette file: the largest image as 32-bit pixels stored
// uncompressed, and room for its other chunks.
inline constexpr uint64_t kMaxImageFileBytes = uint64_t(kMaxImagePixels) * 4 + (uint64_t(64) << 20);
// A Tiled map: its largest grid as XML, a tile element of up to 32 bytes a
// cell, and room for its tile sets; an external tile set (.tsx): a property
// of a hundred bytes or so for each of 65,536 tiles, many times over.
inline constexpr uint64_t kMaxTmxBytes = uint64_t(kMaxMapCells) * 32 + (uint64_t(64) << 20);
inline constexpr uint64_t kMaxTsxBytes = uint64_t(64) << 20;

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
