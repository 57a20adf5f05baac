// SPDX-License-Identifier: MIT
#include "languages/word_reader.h"

#include <stdexcept>

namespace brennic {

WordReader::WordReader(std::string_view language) {
    if (find_language(language) == nullptr)
        throw std::invalid_argument("unknown language '" + std::string(language) + "'");
    language_ = Language::get(language);
    if (language_ != nullptr) stemmer_ = std::make_unique<Stemmer>(*language_);
}

WordReader::~WordReader() = default;

Reading WordReader::reading(std::string_view text, Encoding choice) {
    if (stemmer_ != nullptr) stemmer_->expect_text(text.size());
    return Reading::of(text, choice, language_, stemmer_.get());
}

std::optional<std::string_view> WordReader::content_stem(std::string_view word, Reading reading) {
    if (reading.language() == nullptr) {
        if (reading.is_stopword(word)) return std::nullopt;
        reading.stem(word, stem_);
        return stem_;
    }
    // Folded once: the stemmer's entry says whether the word is a stop word.
    reading.lowercase(word, folded_);
    if (stemmer_ == nullptr || reading.language() != language_)
        throw std::invalid_argument("a reading of another language");
    const Stemmer::Entry entry = stemmer_->lookup(folded_);
    if (entry.stop) return std::nullopt;
    return entry.stem;
}

}  // namespace brennic
