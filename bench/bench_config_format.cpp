// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// Reading and writing bh.cfg in memory, against copying the same bytes: the copy is the floor
// any reader or writer of a file this size has to pay, so the ratio is what our rules cost.
#include "ConfigFormat.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string shippedConfig()
{
    std::ifstream in(BH_DEFAULT_CONFIG, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.empty()) {
        std::fprintf(stderr, "cannot read %s\n", BH_DEFAULT_CONFIG);
        std::exit(1);
    }
    return bytes;
}

// The two shapes worth timing: the file every player starts with, and the shortest file there
// can be (every field one digit but the depth), which shows the fixed cost per field.
struct Input {
    const char* name;
    std::string bytes;
};

const Input& input(int which)
{
    static const Input inputs[] = {
        {"shipped", shippedConfig()},
        {"shortest", bh::formatConfig(bh::ConfigRecord{})},
    };
    return inputs[which];
}

void labelInput(benchmark::State& state, const Input& in)
{
    state.SetLabel(std::string(in.name) + ", " + std::to_string(in.bytes.size()) + " bytes");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.bytes.size()));
}

void BM_CopyBytes(benchmark::State& state)
{
    const Input& in = input(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::string copy(in.bytes);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    labelInput(state, in);
}

void BM_ParseConfig(benchmark::State& state)
{
    const Input& in = input(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        bh::ConfigRecord record = bh::parseConfig(in.bytes);
        benchmark::DoNotOptimize(record);
    }
    labelInput(state, in);
}

void BM_FormatConfig(benchmark::State& state)
{
    const Input& in = input(static_cast<int>(state.range(0)));
    const bh::ConfigRecord record = bh::parseConfig(in.bytes);
    for (auto _ : state) {
        std::string bytes = bh::formatConfig(record);
        benchmark::DoNotOptimize(bytes.data());
        benchmark::ClobberMemory();
    }
    labelInput(state, in);
}

} // namespace

BENCHMARK(BM_CopyBytes)->DenseRange(0, 1);
BENCHMARK(BM_ParseConfig)->DenseRange(0, 1);
BENCHMARK(BM_FormatConfig)->DenseRange(0, 1);

BENCHMARK_MAIN();
