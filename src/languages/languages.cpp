// SPDX-License-Identifier: MIT
#include "languages/languages.h"

#include <libstemmer.h>
#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <array>
#include <functional>
#include <mutex>
#include <new>
#include <stdexcept>
#include <unordered_set>

#include "common/utf8.h"
#include "languages/language_res.h"
#include "languages/stop_list_data.h"

namespace brennic {
namespace {

constexpr std::u32string_view kNoJoiners;
// Zero-width non-joiner and joiner: inside words of the Arabic and Indic
// scripts they only choose a letter's shape.
constexpr std::u32string_view kZeroWidthJoiners = U"\u200C\u200D";
// Middle dot of "l·l", and the hyphenation point sometimes typed for it.
constexpr std::u32string_view kCatalanJoiners = U"\u00B7\u2027";
// Geresh and gershayim (abbreviations and contractions such as ס׳איז), and
// maqaf, the Hebrew hyphen.
constexpr std::u32string_view kHebrewJoiners = U"\u05F3\u05F4\u05BE";

constexpr std::string_view kFrenchElisions[] = {
    "c", "d", "j", "l", "m", "n", "s", "t", "qu", "jusqu", "lorsqu", "puisqu", "quoiqu", "presqu"};
constexpr std::string_view kItalianElisions[] = {"l",    "d",     "c",     "s",      "un",
                                                 "all",  "dall",  "dell",  "nell",   "sull",
                                                 "coll", "quell", "quest", "nessun", "po"};
constexpr std::string_view kCatalanElisions[] = {"l", "d", "s", "m", "t", "n"};

// Apostrophes written inside Ukrainian words ("м’ясо", "п’ять").
constexpr std::u32string_view kUkrainianJoiners = U"\u2019\u02BC";

// A language without a Snowball stemmer of its own has none: its words are
// counted in their folded form. Croatian takes the Serbian algorithm, made
// for the Serbo-Croatian standards, Malay the Indonesian one, whose affixes
// it shares, and Ukrainian the Russian one, which meets most of its case
// and verb endings (on news read in both languages it chooses the lines
// chosen in English far more often than the folded words do).
constexpr std::array<LanguageInfo, 56> kLanguages{{
    {"en", "English", "porter", false, kNoJoiners, {}},
    {"af", "Afrikaans", "", false, kNoJoiners, {}},
    {"ar", "Arabic", "arabic", false, kZeroWidthJoiners, {}},
    {"bg", "Bulgarian", "", false, kNoJoiners, {}},
    {"bn", "Bengali", "", false, kZeroWidthJoiners, {}},
    {"ca", "Catalan", "catalan", false, kCatalanJoiners, kCatalanElisions},
    {"cs", "Czech", "", false, kNoJoiners, {}},
    {"da", "Danish", "danish", false, kNoJoiners, {}},
    {"de", "German", "german", false, kNoJoiners, {}, true},
    {"el", "Greek", "greek", false, kNoJoiners, {}},
    {"es", "Spanish", "spanish", false, kNoJoiners, {}},
    {"et", "Estonian", "", false, kNoJoiners, {}},
    {"eu", "Basque", "basque", false, kNoJoiners, {}},
    {"fa", "Persian", "", false, kZeroWidthJoiners, {}},
    {"fi", "Finnish", "finnish", false, kNoJoiners, {}},
    {"fr", "French", "french", false, kNoJoiners, kFrenchElisions},
    {"ga", "Irish", "irish", false, kNoJoiners, {}},
    {"gl", "Galician", "", false, kNoJoiners, {}},
    {"gu", "Gujarati", "", false, kZeroWidthJoiners, {}},
    {"he", "Hebrew", "", false, kHebrewJoiners, {}},
    {"hi", "Hindi", "hindi", false, kZeroWidthJoiners, {}},
    {"hr", "Croatian", "serbian", false, kNoJoiners, {}},
    {"hu", "Hungarian", "hungarian", false, kNoJoiners, {}},
    {"hy", "Armenian", "armenian", false, kNoJoiners, {}},
    {"id", "Indonesian", "indonesian", false, kNoJoiners, {}},
    {"is", "Icelandic", "", false, kNoJoiners, {}},
    {"it", "Italian", "italian", false, kNoJoiners, kItalianElisions},
    {"ja", "Japanese", "", false, kNoJoiners, {}, false, true},
    {"ko", "Korean", "", false, kNoJoiners, {}},
    {"ku", "Kurdish", "", false, kNoJoiners, {}},
    {"lt", "Lithuanian", "lithuanian", false, kNoJoiners, {}},
    {"lv", "Latvian", "", false, kNoJoiners, {}},
    {"mr", "Marathi", "", false, kZeroWidthJoiners, {}},
    {"ms", "Malay", "indonesian", false, kNoJoiners, {}},
    {"ne", "Nepali", "nepali", false, kZeroWidthJoiners, {}},
    {"nl", "Dutch", "dutch", false, kNoJoiners, {}},
    {"no", "Norwegian", "norwegian", false, kNoJoiners, {}},
    {"pl", "Polish", "", false, kNoJoiners, {}},
    {"pt", "Portuguese", "portuguese", false, kNoJoiners, {}},
    {"ro", "Romanian", "romanian", false, kNoJoiners, {}},
    {"ru", "Russian", "russian", false, kNoJoiners, {}},
    {"sk", "Slovak", "", false, kNoJoiners, {}},
    {"sl", "Slovenian", "", false, kNoJoiners, {}},
    {"sr", "Serbian", "serbian", false, kNoJoiners, {}},
    {"st", "Sotho", "", false, kNoJoiners, {}},
    {"sv", "Swedish", "swedish", false, kNoJoiners, {}},
    {"sw", "Swahili", "", false, kNoJoiners, {}},
    {"ta", "Tamil", "tamil", false, kZeroWidthJoiners, {}},
    {"th", "Thai", "", false, kNoJoiners, {}},
    {"tl", "Tagalog", "", false, kNoJoiners, {}},
    {"tr", "Turkish", "turkish", true, kNoJoiners, {}},
    {"uk", "Ukrainian", "russian", false, kUkrainianJoiners, {}},
    {"ur", "Urdu", "", false, kZeroWidthJoiners, {}},
    {"vi", "Vietnamese", "", false, kNoJoiners, {}},
    {"yi", "Yiddish", "yiddish", false, kHebrewJoiners, {}},
    {"zh", "Chinese", "", false, kNoJoiners, {}},
}};

constexpr char32_t kWindows1252High[32] = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

[[noreturn]] void unicode_failure(UErrorCode code) {
    if (code == U_MEMORY_ALLOCATION_ERROR) throw std::bad_alloc();
    throw std::runtime_error(std::string("Unicode conversion failed: ") + u_errorName(code));
}

// Runs an ICU call that writes into out, growing out once when it is too
// small; returns the length written.
template <class Out, class F>
int32_t into(Out& out, F&& f) {
    UErrorCode code = U_ZERO_ERROR;
    int32_t n = f(out.data(), static_cast<int32_t>(out.size()), &code);
    if (code == U_BUFFER_OVERFLOW_ERROR) {
        out.resize(static_cast<std::size_t>(n));
        code = U_ZERO_ERROR;
        n = f(out.data(), static_cast<int32_t>(out.size()), &code);
    }
    if (U_FAILURE(code)) unicode_failure(code);
    return n;
}

// Whether a folded word holds a letter: a character of Unicode's letter
// categories. Digits, '-', '_' and the signs of the ISO 8859-1 letter set
// (°, ², ¹) are word characters but no letters, so "1954", "3-4" and "4°"
// hold none.
bool has_letter(std::string_view word) {
    for (std::size_t i = 0; i < word.size();) {
        const auto b = static_cast<unsigned char>(word[i]);
        if (b < 0x80) {
            if ((b | 0x20) >= 'a' && (b | 0x20) <= 'z') return true;
            ++i;
            continue;
        }
        const std::size_t len = utf8_sequence_length(word, i);
        if (len == 0) {
            ++i;
            continue;
        }
        if (u_isalpha(static_cast<UChar32>(utf8_decode(word, i, len)))) return true;
        i += len;
    }
    return false;
}

}  // namespace

std::span<const LanguageInfo> language_table() { return kLanguages; }

const LanguageInfo* find_language(std::string_view code) {
    for (const LanguageInfo& info : kLanguages) {
        if (info.code == code) return &info;
    }
    return nullptr;
}

std::string language_list() {
    std::string codes;
    for (const LanguageInfo& info : kLanguages) {
        if (!codes.empty()) codes += ", ";
        codes += info.code;
    }
    return codes;
}

char32_t windows1252(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte;
}

// The folded stop words and elided forms of a language.
struct Language::StopSet {
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    std::unordered_set<std::string, Hash, std::equal_to<>> words;
};

Language::Language(const LanguageInfo& info) : info_(&info) {
    auto stop = std::make_shared<StopSet>();
    std::string folded;
    const auto add = [&](std::string_view word) {
        fold(word, folded);
        stop->words.insert(folded);
    };
    for (const StopListText& list : stop_list_texts()) {
        // <code>.extra: words the project adds to a published list.
        if (list.language != info.code && list.language != std::string(info.code) + ".extra") {
            continue;
        }
        std::string_view rest = list.words;
        while (!rest.empty()) {
            const std::size_t eol = rest.find('\n');
            std::string_view word = rest.substr(0, eol);
            if (!word.empty() && word.back() == '\r') word.remove_suffix(1);
            // A line that starts with '#' is a comment (a list's notice).
            if (!word.empty() && word.front() != '#') add(word);
            if (eol == std::string_view::npos) break;
            rest.remove_prefix(eol + 1);
        }
    }
    for (const std::string_view word : info.elisions) add(word);
    stop_ = std::move(stop);
}

const Language* Language::get(std::string_view code) {
    static std::array<std::once_flag, kLanguages.size()> once;
    static std::array<std::unique_ptr<const Language>, kLanguages.size()> readings;
    for (std::size_t i = 1; i < kLanguages.size(); ++i) {
        if (kLanguages[i].code != code) continue;
        std::call_once(once[i], [i] { readings[i] = std::make_unique<Language>(kLanguages[i]); });
        return readings[i].get();
    }
    return nullptr;
}

bool Language::is_letter(char32_t cp) const {
    if (cp < 0x80) return letter_bytes[cp];
    if (cp <= 0xFF) return is_latin1_letter(cp);
    const int8_t type = u_charType(static_cast<UChar32>(cp));
    return (type >= U_UPPERCASE_LETTER && type <= U_OTHER_LETTER) || type == U_NON_SPACING_MARK ||
           type == U_COMBINING_SPACING_MARK;
}

bool fold_without_icu(std::string_view word, bool turkic_i, std::string& out) {
    out.clear();
    const std::size_t n = word.size();
    for (std::size_t i = 0; i < n;) {
        const auto b = static_cast<unsigned char>(word[i]);
        if (b < 0x80) {
            if (b >= 'A' && b <= 'Z') {
                if (b == 'I' && turkic_i) {
                    out += "\u0131";
                } else {
                    out += static_cast<char>(b - 'A' + 'a');
                }
            } else {
                out += static_cast<char>(b);
            }
            ++i;
            continue;
        }
        if (i + 1 >= n || (static_cast<unsigned char>(word[i + 1]) & 0xC0) != 0x80) return false;
        const char32_t cp = ((b & 0x1Fu) << 6) | (static_cast<unsigned char>(word[i + 1]) & 0x3Fu);
        char32_t folded = cp;
        if (b == 0xC2 || b == 0xC3) {
            if (cp == 0xDF) {
                out += "ss";
                i += 2;
                continue;
            }
            if (cp == 0xB5) folded = 0x03BC;  // micro sign to mu
            if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) folded = cp + 0x20;
        } else if (b == 0xD0 || (b == 0xD1 && cp <= 0x045F)) {
            if (cp >= 0x0410 && cp <= 0x042F) folded = cp + 0x20;
            if (cp <= 0x040F) folded = cp + 0x50;
        } else {
            return false;
        }
        append_utf8(out, folded);
        i += 2;
    }
    return true;
}

