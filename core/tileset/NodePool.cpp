#include "tileset/NodePool.h"

#include <cstring>
#include <new>

namespace kesh {

int NodePool::Init(int32_t elemSize, int32_t blockBudget, int32_t blockCount) {
    Destroy();
    // A zero or negative element size would divide by zero below.
    if (elemSize <= 0 || blockBudget < 0 || blockCount < 0)
        return 0;
    m_blocks.reset(new (std::nothrow) Block[static_cast<size_t>(blockCount)]);
    if (!m_blocks)
        return 0;
    m_elemSize = elemSize;
    m_elemsPerBlock = blockBudget / elemSize;
    m_blockSize = m_elemSize * m_elemsPerBlock;
    m_blockCount = blockCount;
    return 1;
}

bool NodePool::fillBlock(Block& block) {
    block.m_memory.reset(new (std::nothrow) uint8_t[static_cast<size_t>(m_blockSize)]);
    block.m_used.reset(new (std::nothrow) uint8_t[static_cast<size_t>(m_elemsPerBlock)]);
    if (!block.m_memory || !block.m_used) {
        block.m_memory.reset();
        block.m_used.reset();
        return false;
    }
    std::memset(block.m_used.get(), 0, static_cast<size_t>(m_elemsPerBlock));
    block.m_lowestFree = 0;
    block.m_usedCount = 0;
    return true;
}

void* NodePool::Alloc() {
    for (int32_t i = 0; i < m_blockCount; ++i) {
        Block& block = m_blocks[i];
        if (!block.m_memory && !fillBlock(block))
            return nullptr;
        if (block.m_usedCount == m_elemsPerBlock)
            continue;
        for (int32_t j = block.m_lowestFree; j < m_elemsPerBlock; ++j) {
            if (block.m_used[j] == 0) {
                block.m_used[j] = 1;
                block.m_lowestFree = j + 1;
                ++block.m_usedCount;
                return block.m_memory.get() + int64_t(j) * m_elemSize;
            }
        }
    }
    return nullptr;
}

void NodePool::Free(void* elem) {
    if (!elem)
        return;
    const auto addr = reinterpret_cast<uintptr_t>(elem);
    for (int32_t i = 0; i < m_blockCount; ++i) {
        Block& block = m_blocks[i];
        if (!block.m_memory)
            return; // blocks are filled in order: none after this one
        const auto start = reinterpret_cast<uintptr_t>(block.m_memory.get());
        if (addr < start || addr - start >= uintptr_t(m_blockSize))
            continue;
        const uintptr_t offset = addr - start;
        if (offset % uintptr_t(m_elemSize) != 0)
            return; // inside a slot, not at its start
        const auto j = static_cast<int32_t>(offset / uintptr_t(m_elemSize));
        if (block.m_used[j]) {
            block.m_used[j] = 0;
            --block.m_usedCount;
        }
        if (j < block.m_lowestFree)
            block.m_lowestFree = j;
        return;
    }
}

void NodePool::Destroy() {
    m_blocks.reset();
    m_elemSize = 0;
    m_elemsPerBlock = 0;
    m_blockSize = 0;
    m_blockCount = 0;
}

} // namespace kesh
