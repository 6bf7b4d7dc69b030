#pragma once

#include <cstdint>
#include <span>

#include "base/Status.h"
#include "layout/Descriptor.h"
#include "tileset/TileSet.h"

namespace kesh {

struct AddTileFileResult {
    // Failure: the tile set is exactly as it was; show the message.
    Status status = Status::Ok();
    // Tiles appended to the set (identical tiles are not added again).
    int added = 0;
    // The set filled up: the tiles that fitted were added, the rest were not.
    // Tell the user msg::kTileSetFull.
    bool setFull = false;
    // A file of another tile size: its size, for a caller that names both.
    int32_t fileWidth = 0;
    int32_t fileHeight = 0;
};

// Adds the tiles of a tile file to `set`, after the tiles already there, each
// unless an identical tile (same pixels and attribute) is in the set. The file
// is read with `layout` (its .ktf, or the layout set by hand); `width` and
// `height` are the tile size set by hand, -1 when the file itself gives it.
// A file whose tile size differs from the set's fails with
// "타일의 크기가 일치하지 않습니다."; a file that can't be read fails with its
// message. On success the file's palette, if it has one, becomes the set's,
// and its header string, if the layout has one, replaces the set's. The set's
// item list, tile size and AttrWidth stay as they were.
AddTileFileResult AddTileFile(TileSet& set, std::span<const uint8_t> file,
                              const TileDescriptor& layout, int32_t width = -1,
                              int32_t height = -1);

} // namespace kesh
