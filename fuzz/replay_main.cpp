// Runs a fuzz target's entry point once for every file in the given folders,
// so the seed and regression corpora can be replayed by an ordinary test run
// (under the sanitizers in the sanitizer build). A folder that does not exist
// is skipped; hidden files are ignored. Exits non-zero when no input was found.
//
// As under the fuzzer (-malloc_limit_mb), one allocation above the cap is a
// finding: it aborts with a message instead of trying to get the memory.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void* Allocate(std::size_t size) noexcept {
    if (size > kesh::fuzz::kAllocationCapBytes) {
        std::fprintf(stderr, "allocation of %zu bytes is over the cap of %zu MiB\n", size,
                     kesh::fuzz::kAllocationCapMiB);
        std::abort();
    }
    return std::malloc(size == 0 ? 1 : size);
}

void* AllocateOrThrow(std::size_t size) {
    if (void* p = Allocate(size))
        return p;
    throw std::bad_alloc();
}

} // namespace

// Every plain form of new and delete is replaced, so that each pair matches.
void* operator new(std::size_t size) {
    return AllocateOrThrow(size);
}
void* operator new[](std::size_t size) {
    return AllocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace {

std::vector<std::filesystem::path> InputsIn(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    if (std::filesystem::is_regular_file(dir, ec)) {
        files.push_back(dir);
        return files;
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && !name.empty() && name[0] != '.')
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int main(int argc, char** argv) {
    size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path dir(argv[i]);
        if (!std::filesystem::exists(dir)) {
            std::printf("skipping %s (not there)\n", argv[i]);
            continue;
        }
        for (const auto& file : InputsIn(dir)) {
            std::ifstream in(file, std::ios::binary);
            const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
            if (!in.eof() && in.fail()) {
                std::fprintf(stderr, "cannot read %s\n", file.c_str());
                return 2;
            }
            std::printf("%s\n", file.c_str());
            std::fflush(stdout);
            // A fresh copy the exact size of the input, so a read one past the
            // end is caught by the address sanitizer.
            const std::vector<uint8_t> input(bytes.begin(), bytes.end());
            static const uint8_t kNothing = 0;
            LLVMFuzzerTestOneInput(input.empty() ? &kNothing : input.data(), input.size());
            ++replayed;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    return replayed > 0 ? 0 : 1;
}
