// SPDX-License-Identifier: MIT
#include "brennic/centrality.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <queue>
#include <tuple>

#include "brennic/query_vector.h"
#include "talven/chars.h"
#include "talven/language.h"
#include "talven/segmenter.h"

namespace brennic {
namespace {

// The weights, set on development data (German encyclopaedia articles,
// English documents, Thai and Vietnamese news, each against its lead, and
// long extracts of news against what both the frequency method and ots
// choose): centrality counts 1.
constexpr float kPosition = 2.0f;   // of the position part, for the shortest extract
constexpr float kDecay = 0.18f;     // position falls as 1 / (1 + rank)^kDecay
constexpr float kParagraph = 0.3f;  // the least position a paragraph's first sentence keeps
constexpr float kTitle = 0.5f;      // of the likeness to the title
constexpr float kQuery = 2.0f;      // of the likeness to the query
// Of how often the sentence's content stems recur in the text: times the
// extract's share of the text to the power 2.5 in a short extract (next to
// nothing), times the square of the share in a long one, where it outweighs
// everything else: what a sentence says counts for more than where it stands.
constexpr float kFrequency = 10.0f;
constexpr float kFrequencyExponent = 2.5f;
constexpr float kLongFrequency = 40.0f;
// In a long extract the frequency part is divided by the sentence's content
// words to this power: a long sentence of common words says no more a word
// than a short one.
constexpr double kLongDensity = 0.3;
// An extract is short up to kShort of the text and long from kLong on; in
// between it is some of each, in proportion.
constexpr float kShort = 0.33f;
constexpr float kLong = 0.4f;
// The position weight in a long extract, where only the opening sentence
// has a position part (set apart from a short one's).
constexpr float kLongPosition = 1.0f;
constexpr float kRedundancy = 0.1f;  // of the share of a sentence already said
// Centrality is the mean, over a sentence's distinct content stems, of the
// other sentences holding each, as if the sentence had kSmoothing more
// stems held by no other: a short sentence needs more to be as central.
constexpr float kSmoothing = 4.0f;
// A sentence that much of whose stems a short extract already holds is a
// repeat, and is not chosen; a long one takes all but the sentences that
// say nothing new.
constexpr float kRepeat = 0.75f;
// A sentence with fewer distinct content stems than kSubstance times its
// text's mean scores less, in proportion: a fragment says little.
constexpr float kSubstance = 0.4f;

bool is_white(char c) { return talven::is_space(static_cast<unsigned char>(c)); }

// Whether a sentence ends in a mark that closes sentences, looking past the
// quotation marks and brackets that close after it: a headline ending in a
// quotation ('Never asked') does not end as a sentence, a quoted sentence
// ("Go.") does.
bool ends_with_stop(std::string_view sentence) {
    static constexpr std::string_view kAsciiStops = ".!?:;";
    static constexpr std::string_view kAsciiClosers = "\"')]";
    static constexpr std::string_view kStops[] = {"\u2026", "\u3002", "\uFF01", "\uFF1F",
                                                  "\uFF0E", "\u0964", "\u0965", "\u061F",
                                                  "\u06D4", "\u1362", "\u0589", "\u037E"};
    static constexpr std::string_view kClosers[] = {
        "\u201D", "\u2019", "\u00BB", "\u00AB", "\u201C", "\u300D", "\u300F", "\u3011", "\uFF09"};
    for (;;) {
        while (!sentence.empty() && is_white(sentence.back())) sentence.remove_suffix(1);
        if (sentence.empty()) return false;
        std::size_t start = sentence.size() - 1;
        while (start > 0 && (static_cast<unsigned char>(sentence[start]) & 0xC0) == 0x80) --start;
        const std::string_view last = sentence.substr(start);
        if (last.size() == 1 && kAsciiStops.find(last[0]) != std::string_view::npos) return true;
        if (std::find(std::begin(kStops), std::end(kStops), last) != std::end(kStops)) return true;
        const bool closes =
            (last.size() == 1 && kAsciiClosers.find(last[0]) != std::string_view::npos) ||
            std::find(std::begin(kClosers), std::end(kClosers), last) != std::end(kClosers);
        if (!closes) return false;
        sentence.remove_suffix(last.size());
    }
}

// Whether the white space between two sentences breaks a line, or leaves a
// line empty.
bool breaks_line(std::string_view gap) { return gap.find('\n') != std::string_view::npos; }
bool blank_line(std::string_view gap) {
    const std::size_t first = gap.find('\n');
    if (first == std::string_view::npos) return false;
    const std::size_t second = gap.find('\n', first + 1);
    return second != std::string_view::npos;
}

constexpr std::size_t kHeadingWords = 20;

std::size_t spaces_in(std::string_view s) {
    return static_cast<std::size_t>(std::count(s.begin(), s.end(), ' '));
}

// The line that starts at `from` (its end at a line break or the text's),
// without the white space at its ends.
std::string_view line_at(std::string_view text, std::size_t from, std::size_t* next) {
    std::size_t end = text.find('\n', from);
    if (end == std::string_view::npos) end = text.size();
    *next = end < text.size() ? end + 1 : end;
    std::string_view line = text.substr(from, end - from);
    while (!line.empty() && is_white(line.front())) line.remove_prefix(1);
    while (!line.empty() && is_white(line.back())) line.remove_suffix(1);
    return line;
}

// A headline is under this share of the longest of the next lines.
constexpr std::size_t kHeadlineLines = 3;
constexpr double kHeadlineShare = 0.8;

}  // namespace

void set_headline_apart(std::string_view text, std::vector<std::string>& sentences) {
    if (sentences.empty()) return;
    std::size_t at = 0;
    while (at < text.size() && is_white(text[at])) ++at;
    std::size_t next = 0;
    const std::string_view headline = line_at(text, at, &next);
    if (next == text.size() || headline.empty() || ends_with_stop(headline) ||
        spaces_in(headline) >= kHeadingWords)
        return;
    std::string& first = sentences.front();
    if (first.size() <= headline.size() || !first.starts_with(headline) ||
        !is_white(first[headline.size()]))
        return;
    // The lines after it: the first must not go on in lower case, and the
    // headline must be short beside them, or shorter than the first when
    // that one ends as a sentence (the lines of a hard-wrapped paragraph
    // seldom do).
    std::size_t longest = 0;
    bool whole_next = false;
    std::size_t next_size = 0;
    std::size_t from = next;
    for (std::size_t k = 0; k < kHeadlineLines && from < text.size(); ++k) {
        const std::string_view line = line_at(text, from, &from);
        if (k == 0) {
            if (line.empty()) return;  // a blank line: the segmenter split there
            const talven::Decoded c = talven::decode_at(line, 0);
            const talven::Case kind =
                c.cp < 0x80 ? talven::case_of(c.cp) : talven::wide_case_of(c.cp);
            if (kind == talven::Case::Lower) return;
            whole_next = ends_with_stop(line);
            next_size = line.size();
        }
        longest = std::max(longest, line.size());
    }
    const bool short_beside =
        static_cast<double>(headline.size()) < kHeadlineShare * static_cast<double>(longest);
    if (!short_beside && !(whole_next && headline.size() < next_size)) return;
    std::size_t rest = headline.size();
    while (rest < first.size() && is_white(first[rest])) ++rest;
    std::string title(headline);
    first.erase(0, rest);
    sentences.insert(sentences.begin(), std::move(title));
}

void add_places(std::vector<SentencePlace>& places, std::string_view text,
                std::span<const std::string> sentences, std::span<const Span> spans,
                std::uint32_t document) {
    const auto becomes_sentence = [](std::string_view line) {
        return line.find_first_not_of('\0') != std::string_view::npos;
    };
    if (spans.size() != sentences.size()) {
        // Without their places in the text, the sentences are one paragraph.
        bool first = true;
        for (const std::string& s : sentences) {
            if (!becomes_sentence(s)) continue;
            places.push_back({document, first, false});
            first = false;
        }
        return;
    }
    const bool has_blank_lines = [&] {
        for (std::size_t i = 1; i < spans.size(); ++i) {
            const std::size_t end = spans[i - 1].offset + spans[i - 1].length;
            if (blank_line(text.substr(end, spans[i].offset - end))) return true;
        }
        return false;
    }();
    bool after_heading = true;  // the text's start counts as one
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        const std::size_t start = spans[i].offset;
        const std::size_t prev_end = i == 0 ? 0 : spans[i - 1].offset + spans[i - 1].length;
        const std::size_t end = start + spans[i].length;
        const std::size_t next = i + 1 < spans.size() ? spans[i + 1].offset : text.size();
        const std::string_view before = text.substr(prev_end, start - prev_end);
        const std::string_view after = text.substr(end, next - end);
        const bool line_start = i == 0 || breaks_line(before);
        const bool line_end = i + 1 == spans.size() || breaks_line(after);
        const bool heading = line_start && line_end && !ends_with_stop(sentences[i]) &&
                             spaces_in(sentences[i]) < kHeadingWords;
        const bool paragraph = after_heading || (has_blank_lines ? blank_line(before) : line_start);
        if (!becomes_sentence(sentences[i])) continue;
        places.push_back({document, paragraph, heading});
        after_heading = heading;
    }
}