void Language::fold(std::string_view word, std::string& out) const {
    if (fold_without_icu(word, info_->turkic_i, out)) return;
    thread_local std::u16string utf16, normal, folded;
    utf16.resize(word.size() + 1);
    utf16.resize(static_cast<std::size_t>(into(utf16, [&](char16_t* d, int32_t n, UErrorCode* e) {
        int32_t length = 0;
        u_strFromUTF8(d, n, &length, word.data(), static_cast<int32_t>(word.size()), e);
        return length;
    })));
    UErrorCode code = U_ZERO_ERROR;
    const UNormalizer2* nfc = unorm2_getNFCInstance(&code);
    if (U_FAILURE(code)) unicode_failure(code);
    const std::u16string* source = &utf16;
    code = U_ZERO_ERROR;
    if (!unorm2_isNormalized(nfc, utf16.data(), static_cast<int32_t>(utf16.size()), &code)) {
        normal.resize(utf16.size() + 4);
        normal.resize(static_cast<std::size_t>(into(normal, [&](char16_t* d, int32_t n,
                                                                UErrorCode* e) {
            return unorm2_normalize(nfc, utf16.data(), static_cast<int32_t>(utf16.size()), d, n, e);
        })));
        source = &normal;
    }
    const uint32_t options = info_->turkic_i ? U_FOLD_CASE_EXCLUDE_SPECIAL_I : U_FOLD_CASE_DEFAULT;
    folded.resize(source->size() + 4);
    folded.resize(static_cast<std::size_t>(into(folded, [&](char16_t* d, int32_t n, UErrorCode* e) {
        return u_strFoldCase(d, n, source->data(), static_cast<int32_t>(source->size()), options,
                             e);
    })));
    out.resize(folded.size() * 3 + 1);
    out.resize(static_cast<std::size_t>(into(out, [&](char* d, int32_t n, UErrorCode* e) {
        int32_t length = 0;
        u_strToUTF8(d, n, &length, folded.data(), static_cast<int32_t>(folded.size()), e);
        return length;
    })));
}

