// One end-to-end run of "morvaplot-cli fill" on the default workload (Size 500,
// points on the pitch-10 lattice, Calc pitch 20, spline degree 3, weight power
// 3) by spawning the binary, beside the same work done in-process through the
// tool's own entry function, so the cost of starting the process (loading the
// Qt libraries, writing through a pipe) is known. Argument 0 is the window's
// default flow (radius optimisation on, which settles at R 20); argument 1
// fixes the radius at 80.0. The listing alone is timed beside the plain
// std::to_chars loop it replaces.

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "calc/LiteralBSpline.h"
#include "calc/LiteralGridCalc.h"
#include "cli/Commands.h"
#include "cli/Listing.h"
#include "data/ThkReaderPaths.h"
#include "support/RecordFactory.h"

namespace {

namespace fs = std::filesystem;

// Writes the workload as a .thk file once per process.
const std::string& WorkloadFile() {
    static const std::string path = [] {
        const fs::path file = fs::temp_directory_path() / "morvaplot-bench-cli-dome.thk";
        auto record = NewRecord();
        workload::Dome(*record, 500, 10, 1);
        std::FILE* f = std::fopen(file.c_str(), "w");
        std::fprintf(f, "500\n10,10\n");
        for (int x = 0; x <= 500; x += 10)
            for (int y = 0; y <= 500; y += 10)
                std::fprintf(f, "%d,%d,%.17g,\n", x, y, record->Value[x][y]);
        std::fclose(f);
        return file.string();
    }();
    return path;
}

std::vector<std::string> FillArguments(bool fixedRadius) {
    std::vector<std::string> args = {"fill", WorkloadFile()};
    if (fixedRadius) {
        args.push_back("--radius");
        args.push_back("80.0");
    }
    return args;
}

void BM_CliFillProcess(benchmark::State& state) {
    std::string command = std::string("'") + MORVAPLOT_CLI + "'";
    for (const std::string& a : FillArguments(state.range(0) != 0))
        command += " '" + a + "'";
    command += " >/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("morvaplot-cli failed");
    }
}
BENCHMARK(BM_CliFillProcess)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_CliFillInProcess(benchmark::State& state) {
    const std::vector<std::string> args = FillArguments(state.range(0) != 0);
    std::FILE* sink = std::fopen("/dev/null", "w");
    for (auto _ : state) {
        if (RunCli(args, sink, stderr) != 0) state.SkipWithError("RunCli failed");
    }
    std::fclose(sink);
}
BENCHMARK(BM_CliFillInProcess)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// Start-up alone: the process prints its usage and ends.
void BM_CliStartOnly(benchmark::State& state) {
    const std::string command = std::string("'") + MORVAPLOT_CLI + "' --help >/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("morvaplot-cli failed");
    }
}
BENCHMARK(BM_CliStartOnly)->UseRealTime()->Unit(benchmark::kMillisecond);

// The cell listing of a fully filled 501 x 501 record (251,001 lines).
// Argument 0 is the plain loop (std::to_chars for every number, the text
// growing in one string), argument 1 the tool's AppendCellListing.
void PlainCellListing(std::string& out, const ThkData& record) {
    char buf[40];
    for (int x = 0; x < ThkGridDim; ++x) {
        for (int y = 0; y < ThkGridDim; ++y) {
            const double v = record.Value[x][y];
            if (!HasData(v)) continue;
            out.append(buf, std::to_chars(buf, buf + sizeof buf, x).ptr);
            out += '\t';
            out.append(buf, std::to_chars(buf, buf + sizeof buf, y).ptr);
            out += '\t';
            out.append(buf, std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 17).ptr);
            out += '\n';
        }
    }
}

void BM_CellListing(benchmark::State& state) {
    auto record = NewRecord();
    workload::Dome(*record, 500, 1, 1);
    for (auto _ : state) {
        std::string text;
        if (state.range(0) == 0)
            PlainCellListing(text, *record);
        else
            AppendCellListing(text, *record);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_CellListing)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The literal engine doing the work of "fill FILE --radius 80.0" in-process:
// every line through the reader's character scanner, the plain window scan
// of Calc, the dense elimination of Fill, and the listing printed with
// "%.17g" line by line. No process start-up is counted.
void BM_CliFillLiteral(benchmark::State& state) {
    std::FILE* in = std::fopen(WorkloadFile().c_str(), "rb");
    std::string bytes;
    char block[1 << 16];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, in)) > 0;)
        bytes.append(block, n);
    std::fclose(in);
    std::FILE* sink = std::fopen("/dev/null", "w");
    auto raw = NewRecord();
    auto grid = NewRecord();
    auto fill = NewRecord();
    literal::Spline spline;
    for (auto _ : state) {
        ClearThkData(raw.get(), 1);
        if (ReadThkTextInBlocks(bytes, *raw, sizeof block, false, MessageSink()) != 1)
            state.SkipWithError("read failed");
        literal::CalcGrid(*raw, *grid, 3.0, 80.0f, 20);
        if (literal::FillGrid(*grid, *fill, 3, spline) != 1) state.SkipWithError("fill failed");
        fill->Size = grid->Size;
        std::fprintf(sink, "Radius\t%.17g\n", 80.0);
        for (int x = 0; x < ThkGridDim; ++x)
            for (int y = 0; y < ThkGridDim; ++y)
                if (HasData(fill->Value[x][y])) std::fprintf(sink, "%d\t%d\t%.17g\n", x, y, fill->Value[x][y]);
        std::fflush(sink);
    }
    std::fclose(sink);
}
BENCHMARK(BM_CliFillLiteral)->UseRealTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
