// SPDX-License-Identifier: MIT
#include "languages/reading.h"

#include <unicode/ubrk.h>
#include <unicode/uchar.h>

#include <cstring>
#include <memory>

#include "languages/cjk_dictionary.h"
#include "languages/english_stemmer.h"

namespace brennic {

bool is_unicode_letter(char32_t cp) {
    constexpr std::uint32_t kLetterOrMark = U_GC_L_MASK | U_GC_MN_MASK | U_GC_MC_MASK;
    return (U_GET_GC_MASK(static_cast<UChar32>(cp)) & kLetterOrMark) != 0;
}

namespace {

struct BreakIteratorClose {
    void operator()(UBreakIterator* it) const { ubrk_close(it); }
};

// This thread's word break iterator, opened once for the root locale, whose
// rules hand the unspaced scripts to ICU's dictionaries; nullptr when ICU
// cannot open one.
UBreakIterator* word_breaks() {
    thread_local const std::unique_ptr<UBreakIterator, BreakIteratorClose> it = [] {
        UErrorCode code = U_ZERO_ERROR;
        UBreakIterator* opened = ubrk_open(UBRK_WORD, "", nullptr, 0, &code);
        if (U_FAILURE(code)) {
            if (opened != nullptr) ubrk_close(opened);
            opened = nullptr;
        }
        return std::unique_ptr<UBreakIterator, BreakIteratorClose>(opened);
    }();
    return it.get();
}

bool has_high_byte(std::string_view s) {
    for (const char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    }
    return false;
}

void ascii_lowercase(std::string_view word, std::string& out) {
    out.assign(word);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
}

// Maps every character of a UTF-8 word through map; a byte that starts no
// well-formed sequence is kept as it is.
template <class Map>
void map_utf8(std::string_view word, std::string& out, Map map) {
    out.clear();
    for (std::size_t i = 0; i < word.size();) {
        const std::size_t len = utf8_sequence_length(word, i);
        if (len == 0) {
            out += word[i++];
            continue;
        }
        append_utf8(out, map(utf8_decode(word, i, len)));
        i += len;
    }
}

char32_t lower(char32_t cp) {
    if (cp < 0x80) return cp >= 'A' && cp <= 'Z' ? cp - 'A' + 'a' : cp;
    return static_cast<char32_t>(u_tolower(static_cast<UChar32>(cp)));
}

char32_t upper(char32_t cp) {
    if (cp < 0x80) return cp >= 'a' && cp <= 'z' ? cp - 'a' + 'A' : cp;
    return static_cast<char32_t>(u_toupper(static_cast<UChar32>(cp)));
}

}  // namespace

namespace {

// Katakana and its long vowel mark (U+30A1 to U+30FA, U+30FC to U+30FF,
// U+31F0 to U+31FF, half-width U+FF66 to U+FF9F).
bool is_katakana(char32_t cp) {
    return (cp >= 0x30A1 && cp <= 0x30FF && cp != 0x30FB) || (cp >= 0x31F0 && cp <= 0x31FF) ||
           (cp >= 0xFF66 && cp <= 0xFF9F);
}

// A stretch of a run is cut at most this many UTF-16 units at a time: a
// longer one (a megabyte of ideographs without a stop) is cut at a
// character, so that the buffers below stay small.
constexpr std::size_t kLongestStretch = std::size_t{1} << 18;

// A stretch of a run of an unspaced script in UTF-16, with the byte of the
// UTF-8 run where it starts and, for each unit, the byte where that unit
// starts counted from there, and one more entry for its end. The offsets
// are the stretch's own so that they fit 32 bits however long the run.
struct Utf16Stretch {
    std::size_t base = 0;
    std::u16string units;
    std::vector<std::uint32_t> byte_of;
};

// The words of a stretch (no katakana in it), appended to out as pieces of
// bytes: the dictionary's cut where every character is an ideograph or
// hiragana, else ICU's word break iterator, of whose pieces only those it
// holds for words of letters, kana or ideographs are kept.
void dictionary_words(std::string_view bytes, const Utf16Stretch& stretch, bool dictionary_set,
                      std::vector<std::string_view>& out) {
    const auto piece = [&](std::size_t a, std::size_t b) {
        const std::uint32_t start = stretch.byte_of[a];
        const std::uint32_t end = stretch.byte_of[b];
        if (end > start) out.push_back(bytes.substr(stretch.base + start, end - start));
    };
    const std::u16string_view units = stretch.units;
    if (units.size() <= 1 || (units.size() == 2 && stretch.byte_of[0] == stretch.byte_of[1])) {
        piece(0, units.size());  // one character is one word: no call needed
        return;
    }
    thread_local std::vector<std::uint32_t> ends;
    if (dictionary_set && cut_by_cjk_dictionary(units, ends)) {
        std::size_t start = 0;
        for (const std::uint32_t end : ends) {
            piece(start, end);
            start = end;
        }
        return;
    }
    UBreakIterator* it = word_breaks();
    UErrorCode code = U_ZERO_ERROR;
    if (it != nullptr) {
        ubrk_setText(it, units.data(), static_cast<int32_t>(units.size()), &code);
    }
    if (it == nullptr || U_FAILURE(code)) {
        piece(0, units.size());
        return;
    }
    int32_t start = ubrk_first(it);
    for (int32_t end = ubrk_next(it); end != UBRK_DONE; start = end, end = ubrk_next(it)) {
        const int32_t status = ubrk_getRuleStatus(it);
        if (status < UBRK_WORD_LETTER || status >= UBRK_WORD_IDEO_LIMIT) continue;
        piece(static_cast<std::size_t>(start), static_cast<std::size_t>(end));
    }
}

}  // namespace

void unspaced_words(std::string_view bytes, std::vector<std::string_view>& out) {
    // A run of katakana is one word: Japanese writes its loanwords and
    // foreign names in it ("ブレグジット", "ネスレ"), which the dictionary
    // does not know and would cut apart. The rest goes to the dictionary a
    // stretch between two katakana runs at a time, converted to UTF-16 as
    // the run is walked.
    thread_local Utf16Stretch stretch;
    stretch.units.clear();
    stretch.byte_of.clear();
    bool dictionary_set = true;
    constexpr std::size_t kNone = std::string_view::npos;
    std::size_t katakana = kNone;  // where the katakana run being read starts
    const auto end_stretch = [&](std::size_t end) {
        if (stretch.units.empty()) return;
        stretch.byte_of.push_back(static_cast<std::uint32_t>(end - stretch.base));
        dictionary_words(bytes, stretch, dictionary_set, out);
        stretch.units.clear();
        stretch.byte_of.clear();
        dictionary_set = true;
    };
    for (std::size_t i = 0; i < bytes.size();) {
        // The run is well-formed UTF-8: its length shows in its first byte.
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t len = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (i + len > bytes.size()) len = bytes.size() - i;
        const char32_t cp = utf8_decode(bytes, i, len);
        if (is_katakana(cp)) {
            if (katakana == kNone) {
                end_stretch(i);
                katakana = i;
            }
            i += len;
            continue;
        }
        if (katakana != kNone) {
            out.push_back(bytes.substr(katakana, i - katakana));
            katakana = kNone;
        }
        if (stretch.units.size() >= kLongestStretch) end_stretch(i);
        if (stretch.units.empty()) stretch.base = i;
        dictionary_set = dictionary_set && in_cjk_dictionary_set(cp);
        const auto at = static_cast<std::uint32_t>(i - stretch.base);
        if (cp > 0xFFFF) {
            stretch.units += static_cast<char16_t>(0xD7C0 + (cp >> 10));
            stretch.units += static_cast<char16_t>(0xDC00 | (cp & 0x3FF));
            stretch.byte_of.push_back(at);
            stretch.byte_of.push_back(at);
        } else {
            stretch.units += static_cast<char16_t>(cp);
            stretch.byte_of.push_back(at);
        }
        i += len;
    }
    if (katakana != kNone) {
        out.push_back(bytes.substr(katakana));
    } else {
        end_stretch(bytes.size());
    }
}

Reading Reading::of(std::string_view text, Encoding choice) {
    switch (choice) {
        case Encoding::latin1:
            return latin1();
        case Encoding::utf8:
            return utf8();
        case Encoding::automatic:
            break;
    }
    return has_high_byte(text) && is_valid_utf8(text) ? utf8() : latin1();
}

Reading Reading::of(std::string_view text, Encoding choice, const Language* language,
                    Stemmer* stemmer) {
    Reading reading = of(text, choice);
    reading.language_ = language;
    reading.stemmer_ = language != nullptr ? stemmer : nullptr;
    return reading;
}

std::string_view Reading::as_utf8(std::string_view word, std::string& scratch) const {
    if (utf8_ || !has_high_byte(word)) return word;
    scratch.clear();
    for (const char c : word) append_utf8(scratch, windows1252(static_cast<unsigned char>(c)));
    return scratch;
}

long long Reading::count_words(std::string_view text) const {
    long long n = 0;
    for_each_word(text, [&n](std::string_view) { ++n; });
    return n;
}

void Reading::lowercase(std::string_view word, std::string& out) const {
    if (language_ != nullptr) {
        // A word is a run of letters, so it holds no invalid UTF-8 (a byte
        // that starts no character is no letter).
        thread_local std::string scratch;
        language_->fold(as_utf8(word, scratch), out);
        return;
    }
    if (!utf8_ || !has_high_byte(word)) {
        ascii_lowercase(word, out);
    } else {
        map_utf8(word, out, lower);
    }
}

bool Reading::is_stopword(std::string_view word) const {
    if (language_ != nullptr) {
        thread_local std::string folded;
        lowercase(word, folded);
        return language_->is_stop_word(folded);
    }
    // Stop words are short and made of ASCII letters; a longer word, or a
    // word with a character that cannot lower-case to one, is none. (A few
    // characters above U+00FF do, such as the Kelvin sign to "k".)
    constexpr std::size_t kLongestStopWord = 13;
    if (word.size() > (utf8_ ? 3 : 1) * kLongestStopWord) return false;
    std::string lower;
    lowercase(word, lower);
    return stopword(lower) != 0;
}

void Reading::stem(std::string_view word, std::string& out) const {
    if (language_ != nullptr) {
        thread_local std::string folded;
        lowercase(word, folded);
        if (stemmer_ != nullptr) {
            out.assign(stemmer_->stem(folded));
        } else {
            out.assign(folded);
        }
        return;
    }
    lowercase(word, out);
    get_stem(out, out);
}

bool Reading::stem_and_content(std::string_view word, std::string& out) const {
    thread_local std::string folded;
    lowercase(word, folded);
    const Stemmer::Entry entry = stemmer_->lookup(folded);
    out.clear();
    if (entry.stop) out += kStopStemMark;
    out.append(entry.stem);
    return !entry.stop && entry.letter;
}

void Reading::capitalize_first(std::string& s) const {
    if (s.empty()) return;
    const auto b = static_cast<unsigned char>(s[0]);
    if (language_ != nullptr && b == 'i' && language_->info().turkic_i) {
        s.replace(0, 1, "\u0130");  // İ
        return;
    }
    if (language_ != nullptr && !utf8_ && b >= 0xE0 && b != 0xF7 && b != 0xFF) {
        s[0] = static_cast<char>(b - 0x20);  // Windows-1252 à to þ
        return;
    }
    if (b < 0x80 || !utf8_) {
        if (b >= 'a' && b <= 'z') s[0] = static_cast<char>(b - 'a' + 'A');
        return;
    }
    // Only a letter changes: a symbol such as ÿ or µ (no letters here) stays
    // what it is, so the condensed text holds the same words.
    const std::size_t len = utf8_sequence_length(s, 0);
    if (len == 0) return;
    const char32_t cp = utf8_decode(s, 0, len);
    if (!(language_ != nullptr ? language_->is_letter(cp) : is_letter(cp))) return;
    std::string first;
    append_utf8(first, upper(cp));
    s.replace(0, len, first);
}

}  // namespace brennic
