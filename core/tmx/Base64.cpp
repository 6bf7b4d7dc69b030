#include "tmx/Base64.h"

#include <new>

namespace kesh {

namespace {

int ValueOf(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

std::optional<std::vector<uint8_t>> DecodeBase64(std::string_view text) {
    std::vector<uint8_t> out;
    try {
        out.reserve(text.size() / 4 * 3);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    uint32_t group = 0;
    int have = 0;    // characters in the current group
    int padding = 0; // "=" seen; only more padding and white space may follow
    for (const char c : text) {
        if (IsSpace(c))
            continue;
        if (c == '=') {
            if (have < 2)
                return std::nullopt;
            ++padding;
            ++have;
        } else {
            const int v = ValueOf(c);
            if (v < 0 || padding > 0)
                return std::nullopt;
            group = group << 6 | uint32_t(v);
            ++have;
        }
        if (have == 4) {
            group <<= 6 * padding;
            out.push_back(uint8_t(group >> 16));
            if (padding < 2)
                out.push_back(uint8_t(group >> 8));
            if (padding < 1)
                out.push_back(uint8_t(group));
            group = 0;
            have = 0;
            if (padding > 0)
                padding = 3; // the end: nothing but white space from here
        }
    }
    if (have != 0)
        return std::nullopt;
    return out;
}

} // namespace kesh
