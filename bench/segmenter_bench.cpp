// SPDX-License-Identifier: MIT
// Throughput of talven::segment_lines, in bytes per second of input.
//
// The text is read from the file named by $SEGMENTER_BENCH_TEXT (any plain
// text, e.g. a novel); without it a built-in mix of prose, abbreviations,
// numbers, quotes, lists and addresses is repeated up to 8 MB.
//
// With $SEGMENTER_BENCH_LANGUAGES naming a folder of texts <code>.txt (as
// scripts/measure-languages --bench-texts DIR writes them), each is also
// segmented by the rules of its language: BM_SegmentLanguage/<code>.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "talven/language.h"
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

void register_languages() {
    const char* dir = std::getenv("SEGMENTER_BENCH_LANGUAGES");
    if (dir == nullptr) return;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".txt") continue;
        const std::string code = entry.path().stem().string();
        std::ifstream in(entry.path(), std::ios::binary);
        auto text = std::make_shared<std::string>(std::istreambuf_iterator<char>(in),
                                                  std::istreambuf_iterator<char>());
        const talven::Language& lang = talven::language_rules(code);
        benchmark::RegisterBenchmark(
            ("BM_SegmentLanguage/" + code).c_str(),
            [text, &lang](benchmark::State& state) {
                for (auto _ : state) {
                    std::string out = talven::segment_lines(*text, lang);
                    benchmark::DoNotOptimize(out.data());
                    benchmark::ClobberMemory();
                }
                state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                                        static_cast<std::int64_t>(text->size()));
            })
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    register_languages();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
