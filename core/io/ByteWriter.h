#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace kesh {

// Collects the bytes of a file in memory, or, given a sink, passes them on in
// pieces of a fixed size as they are made, so that a large file is never held
// whole (the save streams the files to their temporaries this way).
class ByteWriter {
public:
    // Takes a piece of bytes; false when it could not (a full disk).
    using Sink = std::function<bool(const uint8_t* data, size_t size)>;

    ByteWriter() = default;
    // Passes the bytes to `sink` in pieces of `piece` bytes; large runs go
    // straight from where they are. What is left is passed on by Flush().
    ByteWriter(Sink sink, size_t piece);

    void write(const void* src, size_t n) {
        const auto* p = static_cast<const uint8_t*>(src);
        if (m_sink && m_bytes.size() + n >= m_piece) {
            passOn(p, n);
            return;
        }
        if (m_bytes.capacity() - m_bytes.size() < n)
            grow(n);
        m_bytes.insert(m_bytes.end(), p, p + n);
    }
    void write(std::span<const uint8_t> bytes) { write(bytes.data(), bytes.size()); }
    void write(std::string_view text) { write(text.data(), text.size()); }
    void writeU8(uint8_t v) { write(&v, 1); }
    // Writes the low `bytes` (1, 2 or 4) bytes of value, little-endian, in
    // one piece, so that a writer with a sink holds no more than one piece.
    void writeLE(uint32_t value, int bytes) {
        const uint8_t le[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                               static_cast<uint8_t>(value >> 16),
                               static_cast<uint8_t>(value >> 24)};
        write(le, size_t(std::clamp(bytes, 0, 4)));
    }
    void writeU16(uint16_t v) { writeLE(v, 2); }
    void writeU32(uint32_t v) { writeLE(v, 4); }
    // Makes room for `n` more bytes held in memory; nothing with a sink.
    void reserve(size_t n) {
        if (!m_sink)
            m_bytes.reserve(n);
    }

    // Bytes written so far (passed on or held).
    size_t size() const { return m_passed + m_bytes.size(); }
    // The bytes held in memory: all of them without a sink.
    const std::vector<uint8_t>& bytes() const { return m_bytes; }
    std::vector<uint8_t>& bytes() { return m_bytes; }
    std::vector<uint8_t> take() { return std::move(m_bytes); }

    // Passes on the bytes held; false when the sink refused any piece so far
    // (everything after that is dropped).
    bool Flush();

private:
    // Makes room for `n` more bytes: at least doubles, and starts at a few
    // hundred bytes, so that a file written in small values is not copied
    // again and again while it is short.
    void grow(size_t n);
    void passOn(const uint8_t* p, size_t n);
    void give(const uint8_t* p, size_t n);

    std::vector<uint8_t> m_bytes;
    Sink m_sink;
    size_t m_piece = 0;
    size_t m_passed = 0;
    bool m_failed = false;
};

} // namespace kesh
