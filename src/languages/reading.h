// SPDX-License-Identifier: MIT
// How the bytes of one text become words: which characters are letters,
// how a word is lower-cased, stemmed and tested against the stop list, and
// how a condensed sentence's first character is upper-cased.
//
// A text is read in one of two ways, decided once per text:
// - byte by byte as ISO 8859-1: a letter is a byte of the letter set, and
//   only A to Z change case;
// - as UTF-8 characters: a character up to U+00FF is a letter when its
//   ISO 8859-1 byte is, one above when Unicode classes it as a letter or a
//   combining mark (L*, Mn, Mc); case is Unicode's simple one-to-one mapping.
// Every pass over a text (reading, counting, condensing, the query, the
// public word helpers) asks its Reading, so all of them meet the same words.
//
// A text in a language other than English (languages.h) is read either way
// too, UTF-8 or, when it is not, byte by byte as Windows-1252, but with the
// language's letters, joiners, case folding, stemmer and stop list.
#pragma once

#include <brennic/brennic.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/utf8.h"
#include "languages/language_res.h"
#include "languages/languages.h"

namespace brennic {

// Whether a character above U+00FF is a letter or a combining mark.
bool is_unicode_letter(char32_t cp);

// Whether cp belongs to a script written without spaces between its words:
// Han ideographs, hiragana and katakana, Thai, Lao, Myanmar and Khmer.
constexpr bool is_unspaced_script(char32_t cp) {
    if (cp < 0x0E00) return false;
    return cp <= 0x0EFF                          // Thai, Lao
           || (cp >= 0x1000 && cp <= 0x109F)     // Myanmar
           || (cp >= 0x1780 && cp <= 0x17FF)     // Khmer
           || (cp >= 0x19E0 && cp <= 0x19FF)     // Khmer symbols
           || (cp >= 0x3005 && cp <= 0x3006)     // 々 〆
           || (cp >= 0x3040 && cp <= 0x30FF)     // hiragana, katakana
           || (cp >= 0x31F0 && cp <= 0x31FF)     // katakana extensions
           || (cp >= 0x3400 && cp <= 0x4DBF)     // Han extension A
           || (cp >= 0x4E00 && cp <= 0x9FFF)     // Han
           || (cp >= 0xA9E0 && cp <= 0xA9FF)     // Myanmar extended-B
           || (cp >= 0xAA60 && cp <= 0xAA7F)     // Myanmar extended-A
           || (cp >= 0xF900 && cp <= 0xFAFF)     // Han compatibility
           || (cp >= 0xFF66 && cp <= 0xFF9F)     // half-width katakana
           || (cp >= 0x20000 && cp <= 0x3134F);  // Han extensions B to G
}

// The words of run, a run of letters of the unspaced scripts (valid UTF-8),
// appended to out: a run of katakana is one word; the rest is cut by ICU's
// dictionary-based word break iterator, and only the pieces that ICU holds
// for words of letters, kana or ideographs are kept.
void unspaced_words(std::string_view run, std::vector<std::string_view>& out);

// Outside English a stop word is counted under its stem with this mark
// before it, so that a content word with the same stem ("Sicherheit" and
// "sich" in German) never takes the stop word's count, nor the stop word
// the content word's.
inline constexpr char kStopStemMark = '\x01';

// The stem under which the summarizer counts a word, as it is shown: the
// mark of a stop word's stem taken off.
inline std::string_view shown_stem(std::string_view counted) {
    if (!counted.empty() && counted.front() == kStopStemMark) counted.remove_prefix(1);
    return counted;
}

class Reading {
public:
    // ISO 8859-1, byte by byte.
    constexpr Reading() = default;
    static constexpr Reading latin1() { return Reading(false); }
    static constexpr Reading utf8() { return Reading(true); }

    // The reading that choice gives text: UTF-8 when it is forced, or when
    // it is automatic and the bytes are valid UTF-8 holding at least one
    // byte from 0x80 up; ISO 8859-1 otherwise.
    static Reading of(std::string_view text, Encoding choice);
    // The same choice, for a text in language (nullptr: English), stemmed by
    // stemmer, a Stemmer of language that outlives the reading.
    static Reading of(std::string_view text, Encoding choice, const Language* language,
                      Stemmer* stemmer);

