#include "brennic/run_state.h"

namespace brennic {

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
    query.reset();
}

void RunState::finalize_variables() {
    p_vellsent = nullptr;
    // Swapping with empty containers gives the memory back, not just the size.
    std::vector<block_sentence>().swap(sentences);
    words.clear();
    StringMap<Term>().swap(known_words);
    std::string().swap(tmp_word);
    query.reset();
}

}  // namespace brennic
