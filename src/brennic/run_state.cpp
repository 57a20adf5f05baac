// SPDX-License-Identifier: MIT
#include "brennic/run_state.h"

#include <cstring>

namespace brennic {

void RunState::initialize_variables() {
    p_vellsent = nullptr;
    sentences.clear();
    words.clear();
    known_words.clear();
    tmp_word.clear();
    size_extract = 0;
    size_text = 0;
    compression_rate = 0.0f;
    threshold = 0.0f;
    test_query = FALSE;
    test_ak = FALSE;
    test_is = FALSE;
    output_mode = 0666;
    query.reset();
}

void RunState::finalize_variables() {
    p_vellsent = nullptr;
    sentences.clear();
    words.clear();
    known_words.clear();
    std::string().swap(tmp_word);
    query.reset();
}

void KnownWords::put(std::string_view word, std::size_t hash, Term term) {
    if (word.empty() || word.size() > kLongestWord) return;
    if (places_.empty()) places_.resize(kPlaces);
    Place& p = places_[hash & (kPlaces - 1)];
    p.term = term;
    p.length = static_cast<std::uint8_t>(word.size());
    std::memcpy(p.word, word.data(), word.size());
}

}  // namespace brennic
