// SPDX-License-Identifier: MIT
#include <cmath>
#include <unordered_map>

#include "brennic/query_vector.h"
#include "brennic/words.h"

namespace brennic {
namespace {

// A term's count as a 32-bit float that grows by 1.0 per occurrence: exact
// up to 2^24, where adding 1.0 no longer changes it.
float counted(unsigned n) {
    constexpr unsigned kLimit = 1u << 24;
    return static_cast<float>(n < kLimit ? n : kLimit);
}

}  // namespace

QueryVector::QueryVector(std::vector<std::pair<WordId, float>> query_terms, std::size_t id_space)
    : query_terms_(std::move(query_terms)), count_(id_space, 0), in_query_(id_space, 0) {
    for (const auto& [id, freq] : query_terms_) {
        sizesent1_ += freq * freq;
        in_query_[id] = 1;
    }
    sizesent1_ = std::sqrt(sizesent1_);
}

float QueryVector::cosine(std::span<const WordId> sentence) {
    first_seen_.clear();
    for (WordId id : sentence) {
        if (count_[id]++ == 0) first_seen_.push_back(id);
    }
    // The terms are summed in the order of the combined vector: the query's
    // terms first, then those that only the sentence has.
    float dotproduct = 0.0f;
    float sizesent2 = 0.0f;
    for (const auto& [id, freq_query] : query_terms_) {
        const float freq_sent = counted(count_[id]);
        dotproduct += freq_sent * freq_query;
        sizesent2 += freq_sent * freq_sent;
    }
    for (WordId id : first_seen_) {
        if (!in_query_[id]) {
            const float freq_sent = counted(count_[id]);
            sizesent2 += freq_sent * freq_sent;
        }
        count_[id] = 0;
    }
    sizesent2 = std::sqrt(sizesent2);
    if (sizesent1_ == 0.0f || sizesent2 == 0.0f) return 0.0f;
    return static_cast<float>(static_cast<double>(dotproduct) /
                              (static_cast<double>(sizesent2) * static_cast<double>(sizesent1_)));
}

std::vector<std::pair<std::string, float>> query_stems(RunState& state, std::string_view text) {
    std::vector<std::pair<std::string, float>> stems;
    std::unordered_map<std::string, std::size_t> position;
    const Reading reading = state.reading_of(text);
    reading.for_each_word(text, [&](std::string_view word) {
        if (state.is_stopword(word, reading)) return;
        const std::string& stem = state.stemming(word, reading);
        auto [it, inserted] = position.try_emplace(stem, stems.size());
        if (inserted) {
            stems.emplace_back(stem, 1.0f);
        } else {
            stems[it->second].second += 1.0f;
        }
    });
    return stems;
}

float cosine(RunState& state, std::string_view sent1, std::string_view sent2) {
    // Both texts' stems are numbered locally, the first text's first.
    std::unordered_map<std::string, WordId> ids;
    auto id_of = [&ids](const std::string& stem) {
        return ids.try_emplace(stem, static_cast<WordId>(ids.size())).first->second;
    };
    std::vector<std::pair<WordId, float>> query_terms;
    for (const auto& [stem, freq] : query_stems(state, sent1)) {
        query_terms.emplace_back(id_of(stem), freq);
    }
    std::vector<WordId> sentence;
    const Reading reading = state.reading_of(sent2);
    reading.for_each_word(sent2, [&](std::string_view word) {
        if (!state.is_stopword(word, reading))
            sentence.push_back(id_of(state.stemming(word, reading)));
    });
    QueryVector vector(std::move(query_terms), ids.size());
    return vector.cosine(sentence);
}

}  // namespace brennic
