// SPDX-License-Identifier: MIT
// Scores every sentence, chooses the vell sentence, and derives the
// threshold and the extract size that selection works with.
#include <algorithm>
#include <cmath>
#include <limits>

#include "brennic/query_vector.h"
#include "brennic/run_state.h"

namespace brennic {
namespace {

// A vell sentence and its content words.
struct Vell {
    block_sentence* sentence = nullptr;
    std::span<const WordId> content_words;
};

// The query-chosen vell sentence, or none when no sentence shares a content
// stem with the query: the first of the highest cosines above 0.
Vell most_similar_to_query(RunState& state) {
    std::vector<std::pair<WordId, float>> terms;
    WordId unseen = static_cast<WordId>(state.words.size());
    for (const auto& [stem, freq] : query_stems(state, *state.query)) {
        // A stem missing from the index matches no sentence but still
        // lengthens the query's vector.
        const WordId id = state.words.find(stem);
        terms.emplace_back(id == WordIndex::npos ? unseen++ : id, freq);
    }
    QueryVector query(std::move(terms), unseen);

    Vell chosen;
    float last_res = 0.0f;
    state.sentences.walk([&](block_sentence& s, const SentenceText& text) {
        const float res = query.cosine(text.content_words);
        if (res > 0.0f && (chosen.sentence == nullptr || res > last_res)) {
            chosen = {&s, text.content_words};
            last_res = res;
        }
    });
    return chosen;
}

}  // namespace

int extract_size(long long size_text, float compression_rate) {
    // Below 1 the rate is the share of the words to leave out (a negative
    // rate thus leaves more than the text); from 1 on it is a number of
    // words. Selection keeps the extract within the text whatever this says.
    if (std::isnan(compression_rate)) return 0;
    const double words = static_cast<double>(size_text);
    const double rate = static_cast<double>(compression_rate);
    const double size = compression_rate < 1.0f ? words - words * rate : rate;
    if (std::isnan(size)) return 0;  // no words at an infinite rate
    if (size >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (size <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(size);  // truncates toward zero
}

void score_sentences(RunState& state) {
    float maior = 0.0f;
    long long number_of_sentences = 0;
    Vell vell;

    if (state.test_query && !state.sentences.empty()) vell = most_similar_to_query(state);
    const bool ignore_query = vell.sentence == nullptr;
    if (ignore_query && !state.sentences.empty()) vell.sentence = &state.sentences.front();

    state.sentences.walk([&](block_sentence& s, const SentenceText& text) {
        long long number_of_actual_words = 0;
        for (WordId id : text.content_words) {
            ++number_of_actual_words;
            s.score += static_cast<float>(state.words[id].frequency);
        }
        if (state.test_ak) {
            s.score = number_of_actual_words > 0
                          ? s.score / static_cast<float>(number_of_actual_words)
                          : 0.0f;
        }
        if (ignore_query && (&s == vell.sentence || s.score > vell.sentence->score)) {
            vell = {&s, text.content_words};
        }
        if (s.score > maior) maior = s.score;
        state.threshold += s.score;
        ++number_of_sentences;
    });
    state.p_vellsent = vell.sentence;

    if (state.p_vellsent != nullptr) {
        state.p_vellsent->summary_worthy = TRUE;
        // A query-chosen vell sentence outranks every other sentence; the
        // threshold keeps the score it had before.
        if (!ignore_query) state.p_vellsent->score = maior + 1.0f;
    }
    if (number_of_sentences > 0) {
        state.threshold = state.threshold / static_cast<float>(number_of_sentences);
    }
    state.size_extract = extract_size(state.size_text, state.compression_rate);

    for (WordId id : vell.content_words) state.words[id].vell_word = TRUE;
}

}  // namespace brennic