void summarize_by_centrality(RunState& state, std::span<const SentencePlace> given_places,
                             const std::optional<std::string>& query,
                             const std::optional<std::string>& title,
                             std::span<const std::string> titles, float compression_rate) {
    take_query_and_rate(state, query, compression_rate);
    state.size_extract = extract_size(state.size_text, state.compression_rate);
    const std::size_t n = state.sentences.size();
    state.parts.assign(n, ScoreParts{});
    if (n == 0) return;

    std::vector<SentencePlace> places(given_places.begin(), given_places.end());
    if (places.size() != n) {
        places.assign(n, SentencePlace{});
        places[0].paragraph_start = true;
    }
    // Headings are set apart only when there is something else to choose.
    if (std::all_of(places.begin(), places.end(), [](const auto& p) { return p.heading; })) {
        for (SentencePlace& p : places) p.heading = false;
    }

    // In how many sentences (headings aside) each stem stands, and each
    // sentence's words and distinct content stems.
    const std::size_t stems = state.words.size();
    constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint32_t> spread(stems, 0);
    std::vector<std::uint32_t> last_seen(stems, kNone);
    std::vector<std::uint32_t> distinct(n, 0);
    std::vector<long long> words(n, 0);
    std::size_t index = 0;
    state.sentences.walk([&](const block_sentence&, const SentenceText& text) {
        const auto i = static_cast<std::uint32_t>(index);
        words[index] = text.number_of_words();
        for (WordId id : text.content_words) {
            if (last_seen[id] == i) continue;
            last_seen[id] = i;
            ++distinct[index];
            if (!places[index].heading) ++spread[id];
        }
        ++index;
    });

    // The title's stems: the given title's, else each text's first line
    // when it stands alone. A mark per stem says whose title holds it.
    std::vector<std::uint32_t> title_mark(stems, kNone);
    std::vector<float> title_size;  // per document: its title's distinct stems
    constexpr std::uint32_t kGiven = kNone - 1;
    float given_size = 0.0f;
    if (title) {
        for (const auto& [stem, count] : query_stems(state, *title)) {
            const WordId id = state.words.find(stem);
            if (id != WordIndex::npos) title_mark[id] = kGiven;
            given_size += 1.0f;
        }
    }

    std::optional<QueryVector> query_vector;
    if (state.test_query) {
        std::vector<std::pair<WordId, float>> terms;
        WordId unseen = static_cast<WordId>(stems);
        for (const auto& [stem, freq] : query_stems(state, *state.query)) {
            const WordId id = state.words.find(stem);
            terms.emplace_back(id == WordIndex::npos ? unseen++ : id, freq);
        }
        query_vector.emplace(std::move(terms), unseen);
    }

    // The shorter the extract, the more the opening counts: a long one is
    // chosen by content, since its sentences reach well into the text anyway.
    float share = state.size_text > 0
                      ? static_cast<float>(state.size_extract) / static_cast<float>(state.size_text)
                      : 1.0f;
    if (state.sentence_budget > 0)
        share = std::min(share, static_cast<float>(state.sentence_budget) / static_cast<float>(n));
    // A negative rate asks for the vell sentence alone: an extract of one
    // sentence, however many words the rate would give.
    if (state.compression_rate < 0.0f) share = std::min(share, 1.0f / static_cast<float>(n));
    share = std::min(1.0f, share);
    // How long the extract is: 0 up to kShort of the text, 1 from kLong on.
    const float longness = std::clamp((share - kShort) / (kLong - kShort), 0.0f, 1.0f);

    // The raw parts, then each scaled to a top of 1 where it has one.
    std::fill(last_seen.begin(), last_seen.end(), kNone);
    std::uint32_t document = kNone;
    std::uint32_t rank = 0;
    float top_centrality = 0.0f;
    float top_query = 0.0f;
    float top_frequency = 0.0f;
    std::vector<std::uint32_t> ranks(n, 0);  // among the sentences of its text, headings aside
    index = 0;
    state.sentences.walk([&](const block_sentence&, const SentenceText& text) {
        const SentencePlace& place = places[index];
        ScoreParts& p = state.parts[index];
        p.heading = place.heading;
        if (place.document != document) {
            document = place.document;
            rank = 0;
            title_size.resize(document + 1, 0.0f);
            if (!title && document < titles.size() && !titles[document].empty()) {
                // The title its page or file gave it.
                for (const auto& [stem, count] : query_stems(state, titles[document])) {
                    const WordId id = state.words.find(stem);
                    if (id != WordIndex::npos) title_mark[id] = document;
                    title_size[document] += 1.0f;
                }
            } else if (!title && place.heading) {
                // The text's first line stands alone: its title.
                for (WordId id : text.content_words) {
                    if (title_mark[id] != document) {
                        title_mark[id] = document;
                        title_size[document] += 1.0f;
                    }
                }
            }
        }
        const auto i = static_cast<std::uint32_t>(index);
        float shared = 0.0f;
        float in_title = 0.0f;
        // The frequency method's own score: each content word counts as
        // often as its stem occurs in the input.
        double recurring = 0.0;
        for (WordId id : text.content_words) recurring += state.words[id].frequency;
        if (longness > 0.0f && !text.content_words.empty())
            recurring /=
                std::pow(static_cast<double>(text.content_words.size()), kLongDensity * longness);
        p.frequency = static_cast<float>(recurring);
        for (WordId id : text.content_words) {
            if (last_seen[id] == i) continue;
            last_seen[id] = i;
            shared += static_cast<float>(spread[id] - (place.heading ? 0 : 1));
            if (title_mark[id] == (title ? kGiven : document)) in_title += 1.0f;
        }
        if (!place.heading) {
            ranks[index] = rank++;
            if (distinct[index] > 0) {
                p.centrality = shared / (static_cast<float>(distinct[index]) + kSmoothing);
                const float size = title ? given_size : title_size[document];
                if (size > 0.0f)
                    p.title = in_title / std::sqrt(size * static_cast<float>(distinct[index]));
            }
            if (query_vector) p.query = query_vector->cosine(text.content_words);
            top_centrality = std::max(top_centrality, p.centrality);
            top_query = std::max(top_query, p.query);
            top_frequency = std::max(top_frequency, p.frequency);
        }
        ++index;
    });

    // The scores, and the vell sentence: the query's closest sentence (the
    // first of them), else the first of the best scores.
    const float position_weight =
        (1.0f - share) * ((1.0f - longness) * kPosition + longness * kLongPosition);
    const float frequency_weight =
        (1.0f - longness) * kFrequency * std::pow(share, kFrequencyExponent) +
        longness * kLongFrequency * share * share;
    const float repeat = kRepeat + (1.0f - kRepeat) * longness;
    float mean_distinct = 0.0f;
    {
        std::size_t body = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (places[i].heading) continue;
            mean_distinct += static_cast<float>(distinct[i]);
            ++body;
        }
        if (body > 0) mean_distinct /= static_cast<float>(body);
    }
    std::optional<std::size_t> vell;
    std::optional<std::size_t> closest;
    float total = 0.0f;
    std::size_t scored = 0;
    for (std::size_t i = 0; i < n; ++i) {
        ScoreParts& p = state.parts[i];
        if (top_centrality > 0.0f) p.centrality /= top_centrality;
        if (top_query > 0.0f) p.query /= top_query;
        if (p.heading)
            p.frequency = 0.0f;
        else if (top_frequency > 0.0f)
            p.frequency /= top_frequency;
        block_sentence& s = state.sentences[i];
        if (p.heading) continue;
        // A short extract favours the opening, and each paragraph's first
        // sentence a little; a long one only the opening.
        float near = 1.0f / std::pow(1.0f + static_cast<float>(ranks[i]), kDecay);
        if (places[i].paragraph_start) near = std::max(near, kParagraph);
        const float opening = ranks[i] == 0 ? 1.0f : 0.0f;
        p.position = (1.0f - longness) * near + longness * opening;
        s.score = position_weight * p.position + p.centrality + frequency_weight * p.frequency +
                  kTitle * p.title + kQuery * p.query;
        if (kSubstance > 0.0f && mean_distinct > 0.0f)
            s.score *=
                std::min(1.0f, static_cast<float>(distinct[i]) / (kSubstance * mean_distinct));
        total += s.score;
        ++scored;
        if (!vell || s.score > state.sentences[*vell].score) vell = i;
        if (p.query > 0.0f && (!closest || p.query > state.parts[*closest].query)) closest = i;
    }
    if (closest) vell = closest;
    state.threshold = scored > 0 ? total / static_cast<float>(scored) : 0.0f;
    if (!vell) return;
    state.p_vellsent = &state.sentences[*vell];

    // Choosing: the vell sentence, then the best of the rest in turn, each
    // score discounted by the share of its stems already chosen. A discount
    // only grows, so a sentence is looked at again only when it comes out
    // on top with a discount from before the last choice.
    std::vector<WordId> content;
    state.sentences.walk([&](const block_sentence&, const SentenceText& text) {
        content.insert(content.end(), text.content_words.begin(), text.content_words.end());
    });
    // Offsets of each sentence's content words in `content`.
    std::vector<std::size_t> offsets(n + 1, 0);
    {
        std::size_t i = 0;
        std::size_t at = 0;
        state.sentences.walk([&](const block_sentence&, const SentenceText& text) {
            offsets[i++] = at;
            at += text.content_words.size();
        });
        offsets[n] = at;
    }
    std::vector<char> covered(stems, 0);
    std::fill(last_seen.begin(), last_seen.end(), kNone);
    const auto cover = [&](std::size_t i) {
        for (std::size_t k = offsets[i]; k < offsets[i + 1]; ++k) covered[content[k]] = 1;
    };
    const auto redundancy = [&](std::size_t i) {
        if (distinct[i] == 0) return 0.0f;
        const auto mark = static_cast<std::uint32_t>(i);
        float said = 0.0f;
        for (std::size_t k = offsets[i]; k < offsets[i + 1]; ++k) {
            const WordId id = content[k];
            if (last_seen[id] == mark) continue;
            last_seen[id] = mark;
            if (covered[id]) said += 1.0f;
        }
        // Looked at again later: the marks must not hide its stems then.
        for (std::size_t k = offsets[i]; k < offsets[i + 1]; ++k) last_seen[content[k]] = kNone;
        return said / static_cast<float>(distinct[i]);
    };

    state.sentences[*vell].summary_worthy = TRUE;
    cover(*vell);
    long long room = static_cast<long long>(state.size_extract) - words[*vell];
    std::size_t chosen = 1;
    const std::size_t budget = state.sentence_budget;
    if (state.compression_rate >= 0.0f) {
        // (value, -index, round the value was computed in)
        using Entry = std::tuple<float, long long, std::size_t>;
        std::vector<Entry> entries;
        for (std::size_t i = 0; i < n; ++i) {
            if (i != *vell && !state.parts[i].heading && words[i] > 0)
                entries.emplace_back(state.sentences[i].score, -static_cast<long long>(i), 0);
        }
        std::priority_queue<Entry> queue(std::less<Entry>(), std::move(entries));
        std::size_t round = 1;
        std::optional<std::size_t> last;
        while (!queue.empty() && room > 0 && (budget == 0 || chosen < budget)) {
            const auto [value, minus_index, at_round] = queue.top();
            queue.pop();
            const auto i = static_cast<std::size_t>(-minus_index);
            if (at_round != round) {
                // Weighed again; still the best, it is taken at once.
                const float r = redundancy(i);
                state.parts[i].redundancy = r;
                const Entry again{state.sentences[i].score * (1.0f - kRedundancy * r), minus_index,
                                  round};
                if (!queue.empty() && again < queue.top()) {
                    queue.push(again);
                    continue;
                }
            }
            if (words[i] > room || state.parts[i].redundancy >= repeat) continue;
            state.sentences[i].summary_worthy = TRUE;
            room -= words[i];
            ++chosen;
            cover(i);
            ++round;
            last = i;
        }
        if (last && room > 0 && longness == 0.0f) {
            // Words left over in a short extract: the last sentence taken
            // gives way to a longer one that still fits, when that one's
            // discounted score times the share of the room it fills is more.
            // Words the extract leaves unused are words it does not say.
            const std::size_t j = *last;
            const long long space = room + words[j];
            // What the others say, without the sentence that gives way: a
            // sentence is no repeat of the one it replaces.
            std::fill(covered.begin(), covered.end(), 0);
            for (std::size_t k = 0; k < n; ++k)
                if (k != j && state.sentences[k].summary_worthy) cover(k);
            const auto worth = [&](std::size_t k, float r) {
                return state.sentences[k].score * (1.0f - kRedundancy * r) *
                       static_cast<float>(words[k]) / static_cast<float>(space);
            };
            float best = worth(j, state.parts[j].redundancy);
            std::optional<std::size_t> better;
            float better_r = 0.0f;
            for (std::size_t k = 0; k < n; ++k) {
                if (state.sentences[k].summary_worthy || state.parts[k].heading ||
                    words[k] <= words[j] || words[k] > space)
                    continue;
                const float r = redundancy(k);
                if (r >= repeat) continue;
                const float w = worth(k, r);
                if (w > best) {
                    best = w;
                    better = k;
                    better_r = r;
                }
            }
            if (better) {
                state.sentences[j].summary_worthy = FALSE;
                state.sentences[*better].summary_worthy = TRUE;
                state.parts[*better].redundancy = better_r;
            }
        }
    }
    state.sentences.walk([&](const block_sentence& s, const SentenceText& text) {
        if (&s != state.p_vellsent) return;
        for (WordId id : text.content_words) state.words[id].vell_word = TRUE;
    });
}

}  // namespace brennic