    // The language read; nullptr for English.
    const Language* language() const { return language_; }
    // The stemmer of that language; nullptr for English.
    Stemmer* stemmer() const { return stemmer_; }

    bool is_utf8() const { return utf8_; }
    Encoding encoding() const { return utf8_ ? Encoding::utf8 : Encoding::latin1; }
    friend bool operator==(Reading, Reading) = default;

    // Calls f(character, letter) for every character of text in order:
    // character is its bytes. Under UTF-8 a byte that starts no well-formed
    // sequence is a character of its own and no letter.
    template <class F>
    void for_each_char(std::string_view text, F&& f) const {
        if (language_ != nullptr) return for_each_language_char(text, f);
        const std::size_t n = text.size();
        for (std::size_t i = 0; i < n;) {
            const auto b = static_cast<unsigned char>(text[i]);
            if (b < 0x80 || !utf8_) {
                f(text.substr(i, 1), letter_bytes[b]);
                ++i;
                continue;
            }
            const std::size_t len = utf8_sequence_length(text, i);
            f(text.substr(i, len == 0 ? 1 : len), len != 0 && is_letter(utf8_decode(text, i, len)));
            i += len == 0 ? 1 : len;
        }
    }

    // Calls f(word) for every maximal run of letters in text, in order.
    template <class F>
    void for_each_word(std::string_view text, F&& f) const {
        if (language_ != nullptr) {
            // As for_each_language_char. ASCII, where no joiner is, is taken
            // a run at a time, and letters up to U+00FF are told apart
            // without a call: they are most of the letters of the languages
            // written in Latin script.
            // A run of letters of the unspaced scripts is cut into words
            // by ICU; the letters of other scripts next to it are words of
            // their own.
            const std::size_t n = text.size();
            const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
            WordRuns<F> runs{text, f};
            std::vector<std::string_view> pieces;
            for (std::size_t i = 0; i < n;) {
                const auto b = byte(i);
                if (b < 0x80) {
                    const bool letter = letter_bytes[b];
                    runs.at(i, letter);
                    ++i;
                    while (i < n && byte(i) < 0x80 && letter_bytes[byte(i)] == letter) ++i;
                    continue;
                }
                std::size_t len = 2;
                char32_t cp;
                bool letter;
                if (utf8_ && (b == 0xC2 || b == 0xC3) && i + 1 < n &&
                    (byte(i + 1) & 0xC0) == 0x80) {
                    cp = ((b & 0x1Fu) << 6) | (byte(i + 1) & 0x3Fu);
                    letter = Language::is_latin1_letter(cp);
                } else {
                    cp = language_char(text, i, len);
                    letter = language_->is_letter(cp);
                    if (letter && utf8_ && is_unspaced_script(cp)) {
                        runs.at(i, false);
                        std::size_t end = i + len;
                        while (end < n) {
                            std::size_t next_len = 0;
                            const char32_t next = language_char(text, end, next_len);
                            if (!is_unspaced_script(next) || !language_->is_letter(next)) break;
                            end += next_len;
                        }
                        pieces.clear();
                        unspaced_words(text.substr(i, end - i), pieces);
                        for (const std::string_view word : pieces) f(word);
                        i = end;
                        continue;
                    }
                }
                if (!letter && runs.in_word && i + len < n && language_->is_joiner(cp)) {
                    std::size_t next_len = 0;
                    letter = language_->is_letter(language_char(text, i + len, next_len));
                }
                runs.at(i, letter);
                i += len;
            }
            runs.end();
            return;
        }
        const std::size_t n = text.size();
        std::size_t start = 0;
        if (!utf8_) {
            while (start < n) {
                while (start < n && !letter_bytes[static_cast<unsigned char>(text[start])]) ++start;
                std::size_t end = start;
                while (end < n && letter_bytes[static_cast<unsigned char>(text[end])]) ++end;
                if (end > start) f(text.substr(start, end - start));
                start = end;
            }
            return;
        }
        WordRuns<F> runs{text, f};
        for (std::size_t i = 0; i < n;) {
            const auto b = static_cast<unsigned char>(text[i]);
            std::size_t len = 1;
            bool letter;
            if (b < 0x80) {
                letter = letter_bytes[b];
            } else {
                len = utf8_sequence_length(text, i);
                letter = len != 0 && is_letter(utf8_decode(text, i, len));
                if (len == 0) len = 1;
            }
            runs.at(i, letter);
            i += len;
        }
        runs.end();
    }

