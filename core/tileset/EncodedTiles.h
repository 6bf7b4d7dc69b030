#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/Status.h"
#include "io/ByteWriter.h"
#include "raster/PixelEncoding.h"
#include "tileset/TileList.h"

namespace kesh {

// A tile file's pixel item in one of the consoles' encodings: every tile of
// the list, one after another, each encoded as PixelEncoding.h describes.

// Bytes `count` tiles of `width` x `height` take in `encoding`.
uint64_t EncodedTilesBytes(PixelEncoding encoding, int32_t width, int32_t height, int64_t count);

// Writes every tile of `tiles`. Before writing anything it checks the tile
// size and every pixel, and refuses with a Korean message naming the first
// tile (numbered from 0, as the tile view numbers them), the pixel and its
// value when a pixel is too large for the encoding: it never masks one.
Status WriteEncodedTiles(const TileList& tiles, PixelEncoding encoding, ByteWriter& out);

// The check WriteEncodedTiles makes before writing, with the same messages.
Status CheckEncodedTiles(const TileList& tiles, PixelEncoding encoding);

// The largest pixel of each tile, in list order.
std::vector<uint8_t> LargestPixelPerTile(const TileList& tiles);


// Appends `count` tiles decoded from the start of `bytes`, attribute 0.
// Fails, leaving the list as it was, when `bytes` is too short
// (msg::kDamagedFile), the list cannot hold them (msg::kTileSetFull) or the
// list's tile size does not suit the encoding.
Status ReadEncodedTiles(std::span<const uint8_t> bytes, PixelEncoding encoding, int64_t count,
                        TileList& tiles);

} // namespace kesh
