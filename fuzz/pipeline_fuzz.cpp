// SPDX-License-Identifier: MIT
// Fuzzes the reader and the whole summary on a random sentence file with
// random switches, rate, query, language and budget in sentences, and
// checks what must hold of every run: the vell sentence is marked, the
// extract keeps to its sizes, every other marked sentence earned its place
// or fills a budget in sentences, "-is" changes no mark, and condensing
// deletes only stop words.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "brennic/run_state.h"
#include "brennic/words.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

struct Options {
    bool is = false;
    bool ak = false;
    std::optional<std::string> query;
    float rate = 0.0f;
    const char* language = "en";
    std::size_t budget = 0;  // in sentences; 0 for none
};

float pick_rate(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange<int>(0, 7)) {
        case 0:
            return in.ConsumeFloatingPointInRange<float>(0.0f, 1.0f);
        case 1:
            return static_cast<float>(in.ConsumeIntegralInRange<int>(-3, 200));
        case 2:
            return std::numeric_limits<float>::infinity();
        case 3:
            return -std::numeric_limits<float>::infinity();
        case 4:
            return std::numeric_limits<float>::quiet_NaN();
        case 5:
            return 1e12f;
        case 6:
            return -in.ConsumeFloatingPointInRange<float>(0.0f, 1.0f);
        default:
            return in.ConsumeFloatingPoint<float>();
    }
}

// The words of text read as reading does, lowercased; with content_only
// the stop words left out, and with capitalized the first word upper-cased
// first, as condensing does.
std::vector<std::string> lowered_words(brennic::RunState& state, brennic::Reading reading,
                                       std::string_view text, bool content_only,
                                       bool capitalized = false) {
    std::vector<std::string> words;
    reading.for_each_word(text, [&](std::string_view w) {
        if (content_only && state.is_stopword(w, reading)) return;
        std::string word(w);
        if (capitalized && words.empty()) reading.capitalize_first(word);
        words.push_back(state.lowercase(word, reading));
    });
    return words;
}

// Whether every word of part is in whole, in the same order.
bool in_order(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
    std::size_t k = 0;
    for (const std::string& w : whole) {
        if (k < part.size() && w == part[k]) ++k;
    }
    return k == part.size();
}

