// SPDX-License-Identifier: MIT
// The library's entry points: each call builds its own run state, so calls
// share nothing and may run in any number of threads at once.
#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <exception>
#include <limits>
#include <new>

#include "brennic/brennic.h"
#include "brennic/failure.h"
#include "brennic/run_state.h"
#include "brennic/words.h"
#include "common/worker_pool.h"
#include "languages/language_detect.h"
#include "languages/languages.h"
#include "talven/segmenter.h"

namespace brennic {

const char* version() noexcept { return BRENNIC_VERSION; }

Error::Error(const std::string& message) : std::runtime_error(message) {}
Error::~Error() = default;
Cancelled::Cancelled() : Error("cancelled") {}
Cancelled::~Cancelled() = default;

namespace {

void check_cancel(const Options& options) {
    if (options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed))
        throw Cancelled();
}

// Runs f, turning the run's own failures into the public exception.
template <class F>
auto translate_failures(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const Failure& failure) {
        throw Error(failure.what());
    } catch (const std::bad_alloc&) { throw Error("out of memory!"); }
}

// Aligns the sentences of text with text itself: a space in a sentence
// stands for a run of white space, every other byte for itself.
std::vector<Span> align(std::string_view text, const std::vector<std::string>& sentences) {
    std::vector<Span> spans;
    spans.reserve(sentences.size());
    std::size_t at = 0;
    const auto skip_space = [&] {
        while (at < text.size() && talven::is_space(static_cast<unsigned char>(text[at]))) ++at;
    };
    for (const std::string& sentence : sentences) {
        skip_space();
        const std::size_t start = at;
        // A sentence has no white space where the text has some before a
        // detached terminator ("pricing\n." is "pricing."), so white space
        // is skipped before every byte.
        for (const char c : sentence) {
            skip_space();
            if (c == ' ') continue;
            if (at >= text.size() || text[at] != c) throw Failure("segment alignment lost");
            ++at;
        }
        spans.push_back({start, at - start});
    }
    return spans;
}

// A sentence line becomes a sentence of the summarizer unless it holds
// nothing but NUL bytes, which the reader drops.
bool becomes_sentence(std::string_view line) {
    return line.find_first_not_of('\0') != std::string_view::npos;
}

Diagnostics diagnose(const RunState& state, std::span<const std::string_view> texts,
                     const std::vector<std::vector<std::string>>& segments) {
    std::vector<std::vector<Span>> spans;
    spans.reserve(segments.size());
    for (std::size_t t = 0; t < segments.size(); ++t) spans.push_back(align(texts[t], segments[t]));
    Diagnostics d;
    d.sentences.reserve(state.sentences.size());
    std::size_t document = 0;
    std::size_t segment = 0;
    state.sentences.walk([&](const block_sentence& s, const SentenceText& text) {
        // Walk the segments in step with the sentence list, skipping the
        // lines that did not become sentences.
        while (document < segments.size() && (segment >= segments[document].size() ||
                                              !becomes_sentence(segments[document][segment]))) {
            if (segment >= segments[document].size()) {
                ++document;
                segment = 0;
            } else {
                ++segment;
            }
        }
        if (&s == state.p_vellsent) d.vell_sentence = d.sentences.size();
        // Worthy as the marking pass judged it, before any trimming.
        const bool worthy =
            state.compression_rate >= 0.0f && s.score > state.threshold &&
            std::any_of(text.content_words.begin(), text.content_words.end(),
                        [&](WordId id) { return state.words[id].vell_word != FALSE; });
        const Span span = document < spans.size() && segment < spans[document].size()
                              ? spans[document][segment]
                              : Span{};
        d.sentences.push_back({std::string(text.sentence()), text.number_of_words(), s.score,
                               worthy, s.summary_worthy != FALSE, &s == state.p_vellsent, document,
                               segment, span});
        ++segment;
    });
    d.stems.reserve(state.words.size());
    for (WordId id = 0; id < state.words.size(); ++id) {
        const block_word& w = state.words[id];
        d.stems.push_back({std::string(shown_stem(state.words.word(id))),
                           static_cast<int>(w.frequency), w.vell_word != FALSE, false});
    }
    state.sentences.walk([&](const block_sentence&, const SentenceText& text) {
        for (const WordId id : text.content_words) d.stems[id].content = true;
    });
    d.languages = state.languages;
    d.text_words = state.size_text;
    d.extract_size = state.size_extract;
    d.compression_rate = state.compression_rate;
    d.threshold = state.threshold;
    return d;
}

