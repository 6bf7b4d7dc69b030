#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "doc/Command.h"
#include "layout/TileFormat.h"

namespace kesh {

class TileSet;

// What a tile set looks like apart from its tiles, and how many it has.
struct TileSetState {
    TileFormat format;
    std::array<uint8_t, 40 + 1024> bitmapInfo{};
    int32_t current = 0;
    int32_t count = 0;
    int32_t tileWidth = 0;
    int32_t tileHeight = 0;

    static TileSetState Of(const TileSet& set);
    bool SameLook(const TileSetState& other) const;
};

// A change of the tile set that keeps the tiles it had and may add tiles
// at the end, change the colours, the layout, the header and the current
// tile (adding a tile file, loading a palette, changing the tile layout,
// importing an image). An empty set may also change its tile size. Holds
// the state before and after and the added tiles.
class TileSetCommand : public Command {
public:
    // `before` was taken before the change, which has been applied to `now`.
    TileSetCommand(const TileSetState& before, const TileSet& now, const char* name, bool marksMap);

    // Whether the change from `before` to `now` is one this command can
    // hold: no tile removed, and the size changed only on an empty set.
    static bool Holds(const TileSetState& before, const TileSet& now);
    // Whether anything changed at all.
    static bool Changed(const TileSetState& before, const TileSet& now);

    void Undo(Document& doc) override;
    void Redo(Document& doc) override;
    const char* Name() const override { return m_name; }
    size_t Bytes() const override;
    uint32_t Changes() const override;
    bool MarksMap() const override { return m_marksMap; }

    // Brings `set` to `state`, keeping its first state.count tiles and
    // appending `added` (pixels and attributes of whole tiles).
    static void Apply(TileSet& set, const TileSetState& state, int32_t keep,
                      const std::vector<uint8_t>& pixels, const std::vector<uint32_t>& attributes);

private:
    TileSetState m_before;
    TileSetState m_after;
    std::vector<uint8_t> m_addedPixels;
    std::vector<uint32_t> m_addedAttributes;
    const char* m_name;
    bool m_marksMap;
};

} // namespace kesh
