// "-is": condenses every sentence by deleting its stop words.
#include "brennic/run_state.h"
#include "brennic/words.h"

namespace brennic {

std::string condense(RunState& state, std::string_view sentence) {
    std::string out;
    out.reserve(sentence.size() + sentence.size() / 4);
    std::size_t word_start = 0;
    std::size_t word_length = 0;
    auto end_word = [&]() {
        const std::string_view word = sentence.substr(word_start, word_length);
        if (!state.is_stopword(word)) out.append(word);
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
    return out;
}

void intrasumm(RunState& state) {
    for (block_sentence& s : state.sentences) s.sentence = condense(state, s.sentence);
}

}  // namespace brennic
