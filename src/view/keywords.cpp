// SPDX-License-Identifier: MIT
#include "view/keywords.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "common/utf8.h"
#include "languages/word_reader.h"
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

struct StemHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// The keyword the words met last belong to, or none: each word has one
// place, chosen by its hash, and keeps it until another word takes it. Most
// words of a text are met again, and the table is small enough to stay in
// the processor's caches, so a word met again is neither folded nor stemmed.
class RecentWords {
public:
    static constexpr std::uint32_t kNone = ~std::uint32_t{0};
    static constexpr std::size_t kLongestWord = 27;

    // A table for the words of a text of this many bytes.
    explicit RecentWords(std::size_t text_bytes) {
        std::size_t n = 64;
        while (n < (std::size_t{1} << 16) && n * 8 < text_bytes) n *= 2;
        places_.resize(n);
    }
    // The keyword of word, kNone for none, or nullptr when not held.
    const std::uint32_t* find(std::string_view word, std::size_t hash) const {
        const Place& p = places_[hash & (places_.size() - 1)];
        if (p.length != word.size() || std::string_view(p.word, p.length) != word) return nullptr;
        return &p.keyword;
    }
    void put(std::string_view word, std::size_t hash, std::uint32_t keyword) {
        if (word.empty() || word.size() > kLongestWord) return;
        Place& p = places_[hash & (places_.size() - 1)];
        p.keyword = keyword;
        p.length = static_cast<std::uint8_t>(word.size());
        std::memcpy(p.word, word.data(), word.size());
    }

private:
    struct Place {
        std::uint32_t keyword = kNone;
        std::uint8_t length = 0;  // 0: free
        char word[kLongestWord];
    };
    std::vector<Place> places_;
};

// Gives each keyword the content word of the texts written most often with
// its stem, each text read in the language it was summarized in. The words
// of a language are read by one reader, whose stemmer keeps what it stemmed.
void find_words(std::vector<Keyword>& keywords, std::span<const std::string> texts,
                std::span<const LanguageReport> languages, Encoding encoding) {
    struct Form {
        std::size_t count = 0;
        std::size_t first = 0;  // order of first occurrence
        bool utf8 = true;
    };
    std::unordered_map<std::string, std::size_t, StemHash, std::equal_to<>>
        wanted;  // stem -> keyword
    for (std::size_t k = 0; k < keywords.size(); ++k) wanted.emplace(keywords[k].stem, k);
    std::map<std::string, std::unique_ptr<WordReader>, std::less<>> readers;  // by language
    std::vector<std::unordered_map<std::string, Form, StemHash, std::equal_to<>>> forms(
        keywords.size());
    std::size_t seen = 0;
    for (std::size_t t = 0; t < texts.size() && !wanted.empty(); ++t) {
        check_stop();
        const std::string& text = texts[t];
        const std::string_view language =
            t < languages.size() ? std::string_view(languages[t].language) : "en";
        auto reader = readers.find(language);
        if (reader == readers.end())
            reader = readers.emplace(std::string(language), std::make_unique<WordReader>(language))
                         .first;
        // Read as when it was summarized; a language's Windows-1252 word is
        // given in UTF-8, as its stem is.
        const Reading reading = reader->second->reading(text, encoding);
        const bool transcode = !reading.is_utf8() && language != "en";
        RecentWords recent(text.size());
        reading.for_each_word(text, [&](std::string_view word) {
            const std::size_t hash = std::hash<std::string_view>{}(word);
            std::uint32_t keyword = RecentWords::kNone;
            if (const std::uint32_t* known = recent.find(word, hash)) {
                keyword = *known;
            } else {
                const std::optional<std::string_view> stem =
                    reader->second->content_stem(word, reading);
                if (stem) {
                    const auto found = wanted.find(*stem);
                    if (found != wanted.end()) keyword = static_cast<std::uint32_t>(found->second);
                }
                recent.put(word, hash, keyword);
            }
            if (keyword == RecentWords::kNone) return;
            auto& of_stem = forms[keyword];
            const std::string shown = transcode ? windows1252_to_utf8(word) : std::string();
            const std::string_view key = transcode ? std::string_view(shown) : word;
            auto form = of_stem.find(key);
            if (form == of_stem.end()) form = of_stem.emplace(std::string(key), Form{}).first;
            if (form->second.count++ == 0) form->second.first = seen++;
            form->second.utf8 = reading.is_utf8() || language != "en";
        });
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
    // The stems come in order of first occurrence, which breaks ties.
    const std::span<const StemReport> stems = diagnostics.stems;
    std::vector<std::size_t> content;
    for (std::size_t i = 0; i < stems.size(); ++i) {
        if (stems[i].content) content.push_back(i);
    }
    const auto first = content.begin() + static_cast<std::ptrdiff_t>(std::min(n, content.size()));
    std::partial_sort(content.begin(), first, content.end(), [&](std::size_t a, std::size_t b) {
        return stems[a].frequency != stems[b].frequency ? stems[a].frequency > stems[b].frequency
                                                        : a < b;
    });
    std::vector<Keyword> all;
    all.reserve(static_cast<std::size_t>(first - content.begin()));
    for (auto it = content.begin(); it != first; ++it) {
        const StemReport& s = stems[*it];
        all.push_back({s.stem, s.frequency, s.vell_word, s.stem, is_valid_utf8(s.stem)});
    }
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
