#include "io/ByteWriter.h"

#include <algorithm>

namespace kesh {

ByteWriter::ByteWriter(Sink sink, size_t piece) : m_sink(std::move(sink)), m_piece(piece) {
    m_bytes.reserve(m_piece);
}

void ByteWriter::grow(size_t n) {
    constexpr size_t kFirstCapacity = 256;
    m_bytes.reserve(std::max({m_bytes.size() + n, 2 * m_bytes.capacity(), kFirstCapacity}));
}

void ByteWriter::passOn(const uint8_t* p, size_t n) {
    // Fill the piece held and pass it on, then whole pieces straight from `p`.
    if (!m_bytes.empty()) {
        const size_t room = m_bytes.size() < m_piece ? m_piece - m_bytes.size() : 0;
        const size_t take = std::min(room, n);
        m_bytes.insert(m_bytes.end(), p, p + take);
        p += take;
        n -= take;
        Flush();
    }
    for (; n >= m_piece; p += m_piece, n -= m_piece)
        give(p, m_piece);
    m_bytes.insert(m_bytes.end(), p, p + n);
}

void ByteWriter::give(const uint8_t* p, size_t n) {
    if (!m_failed && n > 0)
        m_failed = !m_sink(p, n);
    m_passed += n;
}

bool ByteWriter::Flush() {
    if (m_sink) {
        give(m_bytes.data(), m_bytes.size());
        m_bytes.clear();
    }
    return !m_failed;
}

} // namespace kesh
