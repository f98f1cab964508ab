#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "core/Message.h"
#include "data/ThkData.h"
#include "data/ThkReader.h"
#include "data/ThkReaderPaths.h"

namespace {

// A Size-500 pitch-1 file: 251,001 data lines.
const std::string& DensePitch1File() {
    static const std::string path = [] {
        const auto p = std::filesystem::temp_directory_path() / "morvaplot-bench-dense.thk";
        std::ofstream out(p, std::ios::binary);
        out << "500\n1,1\n";
        char line[64];
        for (int x = 0; x <= 500; ++x) {
            for (int y = 0; y <= 500; ++y) {
                std::snprintf(line, sizeof line, "%d,%d,%.4f,\n", x, y,
                              1000.0 + 0.01 * x - 0.02 * y + 0.0001 * ((x * 7919 + y * 104729) % 1000));
                out << line;
            }
        }
        return p.string();
    }();
    return path;
}

void BM_ReadThkFile_Size500Pitch1(benchmark::State& state) {
    const std::string& path = DensePitch1File();
    auto record = std::make_unique<ThkData>();
    for (auto _ : state) {
        ClearThkData(record.get(), 1);
        if (ReadThkFile(path, *record, MessageSink()) != 1) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(record->Mean);
    }
}
BENCHMARK(BM_ReadThkFile_Size500Pitch1)->Unit(benchmark::kMillisecond);

// The literal twin: the same file read into memory and every line through
// the character scanner, as before plain lines had their fast reading.
void BM_LiteralReadThkFile_Size500Pitch1(benchmark::State& state) {
    const std::string& path = DensePitch1File();
    auto record = std::make_unique<ThkData>();
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
        in.seekg(0);
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        ClearThkData(record.get(), 1);
        if (ReadThkTextInBlocks(bytes, *record, 1 << 16, false, MessageSink()) != 1)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(record->Mean);
    }
}
BENCHMARK(BM_LiteralReadThkFile_Size500Pitch1)->Unit(benchmark::kMillisecond);

void BM_RecalcStatistics_Size500(benchmark::State& state) {
    auto record = std::make_unique<ThkData>();
    ClearThkData(record.get(), 1);
    ReadThkFile(DensePitch1File(), *record, MessageSink());
    for (auto _ : state) {
        RecalcStatistics(*record);
        benchmark::DoNotOptimize(record->Sigma);
    }
}
BENCHMARK(BM_RecalcStatistics_Size500)->Unit(benchmark::kMillisecond);

}  // namespace
