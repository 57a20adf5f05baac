// SPDX-License-Identifier: MIT
// Marks the sentences of the extract: the worthy ones, trimmed to the
// extract size, always the vell sentence and, under a budget in sentences,
// the best of the others where the worthy ones fall short of it.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "brennic/run_state.h"

namespace brennic {
namespace {

// A key per score that orders as the scores do: the bits of a float, the
// sign flipped and, below zero, the rest too. Scores are never NaN; both
// zeros are one key.
std::uint32_t order_key(float score) {
    if (score == 0.0f) score = 0.0f;
    const auto bits = std::bit_cast<std::uint32_t>(score);
    return (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
}

// Of the words counted per key digit in words_by_digit, removing the digits
// in ascending order: the digit at which the words removed reach need
// (which then holds what that digit still has to give), or none.
std::optional<std::uint32_t> digit_reaching(const std::vector<long long>& words_by_digit,
                                            long long& need) {
    for (std::size_t d = 0; d < words_by_digit.size(); ++d) {
        if (words_by_digit[d] >= need) return static_cast<std::uint32_t>(d);
        need -= words_by_digit[d];
    }
    return std::nullopt;
}

// Trimming removes worthy sentences, the lowest score first and, of equal
// scores, the later sentence first, until their words fit the extract
// size. The sentences removed are thus those below a cut score, and of the
// sentences at the cut score the later ones. The cut score is found a half
// of its key at a time from the words per key half, and a last pass in
// input order keeps, at the cut score, the earlier sentences whose words
// still fit. No list of the worthy sentences is built. Returns whether a
// sentence was removed.
bool trim_to_extract_size(RunState& state) {
    constexpr std::uint32_t kDigits = 1u << 16;
    std::vector<long long> words_by_digit(kDigits, 0);
    long long counter = 0;
    state.sentences.walk([&](const block_sentence& s, const SentenceText& text) {
        if (!s.summary_worthy) return;
        const long long words = text.number_of_words();
        counter += words;
        words_by_digit[order_key(s.score) >> 16] += words;
    });
    // No extract holds more words than the text, nor fewer than none.
    const long long allowed = std::clamp<long long>(state.size_extract, 0, state.size_text);
    long long need = counter - allowed;  // words to remove
    if (need <= 0) return false;

    const std::optional<std::uint32_t> high = digit_reaching(words_by_digit, need);
    if (!high) {
        for (block_sentence& s : state.sentences) s.summary_worthy = FALSE;
        return true;
    }
    std::fill(words_by_digit.begin(), words_by_digit.end(), 0);
    state.sentences.walk([&](const block_sentence& s, const SentenceText& text) {
        const std::uint32_t key = order_key(s.score);
        if (s.summary_worthy && key >> 16 == *high)
            words_by_digit[key & 0xFFFFu] += text.number_of_words();
    });
    const std::uint32_t cut = *high << 16 | *digit_reaching(words_by_digit, need);
    // The sentences at the cut score give need words at least, the latest
    // first: the earlier ones stay while their words do not reach into it.
    const long long keep = words_by_digit[cut & 0xFFFFu] - need;
    long long kept = 0;
    state.sentences.walk([&](block_sentence& s, const SentenceText& text) {
        if (!s.summary_worthy) return;
        const std::uint32_t key = order_key(s.score);
        if (key < cut) {
            s.summary_worthy = FALSE;
        } else if (key == cut) {
            kept += text.number_of_words();
            if (kept > keep) s.summary_worthy = FALSE;
        }
    });
    return true;
}

// With a sentence budget, the worthy sentences left are trimmed the same
// way until no more than the budget remain: the lowest score first and, of
// equal scores, the later sentence first.
void trim_to_sentence_budget(RunState& state) {
    std::vector<std::pair<float, std::size_t>> marked;  // score, position
    std::size_t position = 0;
    for (const block_sentence& s : state.sentences) {
        if (s.summary_worthy) marked.emplace_back(s.score, position);
        ++position;
    }
    if (marked.size() <= state.sentence_budget) return;
    std::sort(marked.begin(), marked.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second > b.second;
    });
    std::vector<bool> drop(position, false);
    for (std::size_t k = 0; k < marked.size() - state.sentence_budget; ++k)
        drop[marked[k].second] = true;
    position = 0;
    for (block_sentence& s : state.sentences) {
        if (drop[position++]) s.summary_worthy = FALSE;
    }
}

// A budget of N sentences asks for N sentences: when fewer are marked, the
// best-scoring of the others are added (the higher score first, of equal
// scores the earlier sentence), up to the budget, while their words still
// fit the extract size; the first that does not fit ends the filling, as
// trimming would have removed it first. They are chosen, not worthy.
void fill_sentence_budget(RunState& state) {
    struct Candidate {
        float score;
        std::size_t position;
        long long words;
    };
    std::vector<Candidate> others;
    std::size_t marked = 0;
    long long counter = 0;
    std::size_t position = 0;
    state.sentences.walk([&](const block_sentence& s, const SentenceText& text) {
        if (s.summary_worthy) {
            ++marked;
            counter += text.number_of_words();
        } else {
            others.push_back({s.score, position, text.number_of_words()});
        }
        ++position;
    });
    if (marked >= state.sentence_budget || others.empty()) return;
    const std::size_t wanted = std::min(state.sentence_budget - marked, others.size());
    const auto better = [](const Candidate& a, const Candidate& b) {
        return a.score != b.score ? a.score > b.score : a.position < b.position;
    };
    std::partial_sort(others.begin(), others.begin() + static_cast<std::ptrdiff_t>(wanted),
                      others.end(), better);
    const long long allowed = std::clamp<long long>(state.size_extract, 0, state.size_text);
    std::vector<bool> add(position, false);
    for (std::size_t k = 0; k < wanted; ++k) {
        if (counter + others[k].words > allowed) break;
        counter += others[k].words;
        add[others[k].position] = true;
    }
    position = 0;
    for (block_sentence& s : state.sentences) {
        if (add[position++]) s.summary_worthy = TRUE;
    }
}

}  // namespace

void select_sentences(RunState& state) {
    if (state.compression_rate >= 0.0f) {
        // A sentence is worthy when it scores above the mean and holds a
        // content word of the vell sentence.
        state.sentences.walk([&](block_sentence& s, const SentenceText& text) {
            if (s.score <= state.threshold) return;
            const bool shares =
                std::any_of(text.content_words.begin(), text.content_words.end(),
                            [&](WordId id) { return state.words[id].vell_word != 0; });
            if (shares) s.summary_worthy = TRUE;
        });
        const bool trimmed = trim_to_extract_size(state);
        if (state.sentence_budget > 0) trim_to_sentence_budget(state);
        if (state.p_vellsent != nullptr) state.p_vellsent->summary_worthy = TRUE;
        // Sentences below the worthy ones in score order fill a sentence
        // budget only where the size in words left every worthy one in.
        if (state.sentence_budget > 0 && !trimmed) fill_sentence_budget(state);
        return;
    }
    if (state.p_vellsent != nullptr) state.p_vellsent->summary_worthy = TRUE;
}

void take_query_and_rate(RunState& state, const std::optional<std::string>& query,
                         float compression_rate) {
    state.read_query_in_first_language();
    if (query) {
        state.test_query = TRUE;
        state.query = query;
    }
    // NaN means what the command line makes of "nan": rate 0.
    state.compression_rate = std::isnan(compression_rate) ? 0.0f : compression_rate;
    if (state.test_is) intrasumm(state);
}

void summarize_read_texts(RunState& state, const std::optional<std::string>& query,
                          float compression_rate) {
    take_query_and_rate(state, query, compression_rate);
    score_sentences(state);
    select_sentences(state);
}

}  // namespace brennic
