#include "io/ByteReader.h"

#include <cstring>

namespace kesh {

bool ByteReader::seek(uint64_t pos) {
    if (pos > m_bytes.size())
        return false;
    m_pos = static_cast<size_t>(pos);
    return true;
}

bool ByteReader::skip(uint64_t n) {
    if (n > remaining())
        return false;
    m_pos += static_cast<size_t>(n);
    return true;
}

bool ByteReader::read(void* dst, uint64_t n) {
    if (n > remaining())
        return false;
    if (n > 0)
        std::memcpy(dst, m_bytes.data() + m_pos, static_cast<size_t>(n));
    m_pos += static_cast<size_t>(n);
    return true;
}

bool ByteReader::readU8(uint8_t& value) {
    return read(&value, 1);
}

bool ByteReader::readLE(int bytes, int32_t& value) {
    if (bytes != 1 && bytes != 2 && bytes != 4)
        return false;
    uint8_t b[4] = {};
    if (!read(b, static_cast<uint64_t>(bytes)))
        return false;
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b[i];
    value = static_cast<int32_t>(v);
    return true;
}

bool ByteReader::readU16(uint16_t& value) {
    int32_t v = 0;
    if (!readLE(2, v))
        return false;
    value = static_cast<uint16_t>(v);
    return true;
}

bool ByteReader::readU32(uint32_t& value) {
    int32_t v = 0;
    if (!readLE(4, v))
        return false;
    value = static_cast<uint32_t>(v);
    return true;
}

std::span<const uint8_t> ByteReader::peek(uint64_t n) const {
    if (n > remaining())
        return {};
    return m_bytes.subspan(m_pos, static_cast<size_t>(n));
}

} // namespace kesh
