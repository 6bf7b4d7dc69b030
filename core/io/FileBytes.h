#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "io/MappingGuard.h"

namespace kesh {

// The bytes of a whole file, held without first filling memory: read into a
// buffer of the file's size, mapped from the page cache, or taken over from a
// vector. Move-only.
class FileBytes {
public:
    FileBytes() = default;
    explicit FileBytes(std::vector<uint8_t> bytes);
    // A buffer of `size` bytes that the caller fills through data().
    static FileBytes Uninitialised(size_t size);
    // The pages [address, address + size) of a private read-only mapping,
    // unmapped with it. Reads past the end of a file that shrinks meanwhile
    // give zeros and set cutShort(); when no guard was free for the mapping
    // (guarded() is false) the caller should read the file instead.
    static FileBytes Mapped(void* address, size_t size);
    ~FileBytes();
    FileBytes(FileBytes&& other) noexcept;
    FileBytes& operator=(FileBytes&& other) noexcept;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    const uint8_t* data() const { return m_data; }
    uint8_t* data() { return m_data; }
    size_t size() const { return m_size; }
    std::span<const uint8_t> span() const { return {m_data, m_size}; }
    operator std::span<const uint8_t>() const { return span(); }
    bool mapped() const { return m_mapped; }
    bool guarded() const { return m_guard.armed(); }
    // True when the mapped file turned out shorter than it was while being
    // read: the bytes are not the file's and must be refused as damaged.
    bool cutShort() const { return m_guard.tripped(); }

    // Keeps only the first `size` bytes (a file that ended early).
    void Shrink(size_t size);
    // Tells the system that bytes [offset, offset + n) will not be read
    // again, so a mapped file's pages there stop counting as the program's
    // memory; they stay readable (from the file). Nothing happens otherwise.
    void Release(size_t offset, size_t n) const;

private:
    void Free();

    std::unique_ptr<uint8_t[]> m_buffer;
    std::vector<uint8_t> m_vector;
    uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_mapLength = 0;
    bool m_mapped = false;
    MappingGuard m_guard;
};

} // namespace kesh
