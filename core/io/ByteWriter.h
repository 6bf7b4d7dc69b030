#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace kesh {

// Collects the bytes of a file in memory; the file layer writes them out in
// one piece, so a save either completes or leaves the old file alone.
class ByteWriter {
public:
    void write(const void* src, size_t n) {
        const auto* p = static_cast<const uint8_t*>(src);
        m_bytes.insert(m_bytes.end(), p, p + n);
    }
    void write(std::span<const uint8_t> bytes) { write(bytes.data(), bytes.size()); }
    void write(std::string_view text) { write(text.data(), text.size()); }
    void writeU8(uint8_t v) { m_bytes.push_back(v); }
    // Writes the low `bytes` (1, 2 or 4) bytes of value, little-endian.
    void writeLE(uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            m_bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    void writeU16(uint16_t v) { writeLE(v, 2); }
    void writeU32(uint32_t v) { writeLE(v, 4); }
    void reserve(size_t n) { m_bytes.reserve(n); }

    size_t size() const { return m_bytes.size(); }
    const std::vector<uint8_t>& bytes() const { return m_bytes; }
    std::vector<uint8_t>& bytes() { return m_bytes; }
    std::vector<uint8_t> take() { return std::move(m_bytes); }

private:
    std::vector<uint8_t> m_bytes;
};

} // namespace kesh
