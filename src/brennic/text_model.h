// SPDX-License-Identifier: MIT
// The text model: the sentence list and the word index of all input texts.
// Both are kept compact, since a log file or a word list may hold millions
// of sentences of a few bytes or millions of distinct words: beyond the
// texts as read, a sentence costs 8 bytes and 4 per content word, and a
// distinct stem its text and 15 to 20 bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/flat_array.h"
#include "languages/reading.h"

namespace brennic {

inline constexpr int TRUE = 1;
inline constexpr int FALSE = 0;

// Position of a stem in the word index (its insertion order).
using WordId = std::uint32_t;

// What scoring and selection note about one sentence of the input. Its text
// and its content words are kept by the sentence list, which hands them out
// on a walk (SentenceList::walk).
struct block_sentence {
    float score = 0.0f;
    std::uint32_t summary_worthy : 1 = FALSE;
    // How many content words the sentence has; SentenceList::kLongCount
    // stands for a count kept aside.
    std::uint32_t content_count : 31 = 0;
};

// Writes to out the text, read as reading reads it, condensed: stop words
// deleted, spacing around punctuation normalised, the first character
// upper-cased.
void condense_into(std::string& out, std::string_view sentence, Reading reading);

// A sentence's text and content words, as a walk over the list meets them.
class SentenceText {
public:
    SentenceText(std::string_view text, std::span<const WordId> content_words, Reading reading,
                 bool condensed, std::string& scratch)
        : text(text),
          content_words(content_words),
          reading(reading),
          condensed_(condensed),
          scratch_(&scratch) {}

    // The text as read: the line of the sentence file without its line end
    // and without NUL bytes.
    std::string_view text;
    // The index entries of the content words, one per occurrence, in text
    // order. Every pass walks these instead of tokenizing and stemming the
    // text again: condensation deletes only stop words, so the content
    // words of a sentence never change after reading.
    std::span<const WordId> content_words;
    // How the sentence's text was read into words.
    Reading reading;

    long long number_of_words() const { return reading.count_words(text); }

    // The text as the extract shows it: condensed once the list is. Valid
    // until the walk moves on.
    std::string_view sentence() const {
        if (!condensed_) return text;
        condense_into(*scratch_, text, reading);
        return *scratch_;
    }

private:
    bool condensed_;
    std::string* scratch_;
};

// Every sentence of the input texts, in input order. The texts stay in the
// buffers they were read into, one sentence a line; the content words of
// all sentences are one array, in sentence order, and each record holds how
// many are its own. So the passes over the sentences walk them in order.
class SentenceList {
public:
    static constexpr std::uint32_t kLongCount = (1u << 31) - 1;

    std::size_t size() const { return records_.size(); }
    bool empty() const { return records_.empty(); }
    block_sentence& operator[](std::size_t i) { return records_[i]; }
    const block_sentence& operator[](std::size_t i) const { return records_[i]; }
    block_sentence& front() { return records_[0]; }
    block_sentence* begin() { return records_.begin(); }
    block_sentence* end() { return records_.end(); }
    const block_sentence* begin() const { return records_.begin(); }
    const block_sentence* end() const { return records_.end(); }
    std::size_t index_of(const block_sentence& s) const {
        return static_cast<std::size_t>(&s - records_.data());
    }

    // Reading a buffer of sentences: the content words of each sentence,
    // then its end; at last the buffer itself, holding the texts of the
    // sentences ended since the last buffer, separated by line ends, and
    // how they were read.
    void add_content_word(WordId id) { content_.push_back(id); }
    void end_sentence();
    void add_texts(std::string texts, Reading reading);
    // Forgets what was read since the last buffer (a failed read).
    void drop_unfinished();

    // From now on the texts are shown condensed (SentenceText::sentence).
    void condense() { condensed_ = true; }
    bool condensed() const { return condensed_; }

    // Calls f(record, text) for every sentence, in order.
    template <class F>
    void walk(F&& f) {
        walk_list<block_sentence>(*this, f);
    }
    template <class F>
    void walk(F&& f) const {
        walk_list<const block_sentence>(*this, f);
    }