// One run as the program does it; returns the marks.
std::vector<int> summarize(const Options& o, std::string_view text, bool check_all) {
    brennic::RunState state;
    state.test_is = o.is ? brennic::TRUE : brennic::FALSE;
    state.test_ak = o.ak ? brennic::TRUE : brennic::FALSE;
    state.sentence_budget = o.budget;
    state.choose_language(o.language, std::string_view());
    brennic::read_sentences(state, std::string(text));
    state.read_query_in_first_language();
    if (o.query) {
        state.test_query = brennic::TRUE;
        state.query = o.query;
    }
    state.compression_rate = o.rate;

    long long words = 0;
    std::size_t sentences = 0;
    // Per sentence, its content words lowercased, and the same with the
    // first one upper-cased before (a condensed text opens with it).
    std::vector<std::vector<std::string>> kept;
    std::vector<std::vector<std::string>> kept_capitalized;
    state.sentences.walk([&](const brennic::block_sentence&, const brennic::SentenceText& t) {
        check(!t.text.empty());
        check(t.text.find('\n') == std::string::npos);
        check(t.text.find('\0') == std::string::npos);
        check(t.number_of_words() >= static_cast<long long>(t.content_words.size()));
        for (brennic::WordId id : t.content_words) check(id < state.words.size());
        words += t.number_of_words();
        ++sentences;
        if (check_all) {
            kept.push_back(lowered_words(state, t.reading, t.text, true));
            kept_capitalized.push_back(lowered_words(state, t.reading, t.text, true, true));
        }
    });
    check(words == state.size_text);
    check(sentences == state.sentences.size());

    // Where a stop word goes from within a run of an unspaced script, the
    // run is cut into words anew.
    const std::string_view code = o.language;
    const bool unspaced = code == "zh" || code == "ja" || code == "th";
    if (state.test_is) intrasumm(state);
    if (check_all && state.test_is) {
        std::size_t n = 0;
        state.sentences.walk([&](const brennic::block_sentence&, const brennic::SentenceText& t) {
            const std::string s(t.sentence());
            check(s.find('\n') == std::string::npos);
            const std::vector<std::string> words = lowered_words(state, t.reading, s, false);
            if (state.language == nullptr) {
                check(words == kept[n] || words == kept_capitalized[n]);
            } else if (!unspaced) {
                // Elsewhere only a stop word between blanks goes, so the
                // content words stay, in order, among the words kept.
                check(in_order(kept[n], words) || in_order(kept_capitalized[n], words));
            }
            ++n;
        });
    }

    score_sentences(state);
    select_sentences(state);

    std::vector<int> marks;
    if (state.sentences.empty()) {
        check(state.p_vellsent == nullptr);
        return marks;
    }
    check(state.p_vellsent != nullptr);
    check(state.p_vellsent >= state.sentences.begin() && state.p_vellsent < state.sentences.end());
    check(state.p_vellsent->summary_worthy == brennic::TRUE);

    long long others = 0;
    long long all = 0;
    std::size_t marked = 0;
    std::size_t fillers = 0;
    state.sentences.walk([&](const brennic::block_sentence& s, const brennic::SentenceText& t) {
        check(s.summary_worthy == brennic::TRUE || s.summary_worthy == brennic::FALSE);
        marks.push_back(static_cast<int>(s.summary_worthy));
        if (!s.summary_worthy) return;
        ++marked;
        all += t.number_of_words();
        if (&s == state.p_vellsent) return;
        others += t.number_of_words();
        bool shares = false;
        for (brennic::WordId id : t.content_words) shares |= state.words[id].vell_word != 0;
        // Below the threshold or off the vell words, it fills a budget in
        // sentences.
        if (s.score > state.threshold && shares) return;
        check(state.sentence_budget > 0);
        ++fillers;
    });
    // Trimming keeps the extract, the vell sentence aside, within its size;
    // sentences that fill a budget in sentences fit it with the vell one.
    check(others <= std::max(0, state.size_extract));
    if (o.budget > 0) {
        check(marked <= std::max<std::size_t>(o.budget, 1));
        if (fillers > 0)
            check(all <= std::clamp<long long>(state.size_extract, 0, state.size_text));
    }
    if (!(state.compression_rate >= 0.0f)) check(marked == 1);

    if (check_all && o.query) {
        std::string first;
        state.sentences.walk([&](const brennic::block_sentence& s, const brennic::SentenceText& t) {
            if (&s == &state.sentences.front()) first = t.sentence();
        });
        const float c = brennic::cosine(state, *o.query, first);
        check(!std::isnan(c) && c >= -1e-5f && c <= 1.0f + 1e-5f);
        const float self = brennic::cosine(state, *o.query, *o.query);
        check(!std::isnan(self) && self >= -1e-5f && self <= 1.0f + 1e-5f);
    }
    return marks;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Options o;
    o.is = in.ConsumeBool();
    o.ak = in.ConsumeBool();
    if (in.ConsumeBool()) o.query = in.ConsumeRandomLengthString(64);
    o.rate = pick_rate(in);
    // English, a language of its own words and stop list, and three
    // written without spaces.
    static constexpr const char* kLanguages[] = {"en", "de", "zh", "ja", "th"};
    o.language = kLanguages[in.ConsumeIntegralInRange<std::size_t>(0, 4)];
    if (in.ConsumeBool()) o.budget = in.ConsumeIntegralInRange<std::size_t>(1, 8);
    const std::string text = in.ConsumeRemainingBytesAsString();

    const std::vector<int> marks = summarize(o, text, true);
    // Condensing deletes only stop words, so it never changes a mark.
    Options flipped = o;
    flipped.is = !o.is;
    check(summarize(flipped, text, false) == marks);
    return 0;
}