namespace {

// Whether word is made of hiragana alone (U+3041 to U+309F, and the long
// vowel mark ー).
bool all_hiragana(std::string_view word) {
    if (word.empty()) return false;
    for (std::size_t i = 0; i < word.size(); i += 3) {
        if (utf8_sequence_length(word, i) != 3) return false;
        const char32_t cp = utf8_decode(word, i, 3);
        if (!((cp >= 0x3041 && cp <= 0x309F) || cp == 0x30FC)) return false;
    }
    return true;
}

}  // namespace

bool Language::is_stop_word(std::string_view folded) const {
    if (info_->hiragana_stop_words && all_hiragana(folded)) return true;
    return stop_->words.find(folded) != stop_->words.end();
}

std::string_view Language::adjust_stem(std::string_view stem) const {
    if (info_->german_eln && stem.ends_with("eln")) stem.remove_suffix(1);
    return stem;
}

Stemmer::Stemmer(const Language& language) : language_(&language) {
    const std::string_view algorithm = language.info().stemmer;
    if (algorithm.empty()) return;
    stemmer_ = sb_stemmer_new(std::string(algorithm).c_str(), "UTF_8");
    if (stemmer_ == nullptr) throw std::bad_alloc();
}

Stemmer::~Stemmer() {
    if (stemmer_ != nullptr) sb_stemmer_delete(stemmer_);
}

