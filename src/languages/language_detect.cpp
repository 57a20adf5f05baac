// SPDX-License-Identifier: MIT
// Language detection by CLD2, whose answer (one of some 80 languages, with
// the share of the text each of its top three holds) is narrowed to the
// languages Brennic reads.
#include "languages/language_detect.h"

#include <cld2/public/compact_lang_det.h>
#include <cld2/public/encodings.h>

#include <array>
#include <cstdio>  // compact_lang_det.h uses FILE without including it
#include <utility>

#include "languages/languages.h"
#include "languages/reading.h"

namespace brennic {
namespace {

// CLD2 codes for languages that Brennic reads under another code: Hebrew's
// old code, Chinese in traditional characters, Bosnian and Montenegrin as
// Serbian, Nynorsk as Norwegian.
constexpr std::pair<std::string_view, std::string_view> kSameReading[] = {
    {"iw", "he"}, {"zh-Hant", "zh"}, {"bs", "sr"}, {"sr-ME", "sr"}, {"nn", "no"}};

// A text whose letters CLD2 scored are fewer than this is too short to tell.
constexpr int kFewestLetterBytes = 24;
// The language found must hold at least this share of the text that CLD2
// gave a language.
constexpr int kLeastPercent = 60;

std::string_view our_code(CLD2::Language language) {
    const std::string_view code = CLD2::LanguageCode(language);
    for (const auto& [theirs, ours] : kSameReading) {
        if (code == theirs) return ours;
    }
    return find_language(code) != nullptr ? code : std::string_view();
}

// text as UTF-8: as it is when it is valid UTF-8, else read as
// Windows-1252; cut to at most about kDetectionBytes at a character's start.
std::string utf8_prefix(std::string_view text) {
    std::string_view head = text.substr(0, kDetectionBytes);
    if (is_valid_utf8(text)) {
        while (!head.empty() && head.size() < text.size() &&
               (static_cast<unsigned char>(text[head.size()]) & 0xC0) == 0x80) {
            head.remove_suffix(1);
        }
        return std::string(head);
    }
    std::string out;
    out.reserve(head.size() + head.size() / 4);
    for (const char c : head) append_utf8(out, windows1252(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

LanguageGuess guess_language(std::string_view text) {
    const std::string utf8 = utf8_prefix(text);
    CLD2::Language top3[3];
    int percent3[3];
    double scores3[3];
    int text_bytes = 0;
    bool reliable = false;
    const CLD2::CLDHints hints{nullptr, nullptr, CLD2::UNKNOWN_ENCODING, CLD2::UNKNOWN_LANGUAGE};
    CLD2::ExtDetectLanguageSummary(utf8.data(), static_cast<int>(utf8.size()), true, &hints, 0,
                                   top3, percent3, scores3, nullptr, &text_bytes, &reliable);
    if (text_bytes < kFewestLetterBytes) return {"en", "too short to tell its language"};

    // The shares of the languages read, summed over the codes that map to
    // each of them.
    std::array<std::pair<std::string_view, int>, 3> shares{};
    std::string_view best;
    int best_percent = 0;
    for (int i = 0; i < 3; ++i) {
        const std::string_view code = our_code(top3[i]);
        if (code.empty()) continue;
        for (auto& [c, p] : shares) {
            if (c.empty() || c == code) {
                c = code;
                p += percent3[i];
                if (p > best_percent) {
                    best = code;
                    best_percent = p;
                }
                break;
            }
        }
    }
    const std::string_view first = CLD2::LanguageCode(top3[0]);
    if (best.empty()) {
        if (top3[0] == CLD2::UNKNOWN_LANGUAGE) return {"en", "no language recognised"};
        return {"en", "its language (" + std::string(first) + ") is not one read"};
    }
    int scored = 0;
    for (const int p : percent3) scored += p;
    best_percent = scored > 0 ? 100 * best_percent / scored : 0;
    if (best_percent < kLeastPercent) {
        return {"en", "mixed or uncertain (" + std::string(best) + " " +
                          std::to_string(best_percent) + "%)"};
    }
    return {std::string(best), {}};
}

}  // namespace brennic
