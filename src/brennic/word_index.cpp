#include "brennic/failure.h"
#include "brennic/text_model.h"

namespace brennic {

WordId WordIndex::put_word(std::string_view word) {
    if (auto it = ids_.find(word); it != ids_.end()) {
        ++words_[it->second].frequency;
        return it->second;
    }
    const auto id = static_cast<WordId>(words_.size());
    words_.push_back(block_word{std::string(word), 1, FALSE});
    ids_.emplace(std::string(word), id);
    return id;
}

WordId WordIndex::find(std::string_view word) const {
    auto it = ids_.find(word);
    return it == ids_.end() ? npos : it->second;
}

WordId WordIndex::require(std::string_view word) const {
    const WordId id = find(word);
    if (id == npos) throw Failure("word " + std::string(word) + " not found!");
    return id;
}

int WordIndex::get_freq(std::string_view word) const { return words_[require(word)].frequency; }

void WordIndex::make_vellword(std::string_view word, int status) {
    words_[require(word)].vell_word = status;
}

int WordIndex::is_vellword(std::string_view word) const {
    return words_[require(word)].vell_word != 0 ? TRUE : FALSE;
}

void WordIndex::clear() {
    words_.clear();
    ids_.clear();
}

}  // namespace brennic
