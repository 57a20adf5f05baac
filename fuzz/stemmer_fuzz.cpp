// SPDX-License-Identifier: MIT
// Fuzzes the Porter stemmer on random words and the stemming service built
// on it: the stem stays inside its word, is never longer, is made of
// lower-case letters, and the bytes around the word are never touched.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "brennic/run_state.h"
#include "languages/english_stemmer.h"

namespace {

constexpr char kGuard = '\x5a';
constexpr std::size_t kGuardSize = 16;

void check(bool ok) {
    if (!ok) std::abort();
}

bool is_lower(char c) { return c >= 'a' && c <= 'z'; }
bool is_ascii_letter(char c) { return is_lower(c) || (c >= 'A' && c <= 'Z'); }

// The last run of ASCII letters of text, lowercased.
std::string last_ascii_run(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && !is_ascii_letter(text[end - 1])) --end;
    std::size_t begin = end;
    while (begin > 0 && is_ascii_letter(text[begin - 1])) --begin;
    std::string run(text.substr(begin, end - begin));
    for (char& c : run) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return run;
}

// stem() on the lower-case letters the bytes map to, placed between guards.
void fuzz_raw_stem(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    std::string word;
    word.reserve(size);
    // A small alphabet rich in vowels and Porter's suffix letters reaches
    // more rules than 26 equally likely letters would.
    static constexpr std::string_view kAlphabet = "aeiouyslnbtcdgrmzhfkpvwjxq";
    for (std::size_t n = 0; n < size; ++n) word.push_back(kAlphabet[data[n] % kAlphabet.size()]);

    std::vector<char> buffer(kGuardSize, kGuard);
    buffer.insert(buffer.end(), word.begin(), word.end());
    buffer.insert(buffer.end(), kGuardSize, kGuard);
    const int i = static_cast<int>(kGuardSize);
    const int j = i + static_cast<int>(word.size()) - 1;
    const int k = brennic::stem(buffer.data(), i, j);
    check(k >= i && k <= j);
    for (std::size_t n = 0; n < kGuardSize; ++n) {
        check(buffer[n] == kGuard);
        check(buffer[buffer.size() - 1 - n] == kGuard);
    }
    for (int n = i; n <= k; ++n) check(is_lower(buffer[static_cast<std::size_t>(n)]));
    if (word.size() <= 2) {
        check(k == j);
        check(std::string_view(buffer.data() + i, word.size()) == word);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_raw_stem(data, size);

    // The stemming service on the bytes as they are.
    const std::string_view word(reinterpret_cast<const char*>(data), size);
    const std::string run = last_ascii_run(word);

    std::string out = "unchanged";
    brennic::get_stem(word, out);
    if (run.empty()) {
        check(out == "unchanged");
    } else {
        check(!out.empty() && out.size() <= run.size());
        for (char c : out) check(is_lower(c));
        // Only the last run decides: stemming it alone gives the same stem.
        std::string alone;
        brennic::get_stem(run, alone);
        check(alone == out);
    }

    // get_stem may be given its own output as input.
    std::string same(word);
    brennic::get_stem(same, same);
    check(run.empty() ? same == word : same == out);

    brennic::RunState state;
    const std::string stemmed = state.stemming(word);
    // Without ASCII letters the word comes back lowercased.
    check(stemmed == (run.empty() ? state.lowercase(word) : out));
    // The lowercase copy keeps length and every byte that is not A-Z.
    const std::string& lower = state.lowercase(word);
    check(lower.size() == word.size());
    for (std::size_t n = 0; n < word.size(); ++n) {
        const char c = word[n];
        check(lower[n] == ((c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c));
    }
    state.is_stopword(word);
    state.is_abbrev(word);
    return 0;
}
