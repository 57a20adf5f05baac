// SPDX-License-Identifier: MIT
// "-is": condenses every sentence by deleting its stop words.
#include <algorithm>

#include "brennic/run_state.h"
#include "brennic/words.h"
#include "language_res.h"

namespace brennic {
namespace {

// Whether word, in any case, is on the stop list.
bool stop_word_any_case(std::string_view word) {
    static const std::size_t longest =
        std::ranges::max(stop_list(), {}, &std::string_view::size).size();
    if (word.size() > longest) return false;
    std::string lower(word);  // as short as a stop word: no allocation
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return stopword(lower) != 0;
}

}  // namespace

void condense_into(std::string& out, std::string_view sentence) {
    out.clear();
    std::size_t word_start = 0;
    std::size_t word_length = 0;
    auto end_word = [&]() {
        const std::string_view word = sentence.substr(word_start, word_length);
        if (!stop_word_any_case(word)) out.append(word);
        word_length = 0;
    };
    for (std::size_t i = 0; i < sentence.size(); ++i) {
        const char c = sentence[i];
        if (letter_byte(c)) {
            if (word_length == 0) word_start = i;
            ++word_length;
            continue;
        }
        // Of a run of non-letters only the first after a word has an effect.
        if (word_length == 0) continue;
        end_word();
        if (c == ' ') {
            if (!out.empty() && out.back() != ' ') out.push_back(' ');
        } else {
            out.push_back(c);
            out.push_back(' ');
        }
    }
    if (word_length > 0) end_word();
    if (!out.empty() && out[0] >= 'a' && out[0] <= 'z')
        out[0] = static_cast<char>(out[0] - 'a' + 'A');
}

std::string condense(RunState&, std::string_view sentence) {
    std::string out;
    condense_into(out, sentence);
    return out;
}

// The texts are kept as read and condensed whenever they are shown: the
// content words were taken at reading and do not change, so nothing but the
// shown texts depends on condensing, and no second copy of the texts is held.
void intrasumm(RunState& state) { state.sentences.condense(); }

}  // namespace brennic
