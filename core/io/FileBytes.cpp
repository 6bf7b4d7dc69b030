#include "io/FileBytes.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace kesh {

FileBytes::FileBytes(std::vector<uint8_t> bytes)
    : m_vector(std::move(bytes)), m_data(m_vector.data()), m_size(m_vector.size()) {}

FileBytes FileBytes::Uninitialised(size_t size) {
    FileBytes out;
    out.m_buffer = std::make_unique_for_overwrite<uint8_t[]>(size);
    out.m_data = out.m_buffer.get();
    out.m_size = size;
    return out;
}

FileBytes FileBytes::Mapped(void* address, size_t size) {
    FileBytes out;
    out.m_data = static_cast<uint8_t*>(address);
    out.m_size = size;
    out.m_mapLength = size;
    out.m_mapped = true;
    out.m_guard = MappingGuard(address, size);
    return out;
}

FileBytes::~FileBytes() {
    Free();
}

FileBytes::FileBytes(FileBytes&& other) noexcept {
    *this = std::move(other);
}

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept {
    if (this != &other) {
        Free();
        m_buffer = std::move(other.m_buffer);
        m_vector = std::move(other.m_vector);
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_mapLength = std::exchange(other.m_mapLength, 0);
        m_mapped = std::exchange(other.m_mapped, false);
        m_guard = std::move(other.m_guard);
    }
    return *this;
}

void FileBytes::Free() {
    m_guard = MappingGuard();
    if (m_mapped && m_data)
        ::munmap(m_data, m_mapLength);
    m_buffer.reset();
    m_vector = {};
    m_data = nullptr;
    m_size = 0;
    m_mapLength = 0;
    m_mapped = false;
}

void FileBytes::Shrink(size_t size) {
    if (size < m_size)
        m_size = size;
}

void FileBytes::Release(size_t offset, size_t n) const {
    if (!m_mapped || offset >= m_size)
        return;
    const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<uintptr_t>(m_data) + offset;
    const uintptr_t end = begin + std::min(n, m_size - offset);
    // Only whole pages inside the range: the bytes around it may still be read.
    const uintptr_t first = (begin + page - 1) / page * page;
    const uintptr_t last = end / page * page;
    if (first < last)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
}

} // namespace kesh
