// SPDX-License-Identifier: MIT
#include "brennic/run_state.h"

#include <cstring>

#include "brennic/failure.h"
#include "languages/language_detect.h"

namespace brennic {

LanguageReport choose_language(std::string_view choice, std::string_view text) {
    if (choice == "auto") {
        LanguageGuess guess = guess_language(text);
        return {std::move(guess.code), true, std::move(guess.fallback)};
    }
    if (find_language(choice) == nullptr) {
        throw Failure("unknown language '" + std::string(choice) + "': give one of " +
                      language_list() + ", or auto");
    }
    return {std::string(choice), false, {}};
}

void RunState::choose_language(std::string_view choice, std::string_view text) {
    languages.push_back(brennic::choose_language(choice, text));
    language = Language::get(languages.back().language);
}

void RunState::read_query_in_first_language() {
    language = languages.empty() ? nullptr : Language::get(languages.front().language);
}

Reading RunState::reading_of(std::string_view text) {
    if (language == nullptr) return Reading::of(text, encoding);
    std::size_t i = 0;
    while (i < stemmer_languages_.size() && stemmer_languages_[i] != language) ++i;
    if (i == stemmer_languages_.size()) {
        stemmers_.push_back(std::make_unique<Stemmer>(*language));
        stemmer_languages_.push_back(language);
    }
    return Reading::of(text, encoding, language, stemmers_[i].get());
}

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
    language = nullptr;
    languages.clear();
}

void RunState::finalize_variables() {
    p_vellsent = nullptr;
    sentences.clear();
    words.clear();
    known_words.clear();
    std::vector<ScoreParts>().swap(parts);
    std::string().swap(tmp_word);
    query.reset();
}

void KnownWords::put(std::string_view word, std::size_t hash, Term term) {
    if (word.empty() || word.size() > kLongestWord) return;
    if (places_.empty()) places_.resize(wanted_);
    Place& p = places_[hash & (places_.size() - 1)];
    p.term = term;
    p.length = static_cast<std::uint8_t>(word.size());
    std::memcpy(p.word, word.data(), word.size());
}

}  // namespace brennic
