// SPDX-License-Identifier: MIT
// Throughput of talven::segment_lines, in bytes per second of input.
//
// The text is read from the file named by $SEGMENTER_BENCH_TEXT (any plain
// text, e.g. a novel); without it a built-in mix of prose, abbreviations,
// numbers, quotes, lists and addresses is repeated up to 8 MB.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "talven/segmenter.h"

namespace {

std::string built_in_text(std::size_t size) {
    const std::string unit =
        "The committee met on Jan. 12 at 10 a.m. in the town hall. Mr. Hale, the chair, "
        "opened the session. \"Are we ready?\" he asked. Nobody answered... Then Dr. Moss "
        "read the report (pp. 4-9) aloud: costs rose 3.5% to $1,200.50, e.g. for roads, "
        "bridges, etc. The U.S. office sent comments by mail to info@example.org and posted "
        "them at https://www.example.org/report.html. It was a long day!\n"
        "Agenda\n\n1. Roads\n2. Bridges\n- repairs\n- new works\n\n"
        "She wrote that the plan\nwas sound, and J. R. Smith agreed. 'Why not?' said he.\n\n";
    std::string text;
    while (text.size() < size) text += unit;
    return text;
}

const std::string& bench_text() {
    static const std::string text = [] {
        if (const char* path = std::getenv("SEGMENTER_BENCH_TEXT")) {
            std::ifstream in(path, std::ios::binary);
            if (in) return std::string(std::istreambuf_iterator<char>(in), {});
        }
        return built_in_text(8u << 20);
    }();
    return text;
}

void BM_SegmentLines(benchmark::State& state) {
    const std::string& text = bench_text();
    for (auto _ : state) {
        std::string out = talven::segment_lines(text);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_SegmentLines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
