// SPDX-License-Identifier: MIT
#include "brennic/words.h"

#include "brennic/run_state.h"
#include "languages/english_stemmer.h"
#include "languages/language_res.h"

namespace brennic {

int is_letter(char c) { return letter(c) != 0 ? TRUE : FALSE; }

const std::string& RunState::lowercase(std::string_view word, Reading reading) {
    reading.lowercase(word, tmp_word);
    return tmp_word;
}

int RunState::is_stopword(std::string_view word, Reading reading) {
    if (const Language* language = reading.language()) {
        return language->is_stop_word(lowercase(word, reading)) ? TRUE : FALSE;
    }
    return stopword(lowercase(word, reading)) != 0 ? TRUE : FALSE;
}

int RunState::is_abbrev(std::string_view word, Reading reading) {
    return abbrev(lowercase(word, reading)) != 0 ? TRUE : FALSE;
}

const std::string& RunState::stemming(std::string_view word, Reading reading) {
    reading.stem(word, tmp_word);
    return tmp_word;
}

}  // namespace brennic
