// SPDX-License-Identifier: MIT
// The words of texts in one language, read as the summarizer reads them,
// for callers that look at many words: the page, the keywords. Unlike the
// public stem() and is_stop_word(), which set up a reading and a stemmer
// for every word, a WordReader keeps one stemmer for all its calls.
#pragma once

#include <brennic/brennic.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "languages/reading.h"

namespace brennic {

class WordReader {
public:
    // A reader of language: "en" or a code of language_table(); any other
    // code throws std::invalid_argument.
    explicit WordReader(std::string_view language);
    ~WordReader();
    WordReader(const WordReader&) = delete;
    WordReader& operator=(const WordReader&) = delete;

    // How text is read under choice, in this reader's language. The reading
    // stems with this reader's stemmer and must not outlive it.
    Reading reading(std::string_view text, Encoding choice);

    // The stem of word (a word of a text read by reading) when it is a
    // content word; nothing for a stop word. The stem is valid until the
    // next call.
    std::optional<std::string_view> content_stem(std::string_view word, Reading reading);

private:
    const Language* language_ = nullptr;  // nullptr: English
    std::unique_ptr<Stemmer> stemmer_;
    std::string folded_;
    std::string stem_;
};

}  // namespace brennic
