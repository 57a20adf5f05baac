// SPDX-License-Identifier: MIT
// The languages a text can be read in. English is read as it always was
// (the letter set, the Porter stemmer and its own stop list); every other
// language reads its text as Unicode characters:
// - a word is a run of letters: every Unicode letter or combining mark
//   (L*, Mn, Mc), the ASCII digits, '-' and '_', and the language's own
//   word-internal marks when they stand between two letters (Catalan "l·l",
//   Hebrew-script geresh and gershayim, the zero-width joiners of Arabic and
//   the Indic scripts);
// - a word is compared in its folded form: NFC, then Unicode's full case
//   folding, with the Turkic dotted and dotless i in Turkish and Azeri;
// - the folded word is stemmed by the language's Snowball stemmer, if it
//   has one, and tested whole against the language's stop list (folded the
//   same way), to which the elided articles and pronouns ("l’", "qu’")
//   belong;
// - in the scripts written without spaces between words (Han, kana, Thai,
//   Lao, Khmer, Myanmar) a run of letters is cut into words by ICU's
//   dictionary-based word break iterator (reading.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "languages/language_res.h"

struct sb_stemmer;

namespace brennic {

// What the README's table of languages says about one language.
struct LanguageInfo {
    std::string_view code;  // ISO 639-1
    std::string_view name;  // in English
    // The Snowball algorithm; "porter" for English; empty for none, where a
    // word's stem is its folded form.
    std::string_view stemmer;
    bool turkic_i = false;  // I folds to ı, İ to i
    // Marks that join two letters into one word, as UTF-8 code points.
    std::u32string_view joiners;
    // Elided forms written before an apostrophe ("l" of "l’homme"): words
    // of their own and stop words.
    std::span<const std::string_view> elisions;
    // German nouns in -el and verbs in -eln: the Snowball stem keeps the n
    // of "Regeln", "Inseln", "handeln"; it is dropped, so that they meet
    // "Regel", "Insel" and "Handel".
    bool german_eln = false;
    // Japanese writes its particles, auxiliaries and inflections in
    // hiragana, and its content words with kanji or katakana: a word of
    // hiragana alone is a stop word.
    bool hiragana_stop_words = false;
};

// The languages, English first, then by code.
std::span<const LanguageInfo> language_table();

// The language of code (ISO 639-1, lower case), or nullptr.
const LanguageInfo* find_language(std::string_view code);

// The codes of all languages, "en, af, ar, ..." for messages.
std::string language_list();

// A language's reading of words, shared by every run and thread: its letter
// test, folding and stop list. Stemming needs a Stemmer of its own per run.
class Language {
public:
    // The reading of a language other than English; nullptr for English
    // and for unknown codes.
    static const Language* get(std::string_view code);

    const LanguageInfo& info() const { return *info_; }

    // Whether cp is a letter of a word.
    bool is_letter(char32_t cp) const;
    // is_letter for cp up to U+00FF: the letter set of ISO 8859-1 and every
    // character from U+00C0 up but the signs × and ÷.
    static bool is_latin1_letter(char32_t cp) {
        return letter_bytes[cp] || (cp >= 0xC0 && cp != 0xD7 && cp != 0xF7);
    }
    // Whether cp is a word-internal mark of the language: part of a word
    // when a letter stands on each side of it.
    bool is_joiner(char32_t cp) const {
        return info_->joiners.find(cp) != std::u32string_view::npos;
    }

    // out := word (valid UTF-8) in NFC and folded case.
    void fold(std::string_view word, std::string& out) const;
    // Whether the folded word is a stop word of the language.
    bool is_stop_word(std::string_view folded) const;
    // What the language makes of the Snowball stem of a folded word:
    // stem, or a part of it (German "regeln" to "regel").
    std::string_view adjust_stem(std::string_view stem) const;

    explicit Language(const LanguageInfo& info);

private:
    struct StopSet;
    const LanguageInfo* info_;
    std::shared_ptr<const StopSet> stop_;
};

// The Snowball stemmer of one language, for one thread, with the stems of
// the words it met: each distinct word is stemmed, and looked up on the stop
// list, once.
class Stemmer {
public:
    explicit Stemmer(const Language& language);
    ~Stemmer();
    Stemmer(const Stemmer&) = delete;
    Stemmer& operator=(const Stemmer&) = delete;

    struct Entry {
        std::string_view stem;
        bool stop = false;    // a stop word of the language
        bool letter = false;  // holds a letter: not a number, nor a run of signs
    };
    // What the language makes of a folded word; the stem stays valid until
    // the next call.
    Entry lookup(std::string_view folded);
    // The stem of a folded word; valid until the next call.
    std::string_view stem(std::string_view folded) { return lookup(folded).stem; }
    // Sizes the memory of the stems kept by the text about to be read, of
    // this many bytes: a text can hold no more distinct words than bytes,
    // so the table stays within a small multiple of the text's size however
    // many words it has. Each text read adds its size; the table never
    // takes more than its fixed ceiling.
    void expect_text(std::size_t bytes);

private:
    // The words met are kept in one open-addressing table: a slot holds a
    // word's hash and where its bytes are, its stem right after them, in
    // bytes_. Nothing is allocated per word, and a lookup touches one slot
    // and the bytes it compares.
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t at = 0;           // the word's first byte in bytes_
        std::uint16_t word_length = 0;  // 0: a free slot
        std::uint16_t stem_length = 0;
        bool stop = false;
        bool letter = false;
    };
    // Beyond most_kept_ words, or most_bytes_ bytes of words and stems, the
    // table starts afresh, so that a text of millions of distinct words
    // does not keep them all twice. Both grow with the texts read (a word
    // kept for every 32 bytes, as many bytes as the text) up to these.
    static constexpr std::size_t kMostKept = std::size_t{1} << 20;
    static constexpr std::size_t kMostBytes = std::size_t{1} << 26;
    static constexpr std::size_t kFewestKept = std::size_t{1} << 12;
    static constexpr std::size_t kFewestBytes = std::size_t{1} << 16;
    // Longer words are stemmed every time they are met.
    static constexpr std::size_t kLongestKept = 1024;

    void grow();
    // The slot holding folded, or the free slot where it would go.
    std::size_t place_of(std::string_view folded, std::uint32_t hash) const;

    const Language* language_;
    sb_stemmer* stemmer_ = nullptr;  // none: the stem is the folded word
    std::vector<Slot> slots_;
    std::size_t kept_ = 0;        // words in slots_
    std::size_t text_bytes_ = 0;  // of the texts read so far
    std::size_t most_kept_ = kMostKept;
    std::size_t most_bytes_ = kMostBytes;
    std::string bytes_;
    std::string long_stem_;  // the stem of the last word too long to keep
};

// Language::fold for the words whose every character is ASCII, up to U+00FF,
// or of the basic Cyrillic letters (U+0400 to U+045F), without ICU: there
// NFC changes nothing and full case folding is a table, with ß to "ss".
// Returns false, with out unspecified, for any other word.
bool fold_without_icu(std::string_view word, bool turkic_i, std::string& out);

// The Windows-1252 character of a byte (invalid UTF-8 is read so).
char32_t windows1252(unsigned char byte);

}  // namespace brennic
