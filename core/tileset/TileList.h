#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "io/ByteWriter.h"
#include "io/InputLimits.h"
#include "tileset/NodePool.h"

namespace kesh {

// One tile, laid out in one pool element: the attribute word, the links,
// then width x height pixel bytes (rows top first, no padding).
struct TileNode {
    uint32_t m_attribute;
    TileNode* m_prev;
    TileNode* m_next;

    uint8_t* pixels() { return reinterpret_cast<uint8_t*>(this + 1); }
    const uint8_t* pixels() const { return reinterpret_cast<const uint8_t*>(this + 1); }
};

// The tile set in memory: an ordered list of tiles of one size. A tile's
// number is its position, from 0. Nodes come from a NodePool, which sets the
// capacity (10 x floor(327,680 / (w x h + 16)) tiles). An index beside the
// list makes lookup by number O(1) and AddUnique find a duplicate by hash.
class TileList {
public:
    static constexpr int32_t kBlockBudget = kTileBlockBytes; // 0x50000
    static constexpr int32_t kBlockCount = 10;

    TileList() = default;
    ~TileList() { Reset(); }
    TileList(const TileList&) = delete;
    TileList& operator=(const TileList&) = delete;
    TileList(TileList&& other) noexcept;
    TileList& operator=(TileList&& other) noexcept;

    // Empties the list and sets the tile size; 1 on success, 0 when the pool
    // could not be made (the list is then 0 x 0 and every Append fails).
    int Setup(int32_t width, int32_t height);
    // Drops every tile and the pool; size becomes 0 x 0.
    void Reset();

    TileNode* NodeAt(int64_t index) const;
    // The tile's pixels, or nullptr when there is no such tile.
    const uint8_t* PixelsAt(int64_t index) const;
    // The tile's attribute word, or 0 when there is no such tile.
    uint32_t AttributeAt(int64_t index) const;
    // Sets the attribute word of an existing tile; 0 when there is no such tile.
    int SetAttributeAt(int64_t index, uint32_t attribute);
    // Gives an existing tile new pixels (tileSize() bytes), keeping the
    // index AddUnique looks in right; 0 when there is no such tile.
    int SetPixelsAt(int64_t index, const uint8_t* pixels);
    // 1 when tile `index` exists and its pixels equal `pixels` byte for byte.
    int PixelsEqual(const uint8_t* pixels, int64_t index) const;
    // Adds the tile unless one with the same pixels and attribute exists;
    // 1 when it is there afterwards, 0 when the pool is full.
    int AddUnique(const uint8_t* pixels, uint32_t attribute);
    // Adds the tile at the end; 0 when the pool is full (list unchanged).
    int Append(const uint8_t* pixels, uint32_t attribute);
    // Adds a tile at the end and gives its pixels (tileSize() bytes) for the
    // caller to write before anything else uses the list, so that a reader
    // decodes straight into the tile; nullptr when the pool is full.
    uint8_t* AppendUnwritten(uint32_t attribute);
    // Makes room in the index for `count` tiles in all, so that adding that
    // many does not grow it step by step. May throw std::bad_alloc.
    void reserve(size_t count);
    // Removes tile `index`; later tiles move down one number. 0 when no such tile.
    int Delete(int64_t index);
    // Puts a tile in at number `index` (0 ... count), later tiles moving up one
    // number; the way back from Delete. 0 when the pool is full or `index` is
    // out of range (list unchanged).
    int Insert(int64_t index, const uint8_t* pixels, uint32_t attribute);

    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    int32_t tileSize() const { return m_tileSize; }
    uint32_t count() const { return m_count; }
    // Tiles the pool can hold at this size.
    int64_t capacity() const { return m_pool ? m_pool->capacity() : 0; }

    // Writers used by the tile file. `sizeSel` is 0, 1 or 2 for 1, 2 or 4 bytes;
    // for attributes any other selector writes no attribute bytes. Each
    // returns 0 without writing when the list is empty, else 1.
    int WriteSize(ByteWriter& out, int sizeSel) const;
    int WriteCount(ByteWriter& out, int sizeSel) const;
    int WritePixels(ByteWriter& out) const;
    int WriteAttributes(ByteWriter& out, int attrSel) const;
    int WritePixelsAndAttributes(ByteWriter& out, int attrSel) const;

private:
    uint64_t hashOf(const uint8_t* pixels, uint32_t attribute) const;
    TileNode* appendNode(uint32_t attribute);
    // The index of tiles by content, kept only once AddUnique has needed it:
    // a file read appends thousands of tiles that may never be looked up.
    void indexNode(TileNode* node);
    void unindex(TileNode* node);
    // Builds the index when it is not kept yet. May throw std::bad_alloc.
    void buildIndex();

    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_tileSize = 0;
    uint32_t m_count = 0;
    std::unique_ptr<NodePool> m_pool;
    TileNode* m_head = nullptr;

    // m_nodes[i] is tile i; m_byHash maps a hash of (pixels, attribute) to tiles.
    std::vector<TileNode*> m_nodes;
    std::unordered_multimap<uint64_t, TileNode*> m_byHash;
    bool m_indexed = false; // m_byHash holds every tile
};

} // namespace kesh
