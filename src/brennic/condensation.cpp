// SPDX-License-Identifier: MIT
// "-is": condenses every sentence by deleting its stop words.
#include "brennic/run_state.h"
#include "brennic/words.h"
#include "languages/language_res.h"

namespace brennic {

namespace {

// Appends a run of letters without its stop words. In a language, a run of
// an unspaced script holds several words: each stop word among them goes,
// and whatever lies between the others stays.
void append_unless_stop(std::string& out, std::string_view run, Reading reading) {
    if (reading.language() == nullptr) {
        if (!reading.is_stopword(run)) out.append(run);
        return;
    }
    const char* kept = run.data();
    reading.for_each_word(run, [&](std::string_view word) {
        if (!reading.is_stopword(word)) return;
        out.append(kept, static_cast<std::size_t>(word.data() - kept));
        kept = word.data() + word.size();
    });
    out.append(kept, static_cast<std::size_t>(run.data() + run.size() - kept));
}

}  // namespace

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
        append_unless_stop(out, std::string_view(word_start, word_length), reading);
        word_length = 0;
        if (c == " ") {
            if (!out.empty() && out.back() != ' ') out.push_back(' ');
        } else {
            out.append(c);  // a whole character, never a part of one
            out.push_back(' ');
        }
    });
    if (word_length > 0)
        append_unless_stop(out, std::string_view(word_start, word_length), reading);
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