    // Forgets every sentence and gives the memory back.
    void clear();

private:
    template <class Record, class List, class F>
    static void walk_list(List& list, F& f) {
        std::string scratch;
        std::size_t index = 0;
        std::size_t content_at = 0;
        std::size_t long_at = 0;
        for (std::size_t b = 0; b < list.texts_.size(); ++b) {
            std::string_view rest = list.texts_[b];
            const Reading reading = list.readings_[b];
            for (;;) {
                const std::size_t eol = rest.find('\n');
                Record& s = list.records_[index++];
                const std::size_t n =
                    s.content_count == kLongCount ? list.long_counts_[long_at++] : s.content_count;
                const SentenceText text(rest.substr(0, eol), {list.content_.data() + content_at, n},
                                        reading, list.condensed_, scratch);
                content_at += n;
                f(s, text);
                if (eol == std::string_view::npos) break;
                rest.remove_prefix(eol + 1);
            }
        }
    }

    std::vector<std::string> texts_;  // each a non-empty buffer of whole sentences
    std::vector<Reading> readings_;   // how each buffer was read
    FlatArray<block_sentence> records_;
    FlatArray<WordId> content_;
    std::vector<std::uint64_t> long_counts_;  // the counts of kLongCount, in order
    // What the list held at the last buffer.
    std::size_t records_read_ = 0;
    std::size_t content_read_ = 0;
    std::size_t long_counts_read_ = 0;
    std::size_t content_ended_ = 0;  // content words at the last sentence end
    bool condensed_ = false;
};

// One distinct stem: its occurrences over all texts, stop words included,
// and whether the vell sentence holds it as a content word. The stem's text
// is kept by the index (WordIndex::word).
struct block_word {
    std::uint32_t frequency : 31 = 1;  // stops growing at 2^31 - 1
    std::uint32_t vell_word : 1 = FALSE;
};

// Counts every distinct stem. Walks over all stems meet them in the order of
// their first insertion; lookups are hashed, so their cost does not depend on
// the order in which words arrive. The stems' texts lie back to back in one
// array, and the hash table holds 5 bytes a place.
class WordIndex {
public:
    // Counts one more occurrence of word, creating its entry when it is new;
    // returns the entry's id.
    WordId put_word(std::string_view word);
    // Counts one more occurrence of the stem id.
    void count(WordId id) {
        block_word& w = entries_[id];
        if (w.frequency != kMaxFrequency) ++w.frequency;
    }

    // The operations below require word to be in the index; a missing word
    // fails the run with "word <word> not found!".
    int get_freq(std::string_view word) const;
    void make_vellword(std::string_view word, int status);
    int is_vellword(std::string_view word) const;

    // The id of word, or npos when the index does not hold it.
    static constexpr WordId npos = static_cast<WordId>(-1);
    WordId find(std::string_view word) const;

    block_word& operator[](WordId id) { return entries_[id]; }
    const block_word& operator[](WordId id) const { return entries_[id]; }
    // The text of the stem id.
    std::string_view word(WordId id) const;

    // The stems are the ids below size(), in insertion order.
    std::size_t size() const { return entries_.size(); }
    // Forgets every stem and gives the memory back.
    void clear();

private:
    static constexpr std::uint32_t kMaxFrequency = (1u << 31) - 1;

    WordId require(std::string_view word) const;
    std::uint64_t end_of(WordId id) const;
    // The place of word in the table: the one holding it, else the free
    // place where it would go.
    std::size_t place_of(std::string_view word, std::size_t hash) const;
    void grow_table();

    FlatArray<char> text_;  // the stems' texts, back to back, in insertion order
    // Per stem, where its text ends in text_, modulo 2^32; wraps_ holds, in
    // order, the first stem ending in each further 4 GiB of text_.
    FlatArray<std::uint32_t> ends_;
    std::vector<WordId> wraps_;
    FlatArray<block_word> entries_;
    // Open addressing with linear probing, at most three quarters full.
    FlatArray<WordId> slots_;       // per place: the stem's id
    FlatArray<std::uint8_t> tags_;  // per place: 0x80 | 7 bits of the hash; 0 when free
};

}  // namespace brennic
