#include "tileset/TileList.h"

#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include "layout/TileFormat.h"

namespace kesh {

namespace {

// The capacity is that of elements of (tile bytes + 16), as tile sets have
// always been limited. A node here is larger than 16 bytes plus pixels
// (64-bit links), so the pool gets elements big enough for the node, rounded
// for alignment, and a budget that gives the same number per block.
constexpr int64_t kCapacityOverhead = 16;

int64_t ElementBytes(int64_t tileSize) {
    const int64_t raw = int64_t(sizeof(TileNode)) + tileSize;
    const int64_t align = alignof(TileNode);
    return (raw + align - 1) / align * align;
}

uint64_t Mix(uint64_t h, uint64_t v) {
    h ^= v;
    h *= 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 32);
}

int BytesForSel(int sel) {
    return BytesForWidthCode(sel);
}

} // namespace

TileList::TileList(TileList&& other) noexcept
    : m_width(std::exchange(other.m_width, 0)), m_height(std::exchange(other.m_height, 0)),
      m_tileSize(std::exchange(other.m_tileSize, 0)), m_count(std::exchange(other.m_count, 0)),
      m_pool(std::move(other.m_pool)), m_head(std::exchange(other.m_head, nullptr)),
      m_nodes(std::move(other.m_nodes)), m_byHash(std::move(other.m_byHash)),
      m_indexed(std::exchange(other.m_indexed, false)) {
    other.m_nodes.clear();
    other.m_byHash.clear();
}

TileList& TileList::operator=(TileList&& other) noexcept {
    if (this != &other) {
        Reset();
        m_width = std::exchange(other.m_width, 0);
        m_height = std::exchange(other.m_height, 0);
        m_tileSize = std::exchange(other.m_tileSize, 0);
        m_count = std::exchange(other.m_count, 0);
        m_pool = std::move(other.m_pool);
        m_head = std::exchange(other.m_head, nullptr);
        m_nodes = std::move(other.m_nodes);
        m_byHash = std::move(other.m_byHash);
        m_indexed = std::exchange(other.m_indexed, false);
        other.m_nodes.clear();
        other.m_byHash.clear();
    }
    return *this;
}

int TileList::Setup(int32_t width, int32_t height) {
    Reset();
    if (width < 0 || height < 0)
        return 0;
    const int64_t tileSize = int64_t(width) * height;
    const int64_t elemBytes = ElementBytes(tileSize);
    if (tileSize + kCapacityOverhead > std::numeric_limits<int32_t>::max() ||
        elemBytes > std::numeric_limits<int32_t>::max())
        return 0;
    const int64_t perBlock = kBlockBudget / (tileSize + kCapacityOverhead);
    const int64_t budget = perBlock * elemBytes;
    if (budget > std::numeric_limits<int32_t>::max())
        return 0;

    std::unique_ptr<NodePool> pool(new (std::nothrow) NodePool);
    if (!pool || !pool->Init(int32_t(elemBytes), int32_t(budget), kBlockCount))
        return 0;
    m_pool = std::move(pool);
    m_width = width;
    m_height = height;
    m_tileSize = int32_t(tileSize);
    return 1;
}

void TileList::Reset() {
    m_nodes.clear();
    m_byHash.clear();
    m_indexed = false;
    m_head = nullptr;
    m_pool.reset();
    m_width = 0;
    m_height = 0;
    m_tileSize = 0;
    m_count = 0;
}

TileNode* TileList::NodeAt(int64_t index) const {
    if (index < 0 || index >= int64_t(m_count))
        return nullptr;
    return m_nodes[size_t(index)];
}

const uint8_t* TileList::PixelsAt(int64_t index) const {
    const TileNode* node = NodeAt(index);
    return node ? node->pixels() : nullptr;
}

uint32_t TileList::AttributeAt(int64_t index) const {
    const TileNode* node = NodeAt(index);
    return node ? node->m_attribute : 0;
}

