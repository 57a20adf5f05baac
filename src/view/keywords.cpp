#include "view/keywords.h"

#include <algorithm>

namespace brennic::view {

const WordTable::Entry& WordTable::operator[](std::string_view word) {
    const std::string key(word);
    auto it = known_.find(key);
    if (it == known_.end()) it = known_.emplace(key, Entry{stem(word), !is_stop_word(word)}).first;
    return it->second;
}

std::vector<std::vector<Span>> sentence_spans(std::span<const std::string> texts) {
    std::vector<std::vector<Span>> spans;
    spans.reserve(texts.size());
    for (const std::string& text : texts) spans.push_back(segment_spans(text));
    return spans;
}

std::unordered_set<std::string> content_stems(std::span<const std::string> texts,
                                              const std::vector<std::vector<Span>>& spans,
                                              WordTable& table) {
    std::unordered_set<std::string> stems;
    for (std::size_t d = 0; d < texts.size() && d < spans.size(); ++d) {
        const std::string_view text = texts[d];
        // Words never reach across a sentence's end, so each sentence is
        // walked on its own, as the summarizer reads it.
        for (const Span& sentence : spans[d]) {
            const std::string_view bytes = text.substr(sentence.offset, sentence.length);
            for (const Span& w : word_spans(bytes)) {
                const WordTable::Entry& e = table[bytes.substr(w.offset, w.length)];
                if (e.content) stems.insert(e.stem);
            }
        }
    }
    return stems;
}

std::vector<Keyword> top_stems(const Diagnostics& diagnostics,
                               const std::unordered_set<std::string>& content, std::size_t n) {
    std::vector<Keyword> all;
    for (const StemReport& s : diagnostics.stems) {
        if (content.contains(s.stem)) all.push_back({s.stem, s.frequency, s.vell_word});
    }
    // The stems come in order of first occurrence; a stable sort keeps that
    // order among equal frequencies.
    std::stable_sort(all.begin(), all.end(),
                     [](const Keyword& a, const Keyword& b) { return a.frequency > b.frequency; });
    if (all.size() > n) all.resize(n);
    return all;
}

std::vector<Keyword> keywords(std::span<const std::string> texts, const Diagnostics& diagnostics,
                              std::size_t n) {
    WordTable table;
    return top_stems(diagnostics, content_stems(texts, sentence_spans(texts), table), n);
}

std::string keyword_lines(std::span<const Keyword> keywords) {
    std::string out;
    for (const Keyword& k : keywords) {
        out += k.stem;
        out += '\t';
        out += std::to_string(k.frequency);
        if (k.vell_word) out += "\tvell";
        out += '\n';
    }
    return out;
}

}  // namespace brennic::view
