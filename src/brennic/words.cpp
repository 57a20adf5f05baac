// SPDX-License-Identifier: MIT
#include "brennic/words.h"

#include "brennic/run_state.h"
#include "english_stemmer.h"
#include "language_res.h"

namespace brennic {

int is_letter(char c) { return letter(c) != 0 ? TRUE : FALSE; }

long long count_words(std::string_view text) {
    long long n = 0;
    for_each_word(text, [&n](std::string_view) { ++n; });
    return n;
}

const std::string& RunState::lowercase(std::string_view word) {
    tmp_word.assign(word);
    for (char& c : tmp_word) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return tmp_word;
}

int RunState::is_stopword(std::string_view word) {
    return stopword(lowercase(word)) != 0 ? TRUE : FALSE;
}

int RunState::is_abbrev(std::string_view word) {
    return abbrev(lowercase(word)) != 0 ? TRUE : FALSE;
}

const std::string& RunState::stemming(std::string_view word) {
    lowercase(word);
    get_stem(tmp_word, tmp_word);
    return tmp_word;
}

}  // namespace brennic