Summary summarize_views(std::span<const std::string_view> texts, const Options& options) {
    if (texts.empty()) throw Error("no text to summarize");
    return translate_failures([&] {
        RunState state;
        state.test_is = options.condense ? TRUE : FALSE;
        state.test_ak = options.mean ? TRUE : FALSE;
        state.encoding = options.encoding;
        // The sentence lines are kept only when the diagnostics must map
        // sentences back to them.
        std::vector<std::vector<std::string>> segments;
        for (const std::string_view text : texts) {
            check_cancel(options);
            state.choose_language(options.language, text);
            // The sentences are cut by the rules of the text's language.
            const talven::Language& rules = talven::language_rules(state.languages.back().language);
            if (options.diagnostics) {
                segments.push_back(talven::segment(text, rules));
                std::string lines;
                for (const std::string& s : segments.back()) (lines += s) += '\n';
                read_sentences(state, std::move(lines));
            } else if (options.cancel == nullptr) {
                read_sentences(state, talven::segment_lines(text, rules));
            } else {
                // The segmenter hands its lines over a megabyte at a time,
                // whole lines, and each part is read as it comes.
                talven::segment_lines_to(text, rules, [&](std::string_view part) {
                    check_cancel(options);
                    read_sentences(state, std::string(part));
                });
            }
        }
        state.sentence_budget = options.max_sentences.value_or(0);
        check_cancel(options);
        summarize_read_texts(state, options.query, options.compression_rate);
        check_cancel(options);

        Summary summary;
        state.sentences.walk([&](const block_sentence& s, const SentenceText& text) {
            if (s.summary_worthy) summary.sentences.emplace_back(text.sentence());
        });
        if (options.diagnostics) summary.diagnostics = diagnose(state, texts, segments);
        return summary;
    });
}

}  // namespace

float parse_rate(std::string_view argument) {
    // "%f" reads a C string: the argument ends at its first NUL byte.
    const std::string arg(argument.substr(0, argument.find('\0')));
    float rate = 0.0f;
    if (std::sscanf(arg.c_str(), "%f", &rate) != 1 || std::isnan(rate)) return 0.0f;
    return rate;
}

