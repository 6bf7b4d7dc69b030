#include "tmx/TmxLayerData.h"

#include <pugixml.hpp>
#include <zlib.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "tmx/Base64.h"
#include "tmx/TmxMessages.h"

namespace kesh {

namespace {

Status BadData() {
    return Status::Fail(msg::kTmxBadData);
}

// Counts the gids handed on, refusing one more than expected.
class GidCounter {
public:
    GidCounter(int64_t expected, const std::function<Status(uint32_t)>& put)
        : m_expected(expected), m_put(put) {}
    Status Put(uint32_t gid) {
        if (m_count >= m_expected)
            return BadData();
        ++m_count;
        return m_put(gid);
    }
    Status Finish() const { return m_count == m_expected ? Status::Ok() : BadData(); }
    int64_t remaining() const { return m_expected - m_count; }

private:
    int64_t m_expected;
    int64_t m_count = 0;
    const std::function<Status(uint32_t)>& m_put;
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

Status ReadCsv(std::string_view text, GidCounter& out) {
    size_t i = 0;
    const size_t n = text.size();
    auto skipSpace = [&] {
        while (i < n && IsSpace(text[i]))
            ++i;
    };
    skipSpace();
    if (i == n)
        return out.Finish();
    for (;;) {
        skipSpace();
        uint64_t value = 0;
        const size_t start = i;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            value = value * 10 + uint64_t(text[i] - '0');
            if (value > 0xFFFFFFFFu)
                return BadData();
            ++i;
        }
        if (i == start)
            return BadData();
        if (Status st = out.Put(uint32_t(value)); !st)
            return st;
        skipSpace();
        if (i == n)
            break;
        if (text[i] != ',')
            return BadData();
        ++i;
        skipSpace();
        if (i == n) // Tiled leaves a comma after a chunk's or a row's last gid
            break;
    }
    return out.Finish();
}

// Assembles little-endian 32-bit gids from bytes.
class GidBytes {
public:
    explicit GidBytes(GidCounter& out) : m_out(out) {}
    Status Feed(const uint8_t* data, size_t size) {
        for (size_t i = 0; i < size; ++i) {
            m_value |= uint32_t(data[i]) << (8 * m_have);
            if (++m_have == 4) {
                if (Status st = m_out.Put(m_value); !st)
                    return st;
                m_value = 0;
                m_have = 0;
            }
        }
        return Status::Ok();
    }
    Status Finish() const { return m_have == 0 ? m_out.Finish() : BadData(); }

private:
    GidCounter& m_out;
    uint32_t m_value = 0;
    int m_have = 0;
};

// Inflates zlib (`gzip` false) or gzip data, stopping as soon as more bytes
// come out than the gids can use.
Status Inflate(const std::vector<uint8_t>& in, bool gzip, GidCounter& counter) {
    z_stream zs{};
    if (inflateInit2(&zs, gzip ? 16 + MAX_WBITS : MAX_WBITS) != Z_OK)
        return BadData();
    GidBytes bytes(counter);
    uint8_t buffer[65536];
    zs.next_in = const_cast<Bytef*>(in.data());
    zs.avail_in = uInt(in.size());
    const int64_t cap = counter.remaining() * 4;
    int64_t produced = 0;
    Status status = Status::Ok();
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        zs.next_out = buffer;
        zs.avail_out = sizeof buffer;
        rc = inflate(&zs, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END) {
            status = BadData();
            break;
        }
        const size_t got = sizeof buffer - zs.avail_out;
        produced += int64_t(got);
        if (produced > cap || (got == 0 && rc != Z_STREAM_END)) {
            status = BadData();
            break;
        }
        if (status = bytes.Feed(buffer, got); !status)
            break;
    }
    inflateEnd(&zs);
    if (!status)
        return status;
    return bytes.Finish();
}

} // namespace

Status ReadLayerGids(const pugi::xml_node& data, const char* encoding, const char* compression,
                     int64_t expected, const std::function<Status(uint32_t)>& put) {
    GidCounter counter(expected, put);
    const std::string_view enc(encoding);
    const std::string_view comp(compression);
    if (enc.empty()) {
        if (!comp.empty())
            return Status::Fail(std::string(msg::kTmxBadCompression) + compression);
        for (const pugi::xml_node tile : data.children("tile")) {
            const unsigned long long gid = tile.attribute("gid").as_ullong(0);
            if (gid > 0xFFFFFFFFu)
                return BadData();
            if (Status st = counter.Put(uint32_t(gid)); !st)
                return st;
        }
        return counter.Finish();
    }
    if (enc == "csv") {
        if (!comp.empty())
            return Status::Fail(std::string(msg::kTmxBadCompression) + compression);
        return ReadCsv(data.text().get(), counter);
    }
    if (enc != "base64")
        return Status::Fail(std::string(msg::kTmxBadEncoding) + encoding);
    if (comp == "zstd")
        return Status::Fail(msg::kTmxZstd);
    if (!comp.empty() && comp != "zlib" && comp != "gzip")
        return Status::Fail(std::string(msg::kTmxBadCompression) + compression);
    const auto bytes = DecodeBase64(data.text().get());
    if (!bytes)
        return BadData();
    if (comp.empty()) {
        GidBytes gids(counter);
        if (Status st = gids.Feed(bytes->data(), bytes->size()); !st)
            return st;
        return gids.Finish();
    }
    return Inflate(*bytes, comp == "gzip", counter);
}

} // namespace kesh
