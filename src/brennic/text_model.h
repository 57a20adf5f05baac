// The text model: the sentence list and the word index of all input texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace brennic {

inline constexpr int TRUE = 1;
inline constexpr int FALSE = 0;

// Position of a stem in the word index (its insertion order).
using WordId = std::uint32_t;

// A hash map keyed by strings that can be searched with a string_view.
struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
template <class T>
using StringMap = std::unordered_map<std::string, T, StringHash, std::equal_to<>>;

// One sentence of the input, in input order.
struct block_sentence {
    std::string sentence;           // the line of the sentence file, without its line end
    long long number_of_words = 0;  // words as read, stop words included
    int summary_worthy = FALSE;
    float score = 0.0f;
    // The index entries of the sentence's content words, one per occurrence,
    // in text order. Every later pass walks these instead of tokenizing and
    // stemming the text again: condensation deletes only stop words, so the
    // content words of a sentence never change after reading.
    std::vector<WordId> content_words;
};

// One distinct stem.
struct block_word {
    std::string word;
    int frequency = 1;
    int vell_word = FALSE;
};

// Counts every distinct stem. Walks over all stems meet them in the order of
// their first insertion; lookups are hashed, so their cost does not depend on
// the order in which words arrive.
class WordIndex {
public:
    // Counts one more occurrence of word, creating its entry when it is new;
    // returns the entry's id.
    WordId put_word(std::string_view word);

    // The operations below require word to be in the index; a missing word
    // fails the run with "word <word> not found!".
    int get_freq(std::string_view word) const;
    void make_vellword(std::string_view word, int status);
    int is_vellword(std::string_view word) const;

    // The id of word, or npos when the index does not hold it.
    static constexpr WordId npos = static_cast<WordId>(-1);
    WordId find(std::string_view word) const;

    block_word& operator[](WordId id) { return words_[id]; }
    const block_word& operator[](WordId id) const { return words_[id]; }

    // All stems, in insertion order.
    const std::vector<block_word>& words() const { return words_; }
    std::size_t size() const { return words_.size(); }
    void clear();

private:
    WordId require(std::string_view word) const;

    std::vector<block_word> words_;
    StringMap<WordId> ids_;
};

}  // namespace brennic
