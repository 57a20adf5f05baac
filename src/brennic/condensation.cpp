// SPDX-License-Identifier: MIT
// "-is": condenses every sentence by deleting its stop words.
#include "brennic/run_state.h"
#include "brennic/words.h"
#include "languages/language_res.h"

namespace brennic {

void condense_into(std::string& out, std::string_view sentence, Reading reading) {
    out.clear();
    const char* word_start = nullptr;
    std::size_t word_length = 0;
    reading.for_each_char(sentence, [&](std::string_view c, bool letter) {
        if (letter) {
            if (word_length == 0) word_start = c.data();
            word_length += c.size();
            return;
        }
        // Of a run of non-letters only the first after a word has an effect.
        if (word_length == 0) return;
        const std::string_view word(word_start, word_length);
        if (!reading.is_stopword(word)) out.append(word);
        word_length = 0;
        if (c == " ") {
            if (!out.empty() && out.back() != ' ') out.push_back(' ');
        } else {
            out.append(c);  // a whole character, never a part of one
            out.push_back(' ');
        }
    });
    if (word_length > 0) {
        const std::string_view word(word_start, word_length);
        if (!reading.is_stopword(word)) out.append(word);
    }
    reading.capitalize_first(out);
}

std::string condense(RunState&, std::string_view sentence, Reading reading) {
    std::string out;
    condense_into(out, sentence, reading);
    return out;
}

// The texts are kept as read and condensed whenever they are shown: the
// content words were taken at reading and do not change, so nothing but the
// shown texts depends on condensing, and no second copy of the texts is held.
void intrasumm(RunState& state) { state.sentences.condense(); }

}  // namespace brennic
