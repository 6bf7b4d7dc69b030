#pragma once

#include <cstddef>

namespace kesh {

// Makes reading a memory-mapped file safe when another program shortens the
// file meanwhile. A read past the file's new end raises SIGBUS; for a guarded
// mapping the handler puts a page of zeros in its place and marks the guard,
// so the reader goes on, and the caller then refuses the bytes as damaged
// instead of the program dying. Faults elsewhere reach the handler that was
// there before.
class MappingGuard {
public:
    MappingGuard() = default;
    // Guards [address, address + size); a guard that found no free slot
    // (armed() is false) protects nothing and the caller should not map.
    MappingGuard(const void* address, size_t size);
    ~MappingGuard();
    MappingGuard(MappingGuard&& other) noexcept;
    MappingGuard& operator=(MappingGuard&& other) noexcept;
    MappingGuard(const MappingGuard&) = delete;
    MappingGuard& operator=(const MappingGuard&) = delete;

    bool armed() const { return m_slot >= 0; }
    // True once a read of the mapping found the file shorter than mapped.
    bool tripped() const;

private:
    void Disarm();

    int m_slot = -1;
};

} // namespace kesh
