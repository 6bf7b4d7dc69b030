#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kesh {

// Bounds-checked little-endian reading from bytes in memory. Every read
// reports whether the bytes were there; nothing ever reads past the end.
class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

    size_t size() const { return m_bytes.size(); }
    size_t pos() const { return m_pos; }
    size_t remaining() const { return m_bytes.size() - m_pos; }
    bool atEnd() const { return m_pos == m_bytes.size(); }

    // Moves to an absolute position; false (position unchanged) past the end.
    bool seek(uint64_t pos);
    // Skips n bytes; false (position unchanged) when fewer remain.
    bool skip(uint64_t n);
    // Copies n bytes; false (nothing copied, position unchanged) when fewer remain.
    bool read(void* dst, uint64_t n);
    bool readU8(uint8_t& value);
    // Reads a value stored in `bytes` (1, 2 or 4) little-endian bytes:
    // 1 and 2 bytes zero-extend, 4 bytes give the signed 32-bit value.
    bool readLE(int bytes, int32_t& value);
    bool readU16(uint16_t& value);
    bool readU32(uint32_t& value);
    // A view of the next n bytes without moving; empty when fewer remain.
    std::span<const uint8_t> peek(uint64_t n) const;

private:
    std::span<const uint8_t> m_bytes;
    size_t m_pos = 0;
};

} // namespace kesh