int TileList::SetAttributeAt(int64_t index, uint32_t attribute) {
    TileNode* node = NodeAt(index);
    if (!node)
        return 0;
    if (node->m_attribute != attribute) {
        unindex(node);
        node->m_attribute = attribute;
        indexNode(node);
    }
    return 1;
}

int TileList::SetPixelsAt(int64_t index, const uint8_t* pixels) {
    TileNode* node = NodeAt(index);
    if (!node || !pixels)
        return 0;
    unindex(node);
    std::memcpy(node->pixels(), pixels, size_t(m_tileSize));
    indexNode(node);
    return 1;
}

int TileList::PixelsEqual(const uint8_t* pixels, int64_t index) const {
    const TileNode* node = NodeAt(index);
    if (!node || !pixels)
        return 0;
    return std::memcmp(node->pixels(), pixels, size_t(m_tileSize)) == 0 ? 1 : 0;
}

int TileList::AddUnique(const uint8_t* pixels, uint32_t attribute) {
    if (!pixels)
        return 0;
    try {
        buildIndex();
    } catch (const std::bad_alloc&) {
        return 0;
    }
    const auto [first, last] = m_byHash.equal_range(hashOf(pixels, attribute));
    for (auto it = first; it != last; ++it) {
        const TileNode* node = it->second;
        if (node->m_attribute == attribute &&
            std::memcmp(node->pixels(), pixels, size_t(m_tileSize)) == 0)
            return 1;
    }
    return Append(pixels, attribute);
}

int TileList::Append(const uint8_t* pixels, uint32_t attribute) {
    if (!pixels)
        return 0;
    TileNode* node = appendNode(attribute);
    if (!node)
        return 0;
    std::memcpy(node->pixels(), pixels, size_t(m_tileSize));
    try {
        indexNode(node);
    } catch (const std::bad_alloc&) {
        // The tile stays; the index is rebuilt whole when next needed.
        m_byHash.clear();
        m_indexed = false;
    }
    return 1;
}

uint8_t* TileList::AppendUnwritten(uint32_t attribute) {
    TileNode* node = appendNode(attribute);
    if (!node)
        return nullptr;
    // Its pixels are not known yet: the index goes, to be rebuilt on demand.
    m_byHash.clear();
    m_indexed = false;
    return node->pixels();
}

TileNode* TileList::appendNode(uint32_t attribute) {
    if (!m_pool)
        return nullptr;
    auto* node = static_cast<TileNode*>(m_pool->Alloc());
    if (!node)
        return nullptr;
    try {
        m_nodes.push_back(node);
    } catch (const std::bad_alloc&) {
        m_pool->Free(node);
        return nullptr;
    }
    TileNode* last = m_count ? m_nodes[m_count - 1] : nullptr;
    node->m_attribute = attribute;
    node->m_prev = last;
    node->m_next = nullptr;
    if (last)
        last->m_next = node;
    else
        m_head = node;
    ++m_count;
    return node;
}

void TileList::reserve(size_t count) {
    m_nodes.reserve(count);
    if (m_indexed)
        m_byHash.reserve(count);
}

int TileList::Delete(int64_t index) {
    TileNode* node = NodeAt(index);
    if (!node)
        return 0;
    unindex(node);
    if (node->m_prev)
        node->m_prev->m_next = node->m_next;
    if (node->m_next)
        node->m_next->m_prev = node->m_prev;
    if (m_head == node)
        m_head = node->m_next;
    m_nodes.erase(m_nodes.begin() + index);
    m_pool->Free(node);
    --m_count;
    return 1;
}

int TileList::WriteSize(ByteWriter& out, int sizeSel) const {
    if (m_count == 0)
        return 0;
    const int bytes = BytesForSel(sizeSel);
    out.writeLE(uint32_t(m_width), bytes);
    out.writeLE(uint32_t(m_height), bytes);
    return 1;
}

int TileList::WriteCount(ByteWriter& out, int sizeSel) const {
    if (m_count == 0)
        return 0;
    out.writeLE(m_count, BytesForSel(sizeSel));
    return 1;
}

