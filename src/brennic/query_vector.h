// SPDX-License-Identifier: MIT
// The cosine similarity between a query and sentences, both seen as vectors
// of stem counts.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "brennic/run_state.h"

namespace brennic {

// The query's side of the cosine, built once and compared with any number of
// sentences. Terms are numbered: ids below id_space, the query's first.
class QueryVector {
public:
    // query_terms: the query's distinct terms in order of first appearance,
    // with their counts; sentence terms are ids below id_space.
    QueryVector(std::vector<std::pair<WordId, float>> query_terms, std::size_t id_space);

    // The cosine of the query with a sentence given by its content terms,
    // one id per occurrence, in text order.
    float cosine(std::span<const WordId> sentence);

private:
    std::vector<std::pair<WordId, float>> query_terms_;
    float sizesent1_ = 0.0f;
    std::vector<unsigned> count_;     // per id: occurrences in the current sentence
    std::vector<char> in_query_;      // per id: the query holds it
    std::vector<WordId> first_seen_;  // ids of the current sentence, by first occurrence
};

// The query's content stems, in order of first appearance, with their
// counts; the query's own bytes decide how it is read.
std::vector<std::pair<std::string, float>> query_stems(RunState& state, std::string_view text);

}  // namespace brennic
