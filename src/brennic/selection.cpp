// Marks the sentences of the extract: the worthy ones, trimmed to the
// extract size, and always the vell sentence.
#include <algorithm>
#include <numeric>

#include "brennic/run_state.h"

namespace brennic {

void select_sentences(RunState& state) {
    if (state.compression_rate >= 0.0f) {
        // A sentence is worthy when it scores above the mean and holds a
        // content word of the vell sentence.
        for (block_sentence& s : state.sentences) {
            if (s.score <= state.threshold) continue;
            const bool shares = std::any_of(s.content_words.begin(), s.content_words.end(),
                                            [&](WordId id) { return state.words[id].vell_word; });
            if (shares) s.summary_worthy = TRUE;
        }

        std::vector<block_sentence*> marked;
        long long counter = 0;
        for (block_sentence& s : state.sentences) {
            if (s.summary_worthy) {
                marked.push_back(&s);
                counter += s.number_of_words;
            }
        }
        // Trimming removes the lowest score first and, of equal scores, the
        // later sentence first; removals never change a score, so one sort
        // gives the whole order of removal.
        std::stable_sort(marked.begin(), marked.end(),
                         [](const block_sentence* a, const block_sentence* b) {
                             if (a->score != b->score) return a->score < b->score;
                             return a > b;
                         });
        for (auto it = marked.begin(); counter > state.size_extract && it != marked.end(); ++it) {
            (*it)->summary_worthy = FALSE;
            counter -= (*it)->number_of_words;
        }
    }
    if (state.p_vellsent != nullptr) state.p_vellsent->summary_worthy = TRUE;
}

void summarize_read_texts(RunState& state, const std::optional<std::string>& query,
                          float compression_rate) {
    if (query) {
        state.test_query = TRUE;
        state.query = query;
    }
    state.compression_rate = compression_rate;
    if (state.test_is) intrasumm(state);
    score_sentences(state);
    select_sentences(state);
}

}  // namespace brennic
