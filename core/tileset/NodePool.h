#pragma once

#include <cstdint>
#include <memory>

namespace kesh {

// Hands out equal-sized elements from at most `blockCount` large blocks,
// first fit over blocks in order, lowest slot first. Element bytes are never
// cleared; an element's address is stable until it is freed.
class NodePool {
public:
    NodePool() = default;
    ~NodePool() { Destroy(); }
    NodePool(const NodePool&) = delete;
    NodePool& operator=(const NodePool&) = delete;

    // Sets the sizes and allocates the (empty) block table. On failure every
    // field is 0 and the pool hands out nothing. Returns 1 on success, 0 on failure.
    int Init(int32_t elemSize, int32_t blockBudget, int32_t blockCount);
    // One element, or nullptr when every block is full (or memory ran out).
    void* Alloc();
    // Marks the element's slot free; an address that is not a slot start is ignored.
    void Free(void* elem);
    // Releases every block; all fields become 0. Safe after a failed Init.
    void Destroy();

    int32_t elemSize() const { return m_elemSize; }
    int32_t elemsPerBlock() const { return m_elemsPerBlock; }
    int32_t blockSize() const { return m_blockSize; }
    int32_t blockCount() const { return m_blockCount; }
    // Total elements the pool can hand out: elemsPerBlock x blockCount.
    int64_t capacity() const { return int64_t(m_elemsPerBlock) * m_blockCount; }

private:
    struct Block {
        std::unique_ptr<uint8_t[]> m_memory;
        std::unique_ptr<uint8_t[]> m_used;
        // No slot below m_lowestFree is free; m_usedCount slots are in use.
        // They only shorten the first-fit scan, never change its outcome.
        int32_t m_lowestFree = 0;
        int32_t m_usedCount = 0;
    };

    bool fillBlock(Block& block);

    int32_t m_elemSize = 0;
    int32_t m_elemsPerBlock = 0;
    int32_t m_blockSize = 0;
    int32_t m_blockCount = 0;
    std::unique_ptr<Block[]> m_blocks;
};

} // namespace kesh