int TileList::WritePixels(ByteWriter& out) const {
    if (m_count == 0)
        return 0;
    out.reserve(out.size() + size_t(m_count) * size_t(m_tileSize));
    for (const TileNode* node : m_nodes)
        out.write(node->pixels(), size_t(m_tileSize));
    return 1;
}

int TileList::WriteAttributes(ByteWriter& out, int attrSel) const {
    if (m_count == 0)
        return 0;
    const size_t bytes = size_t(BytesForSel(attrSel));
    // Gathered a piece at a time and written whole, not value by value.
    uint8_t piece[1 << 12];
    size_t used = 0;
    for (const TileNode* node : m_nodes) {
        if (used + bytes > sizeof piece) {
            out.write(piece, used);
            used = 0;
        }
        for (size_t i = 0; i < bytes; ++i)
            piece[used + i] = uint8_t(node->m_attribute >> (8 * i));
        used += bytes;
    }
    out.write(piece, used);
    return 1;
}

int TileList::WritePixelsAndAttributes(ByteWriter& out, int attrSel) const {
    if (m_count == 0)
        return 0;
    const int bytes = BytesForSel(attrSel);
    out.reserve(out.size() + size_t(m_count) * size_t(m_tileSize + bytes));
    for (const TileNode* node : m_nodes) {
        out.write(node->pixels(), size_t(m_tileSize));
        out.writeLE(node->m_attribute, bytes);
    }
    return 1;
}

uint64_t TileList::hashOf(const uint8_t* pixels, uint32_t attribute) const {
    uint64_t h = Mix(0xCBF29CE484222325ull, attribute);
    const size_t n = size_t(m_tileSize);
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t v;
        std::memcpy(&v, pixels + i, 8);
        h = Mix(h, v);
    }
    if (i < n) {
        uint64_t v = 0;
        std::memcpy(&v, pixels + i, n - i);
        h = Mix(h, v);
    }
    return h;
}

int TileList::Insert(int64_t index, const uint8_t* pixels, uint32_t attribute) {
    if (index < 0 || index > int64_t(m_count))
        return 0;
    if (index == int64_t(m_count))
        return Append(pixels, attribute);
    if (!m_pool || !pixels)
        return 0;
    auto* node = static_cast<TileNode*>(m_pool->Alloc());
    if (!node)
        return 0;
    try {
        m_nodes.insert(m_nodes.begin() + index, node);
        if (m_indexed) {
            try {
                m_byHash.emplace(hashOf(pixels, attribute), node);
            } catch (const std::bad_alloc&) {
                m_nodes.erase(m_nodes.begin() + index);
                throw;
            }
        }
    } catch (const std::bad_alloc&) {
        m_pool->Free(node);
        return 0;
    }
    TileNode* next = m_nodes[size_t(index) + 1];
    node->m_attribute = attribute;
    node->m_prev = next->m_prev;
    node->m_next = next;
    std::memcpy(node->pixels(), pixels, size_t(m_tileSize));
    if (next->m_prev)
        next->m_prev->m_next = node;
    else
        m_head = node;
    next->m_prev = node;
    ++m_count;
    return 1;
}

void TileList::indexNode(TileNode* node) {
    if (m_indexed)
        m_byHash.emplace(hashOf(node->pixels(), node->m_attribute), node);
}

void TileList::buildIndex() {
    if (m_indexed)
        return;
    m_byHash.clear();
    m_byHash.reserve(m_nodes.size());
    for (TileNode* node : m_nodes)
        m_byHash.emplace(hashOf(node->pixels(), node->m_attribute), node);
    m_indexed = true;
}

void TileList::unindex(TileNode* node) {
    if (!m_indexed)
        return;
    const auto [first, last] = m_byHash.equal_range(hashOf(node->pixels(), node->m_attribute));
    for (auto it = first; it != last; ++it) {
        if (it->second == node) {
            m_byHash.erase(it);
            return;
        }
    }
}

} // namespace kesh
