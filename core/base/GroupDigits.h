#pragma once

#include <cstdint>
#include <string>

namespace kesh {

// `n` with its digits in groups of three, as messages show sizes: 1,073,741,824.
inline std::string GroupDigits(uint64_t n) {
    std::string digits = std::to_string(n);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

} // namespace kesh