std::optional<float> read_number(std::string_view argument) {
    // Decimal, or hexadecimal after "0x" as C reads it ("0x1p-1").
    std::string_view digits = argument;
    const bool negative = digits.starts_with('-');
    if (negative) digits.remove_prefix(1);
    const bool hex = digits.starts_with("0x") || digits.starts_with("0X");
    if (hex) digits.remove_prefix(2);
    double value = 0;
    const char* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(
        digits.data(), end, value, hex ? std::chars_format::hex : std::chars_format::general);
    if (digits.empty() || digits.starts_with('-') || ec != std::errc() || ptr != end ||
        !std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(negative ? -value : value);
}

std::vector<std::string> segment(std::string_view text) {
    return translate_failures([&] { return talven::segment(text); });
}

namespace {

// The segmenter's rules for a language option; an unknown code is the
// caller's error.
const talven::Language& segmenter_rules(std::string_view language, std::string_view text) {
    try {
        return talven::language_rules(talven::resolve_language(language, text));
    } catch (const talven::UnknownLanguage& e) { throw Error(e.what()); }
}

}  // namespace

std::vector<Span> segment_spans(std::string_view text) {
    return translate_failures([&] { return align(text, talven::segment(text)); });
}

std::vector<std::string> segment(std::string_view text, std::string_view language) {
    const talven::Language& rules = segmenter_rules(language, text);
    return translate_failures([&] { return talven::segment(text, rules); });
}

std::vector<Span> segment_spans(std::string_view text, std::string_view language) {
    const talven::Language& rules = segmenter_rules(language, text);
    return translate_failures([&] { return align(text, talven::segment(text, rules)); });
}

Summary summarize(std::string_view text, const Options& options) {
    return summarize_views(std::span<const std::string_view>(&text, 1), options);
}

Summary summarize(std::span<const std::string_view> texts, const Options& options) {
    return summarize_views(texts, options);
}

Summary summarize(std::span<const std::string> texts, const Options& options) {
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    return summarize_views(views, options);
}

std::vector<Outcome> summarize_many(std::span<const std::string_view> texts, const Options& options,
                                    unsigned threads) {
    std::vector<Outcome> outcomes(texts.size());
    std::atomic<std::size_t> next{0};
    run_workers(worker_count(threads, texts.size()), [&] {
        for (std::size_t i = next++; i < texts.size(); i = next++) {
            if (options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed))
                return;
            try {
                outcomes[i].summary = summarize(texts[i], options);
            } catch (const std::exception& e) { outcomes[i].error = e.what(); } catch (...) {
                outcomes[i].error = "unknown failure";
            }
        }
    });
    check_cancel(options);
    return outcomes;
}

std::vector<Summary> summarize_all(std::span<const std::string_view> texts, const Options& options,
                                   unsigned threads) {
    std::vector<Outcome> outcomes = summarize_many(texts, options, threads);
    std::vector<Summary> summaries;
    summaries.reserve(outcomes.size());
    for (Outcome& o : outcomes) {
        if (o.error) throw Error(*o.error);
        summaries.push_back(std::move(o.summary));
    }
    return summaries;
}

std::optional<Encoding> parse_encoding(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (lower == "auto") return Encoding::automatic;
    if (lower == "latin1") return Encoding::latin1;
    if (lower == "utf-8" || lower == "utf8") return Encoding::utf8;
    return std::nullopt;
}

Encoding reading_of(std::string_view text, Encoding choice) {
    return Reading::of(text, choice).encoding();
}

namespace {

// A run state reading text, as encoding and language choose.
template <class F>
auto with_reading(std::string_view text, Encoding encoding, std::string_view language, F&& f) {
    return translate_failures([&] {
        RunState state;
        state.encoding = encoding;
        state.choose_language(language, text);
        return f(state, state.reading_of(text));
    });
}

}  // namespace

std::vector<Span> word_spans(std::string_view text, Encoding encoding, std::string_view language) {
    return with_reading(text, encoding, language, [&](RunState&, Reading reading) {
        std::vector<Span> spans;
        reading.for_each_word(text, [&](std::string_view word) {
            spans.push_back({static_cast<std::size_t>(word.data() - text.data()), word.size()});
        });
        return spans;
    });
}

std::vector<Span> word_spans(std::string_view text) {
    return word_spans(text, Encoding::automatic);
}

std::string stem(std::string_view word) { return stem(word, Encoding::automatic); }

bool is_stop_word(std::string_view word) { return is_stop_word(word, Encoding::automatic); }

std::string stem(std::string_view word, Encoding encoding, std::string_view language) {
    return with_reading(word, encoding, language, [&](RunState& state, Reading reading) {
        return std::string(state.stemming(word, reading));
    });
}

std::vector<std::string> language_codes() {
    std::vector<std::string> codes;
    for (const LanguageInfo& info : language_table()) codes.emplace_back(info.code);
    return codes;
}

std::string detect_language(std::string_view text) {
    return translate_failures([&] { return guess_language(text).code; });
}

bool is_stop_word(std::string_view word, Encoding encoding, std::string_view language) {
    return with_reading(word, encoding, language, [&](RunState& state, Reading reading) {
        return state.is_stopword(word, reading) != FALSE;
    });
}

}  // namespace brennic
