#pragma once

#include <cstdint>
#include <cstdlib>

namespace kesh::test {

// splitmix64: the same sequence on every platform and standard library, so a
// soak run is reproduced from its seed alone.
class Rng {
public:
    explicit Rng(uint64_t seed) : m_state(seed) {}
    uint64_t next() {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int32_t below(int32_t n) { return n <= 0 ? 0 : int32_t(next() % uint64_t(n)); }
    int32_t range(int32_t lo, int32_t hi) { return lo + below(hi - lo + 1); }
    bool chance(int32_t percent) { return below(100) < percent; }

private:
    uint64_t m_state;
};

// A number from the environment (decimal, 0x hex or 0 octal), or `fallback`
// when the variable is unset or not a number.
inline uint64_t EnvNumber(const char* name, uint64_t fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text)
        return fallback;
    char* end = nullptr;
    const uint64_t value = std::strtoull(text, &end, 0);
    return *end == 0 ? value : fallback;
}

} // namespace kesh::test