    // The number of words of text.
    long long count_words(std::string_view text) const;

    // out := word in lower case.
    void lowercase(std::string_view word, std::string& out) const;
    // Whether word, in any case, is on the stop list.
    bool is_stopword(std::string_view word) const;
    // out := the stem word is counted under: the Porter stem of the last
    // run of ASCII letters of the word in lower case, or the word in lower
    // case when it has none. word and out may not be the same string.
    void stem(std::string_view word, std::string& out) const;
    // Under a language: out := the stem word is counted under: as stem()
    // gives it, with kStopStemMark before it for a stop word; returns
    // whether word is a content word, one that scores: neither a stop word
    // nor a word without a letter (a number such as "1954" or "3-4", which
    // names no topic however often it recurs). Folds the word once for all.
    bool stem_and_content(std::string_view word, std::string& out) const;
    // Upper-cases the first character of s in place when it is a letter.
    void capitalize_first(std::string& s) const;

    // Whether a character of a UTF-8 text is a letter.
    static bool is_letter(char32_t cp) {
        return cp <= 0xFF ? letter_bytes[cp] : is_unicode_letter(cp);
    }

private:
    explicit constexpr Reading(bool utf8) : utf8_(utf8) {}

    // Follows a walk over the characters of text and hands f each maximal
    // run of letters once it ends.
    template <class F>
    struct WordRuns {
        std::string_view text;
        F& f;
        bool in_word = false;
        std::size_t start = 0;
        // The character at byte i is a letter or not.
        void at(std::size_t i, bool letter) {
            if (letter == in_word) return;
            if (letter) {
                start = i;
            } else {
                f(text.substr(start, i - start));
            }
            in_word = letter;
        }
        // The walk has reached the end of text.
        void end() {
            if (in_word) f(text.substr(start));
        }
    };

    // The character at text[i] under a language, and its length in bytes.
    char32_t language_char(std::string_view text, std::size_t i, std::size_t& len) const {
        const auto b = static_cast<unsigned char>(text[i]);
        len = 1;
        if (b < 0x80) return b;
        if (!utf8_) return windows1252(b);
        len = utf8_sequence_length(text, i);
        if (len == 0) {
            len = 1;
            return 0xFFFD;  // a byte that starts no character: no letter
        }
        return utf8_decode(text, i, len);
    }

    // for_each_char under a language: a joiner is a letter when a letter
    // stands on each side of it.
    template <class F>
    void for_each_language_char(std::string_view text, F&& f) const {
        const std::size_t n = text.size();
        bool after_letter = false;
        for (std::size_t i = 0; i < n;) {
            std::size_t len = 0;
            const char32_t cp = language_char(text, i, len);
            bool letter = language_->is_letter(cp);
            if (!letter && after_letter && i + len < n && language_->is_joiner(cp)) {
                std::size_t next_len = 0;
                letter = language_->is_letter(language_char(text, i + len, next_len));
            }
            f(text.substr(i, len), letter);
            after_letter = letter;
            i += len;
        }
    }

    // word as UTF-8: word itself when read as UTF-8, else its Windows-1252
    // characters written to scratch.
    std::string_view as_utf8(std::string_view word, std::string& scratch) const;

    bool utf8_ = false;
    const Language* language_ = nullptr;
    Stemmer* stemmer_ = nullptr;
};

}  // namespace brennic