void Stemmer::expect_text(std::size_t bytes) {
    text_bytes_ = bytes > kMostBytes - text_bytes_ ? kMostBytes : text_bytes_ + bytes;
    most_kept_ = std::clamp(text_bytes_ / 32, kFewestKept, kMostKept);
    most_bytes_ = std::clamp(text_bytes_, kFewestBytes, kMostBytes);
}

void Stemmer::grow() {
    // Twice the words kept at most, so that a lookup finds a free slot soon.
    std::size_t first = 64;
    while (first < std::size_t{1} << 16 && first < 2 * most_kept_) first *= 2;
    std::vector<Slot> slots(slots_.empty() ? first : slots_.size() * 2);
    const std::size_t mask = slots.size() - 1;
    for (const Slot& slot : slots_) {
        if (slot.word_length == 0) continue;
        std::size_t i = slot.hash & mask;
        while (slots[i].word_length != 0) i = (i + 1) & mask;
        slots[i] = slot;
    }
    slots_ = std::move(slots);
}

std::size_t Stemmer::place_of(std::string_view folded, std::uint32_t hash) const {
    const std::string_view bytes(bytes_);
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    for (; slots_[i].word_length != 0; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.hash == hash && bytes.substr(slot.at, slot.word_length) == folded) break;
    }
    return i;
}

Stemmer::Entry Stemmer::lookup(std::string_view folded) {
    const auto hash = static_cast<std::uint32_t>(std::hash<std::string_view>{}(folded));
    if (slots_.empty()) grow();
    std::size_t i = place_of(folded, hash);
    if (const Slot& slot = slots_[i]; slot.word_length != 0) {
        return {std::string_view(bytes_).substr(slot.at + slot.word_length, slot.stem_length),
                slot.stop, slot.letter};
    }
    std::string_view stem = folded;
    if (stemmer_ != nullptr) {
        const sb_symbol* stemmed =
            sb_stemmer_stem(stemmer_, reinterpret_cast<const sb_symbol*>(folded.data()),
                            static_cast<int>(folded.size()));
        if (stemmed == nullptr) throw std::bad_alloc();
        stem = language_->adjust_stem(
            std::string_view(reinterpret_cast<const char*>(stemmed),
                             static_cast<std::size_t>(sb_stemmer_length(stemmer_))));
    }
    const bool stop = language_->is_stop_word(folded);
    const bool letter = has_letter(folded);
    // The empty word has no slot (a length of 0 marks a free one); it and
    // words too long to keep are stemmed each time.
    if (folded.empty() || folded.size() > kLongestKept || stem.size() > kLongestKept) {
        long_stem_.assign(stem);
        return {long_stem_, stop, letter};
    }
    if (kept_ >= most_kept_ || bytes_.size() + folded.size() + stem.size() > most_bytes_) {
        kept_ = 0;
        bytes_.clear();
        std::fill(slots_.begin(), slots_.end(), Slot{});
        i = place_of(folded, hash);
    } else if (2 * (kept_ + 1) > slots_.size()) {
        grow();
        i = place_of(folded, hash);
    }
    const auto at = static_cast<std::uint32_t>(bytes_.size());
    bytes_.append(folded);
    bytes_.append(stem);
    slots_[i] = {hash,
                 at,
                 static_cast<std::uint16_t>(folded.size()),
                 static_cast<std::uint16_t>(stem.size()),
                 stop,
                 letter};
    ++kept_;
    return {std::string_view(bytes_).substr(at + folded.size(), stem.size()), stop, letter};
}

}  // namespace brennic
