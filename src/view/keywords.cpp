// SPDX-License-Identifier: MIT
#include "view/keywords.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "common/utf8.h"
#include "view/charset.h"
#include "view/stop.h"

namespace brennic::view {

namespace {

std::string windows1252_to_utf8(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        append_utf8(out, decode(bytes, i, Charset::windows1252).code);
    return out;
}

// Gives each keyword the content word of the texts written most often with
// its stem, each text read in the language it was summarized in. Each
// distinct word of a language is stemmed once.
void find_words(std::vector<Keyword>& keywords, std::span<const std::string> texts,
                std::span<const LanguageReport> languages, Encoding encoding) {
    struct Form {
        std::size_t count = 0;
        std::size_t first = 0;  // order of first occurrence
        bool utf8 = true;
    };
    std::unordered_map<std::string, std::size_t> wanted;  // stem -> keyword
    for (std::size_t k = 0; k < keywords.size(); ++k) wanted.emplace(keywords[k].stem, k);
    // per language: word -> stem, or null
    std::unordered_map<std::string, std::unordered_map<std::string, const std::string*>> stems;
    std::vector<std::unordered_map<std::string, Form>> forms(keywords.size());
    std::size_t seen = 0;
    for (std::size_t t = 0; t < texts.size(); ++t) {
        check_stop();
        const std::string& text = texts[t];
        const std::string language = t < languages.size() ? languages[t].language : "en";
        // Read as when it was summarized; a language's Windows-1252 word is
        // given in UTF-8, as its stem is.
        const Encoding reading = brennic::reading_of(text, encoding);
        const bool transcode = reading != Encoding::utf8 && language != "en";
        const std::string cache_key = language + (reading == Encoding::utf8 ? "/u" : "/l");
        auto& stem_of = stems[cache_key];
        for (const Span& w : word_spans(text, reading, language)) {
            const std::string word = text.substr(w.offset, w.length);
            auto known = stem_of.find(word);
            if (known == stem_of.end()) {
                const std::string* stem = nullptr;
                if (!is_stop_word(word, reading, language)) {
                    const auto found = wanted.find(brennic::stem(word, reading, language));
                    if (found != wanted.end()) stem = &found->first;
                }
                known = stem_of.emplace(word, stem).first;
            }
            if (known->second == nullptr) continue;
            Form& form =
                forms[wanted.at(*known->second)][transcode ? windows1252_to_utf8(word) : word];
            if (form.count++ == 0) form.first = seen++;
            form.utf8 = reading == Encoding::utf8 || language != "en";
        }
    }
    for (std::size_t k = 0; k < keywords.size(); ++k) {
        const std::pair<const std::string, Form>* best = nullptr;
        for (const auto& entry : forms[k]) {
            if (best == nullptr || entry.second.count > best->second.count ||
                (entry.second.count == best->second.count &&
                 entry.second.first < best->second.first))
                best = &entry;
        }
        if (best != nullptr) {
            keywords[k].word = best->first;
            keywords[k].utf8 = best->second.utf8;
        }
    }
}

}  // namespace

std::vector<Keyword> keywords(const Diagnostics& diagnostics, std::size_t n,
                              std::span<const std::string> texts, Encoding encoding) {
    std::vector<Keyword> all;
    for (const StemReport& s : diagnostics.stems) {
        if (s.content)
            all.push_back({s.stem, s.frequency, s.vell_word, s.stem, is_valid_utf8(s.stem)});
    }
    // The stems come in order of first occurrence; a stable sort keeps that
    // order among equal frequencies.
    std::stable_sort(all.begin(), all.end(),
                     [](const Keyword& a, const Keyword& b) { return a.frequency > b.frequency; });
    if (all.size() > n) all.resize(n);
    if (!texts.empty()) find_words(all, texts, diagnostics.languages, encoding);
    return all;
}

std::string keyword_lines(std::span<const Keyword> keywords, bool stems) {
    std::string out;
    for (const Keyword& k : keywords) {
        out += stems ? k.stem : k.word;
        out += '\t';
        out += std::to_string(k.frequency);
        if (k.vell_word) out += "\tvell";
        out += '\n';
    }
    return out;
}

}  // namespace brennic::view
