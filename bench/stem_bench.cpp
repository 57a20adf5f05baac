// SPDX-License-Identifier: MIT
// Words per second of the Porter stemmer: brennic::stem on a word buffer,
// RunState::stemming on a word as the reader meets it, and the Porter
// stemmer of libstemmer on the same vocabulary, with the ratios printed
// after the table.
#include <benchmark/benchmark.h>
#include <libstemmer.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "brennic/run_state.h"
#include "languages/english_stemmer.h"

namespace {

const std::vector<std::string>& vocabulary() {
    static const std::vector<std::string> words = [] {
        std::vector<std::string> w;
        std::ifstream in(BRENNIC_PORTER_VOC);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) w.push_back(line);
        }
        return w;
    }();
    return words;
}

void BM_stem(benchmark::State& state) {
    const auto& words = vocabulary();
    char buffer[256];
    for (auto _ : state) {
        for (const std::string& w : words) {
            const std::size_t n = w.size() < sizeof buffer ? w.size() : sizeof buffer - 1;
            std::memcpy(buffer, w.data(), n);
            const int k = brennic::stem(buffer, 0, static_cast<int>(n) - 1);
            benchmark::DoNotOptimize(k);
            benchmark::DoNotOptimize(buffer);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(words.size()));
}
BENCHMARK(BM_stem);

void BM_stemming(benchmark::State& state) {
    const auto& words = vocabulary();
    brennic::RunState run;
    for (auto _ : state) {
        for (const std::string& w : words) {
            const std::string& s = run.stemming(w);
            benchmark::DoNotOptimize(s.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(words.size()));
}
BENCHMARK(BM_stemming);

void BM_libstemmer_porter(benchmark::State& state) {
    const auto& words = vocabulary();
    sb_stemmer* stemmer = sb_stemmer_new("porter", "ISO_8859_1");
    if (stemmer == nullptr) {
        state.SkipWithError("libstemmer has no porter stemmer");
        return;
    }
    for (auto _ : state) {
        for (const std::string& w : words) {
            const sb_symbol* s = sb_stemmer_stem(
                stemmer, reinterpret_cast<const sb_symbol*>(w.data()), static_cast<int>(w.size()));
            benchmark::DoNotOptimize(s);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(words.size()));
    sb_stemmer_delete(stemmer);
}
BENCHMARK(BM_libstemmer_porter);

// The console table, plus the words per second of each run kept for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred) continue;
            // With repetitions the median stands for the benchmark.
            const bool aggregate = r.run_type == Run::RT_Aggregate;
            if (aggregate && r.aggregate_name != "median") continue;
            auto it = r.counters.find("items_per_second");
            if (it != r.counters.end()) rate_[r.run_name.function_name] = it->second.value;
        }
    }
    double rate(const std::string& name) const {
        auto it = rate_.find(name);
        return it == rate_.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> rate_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (vocabulary().empty()) {
        std::fprintf(stderr, "stem: cannot read %s\n", BRENNIC_PORTER_VOC);
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double lib = reporter.rate("BM_libstemmer_porter");
    std::printf("\nvocabulary: %zu words\n", vocabulary().size());
    for (const char* name : {"BM_stem", "BM_stemming"}) {
        const double own = reporter.rate(name);
        if (own > 0.0 && lib > 0.0) {
            std::printf("%-12s %8.2f Mwords/s  libstemmer porter %8.2f Mwords/s  ratio %.2f\n",
                        name + 3, own / 1e6, lib / 1e6, own / lib);
        }
    }
    return 0;
}
