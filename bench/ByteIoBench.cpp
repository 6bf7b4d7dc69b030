#include <benchmark/benchmark.h>

#include "io/ByteWriter.h"

static void BM_ByteWriterLE(benchmark::State& state) {
    for (auto _ : state) {
        kesh::ByteWriter w;
        for (int i = 0; i < 4096; ++i)
            w.writeLE(static_cast<uint32_t>(i), 2);
        benchmark::DoNotOptimize(w.bytes().data());
    }
}
BENCHMARK(BM_ByteWriterLE);
