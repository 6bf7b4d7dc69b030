#pragma once

// Helpers shared by the fuzz targets.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

// An invariant of a reader that must hold for every input. A broken one
// aborts, which libFuzzer reports as a crash and the replay test as a failure.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);          \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace kesh::fuzz {

// The largest single allocation a reader may make (scripts/fuzz passes it as
// -malloc_limit_mb). The largest legitimate one is a map grid, copied once
// when read (the program's 268,435,456 cells of 2 bytes are 512 MiB; fuzzing
// builds hold far fewer); tile pools are ten blocks of 320 KiB. A reader
// asking for more has believed a size the file can't back.
inline constexpr size_t kAllocationCapMiB = 512;
inline constexpr size_t kAllocationCapBytes = kAllocationCapMiB << 20;

// Most readers need two files: a descriptor and the data it describes. An
// input carries both: its first byte is the descriptor's length n, the next
// n bytes (or fewer, when the input ends) are the descriptor, the rest is the data.
struct TwoFiles {
    std::span<const uint8_t> descriptor;
    std::span<const uint8_t> data;
};

inline TwoFiles SplitInput(const uint8_t* bytes, size_t size) {
    if (size == 0)
        return {};
    const std::span<const uint8_t> all(bytes + 1, size - 1);
    const size_t n = bytes[0] < all.size() ? bytes[0] : all.size();
    return {all.first(n), all.subspan(n)};
}

// The other way round, for the seed generator.
template <class Bytes> Bytes JoinInput(const Bytes& descriptor, const Bytes& data) {
    Bytes out;
    out.push_back(static_cast<uint8_t>(descriptor.size()));
    out.insert(out.end(), descriptor.begin(), descriptor.end());
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

} // namespace kesh::fuzz
