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
#include "brennic/cancellable.h"
#include "brennic/centrality.h"
#include "brennic/failure.h"
#include "brennic/main_text.h"
#include "brennic/run_state.h"
#include "brennic/words.h"
#include "common/worker_pool.h"
#include "languages/language_detect.h"
#include "languages/languages.h"
#include "readers/html.h"
#include "readers/markdown.h"
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

// Aligns one sentence with text from byte at on, which it moves past the
// sentence: a space in a sentence stands for a run of white space, every
// other byte for itself.
Span align_one(std::string_view text, std::string_view sentence, std::size_t& at) {
    const auto skip_space = [&] {
        while (at < text.size() && talven::is_space(static_cast<unsigned char>(text[at]))) ++at;
    };
    skip_space();
    const std::size_t start = at;
    // A sentence has no white space where the text has some before a
    // detached terminator ("pricing\n." is "pricing."), so white space is
    // skipped before every byte.
    for (const char c : sentence) {
        skip_space();
        if (c == ' ') continue;
        if (at >= text.size() || text[at] != c) throw Failure("segment alignment lost");
        ++at;
    }
    return {start, at - start};
}

// Aligns the sentences of text with text itself.
std::vector<Span> align(std::string_view text, const std::vector<std::string>& sentences) {
    std::vector<Span> spans;
    spans.reserve(sentences.size());
    std::size_t at = 0;
    for (const std::string& sentence : sentences) spans.push_back(align_one(text, sentence, at));
    return spans;
}

// The sentences of text by rules, as talven::segment gives them, looking at
// cancel between parts of about a megabyte.
std::vector<std::string> segment_stoppable(std::string_view text, const talven::Language& rules,
                                           const std::atomic<bool>* cancel) {
    const auto check = [cancel] {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) throw Cancelled();
    };
    if (cancel == nullptr) return talven::segment(text, rules);
    std::vector<std::string> sentences;
    talven::segment_lines_to(text, rules, [&](std::string_view lines) {
        check();
        for (std::size_t at = 0; at < lines.size();) {
            const std::size_t end = lines.find('\n', at);
            sentences.emplace_back(lines.substr(at, end - at));
            at = end + 1;
        }
    });
    check();
    return sentences;
}

// The sentence lines of text, one a line, as talven::segment_lines gives
// them; a raised cancel flag stops the cutting a megabyte of lines at a time.
std::string segment_lines_stoppable(std::string_view text, const talven::Language& rules,
                                    const std::atomic<bool>* cancel) {
    if (cancel == nullptr) return talven::segment_lines(text, rules);
    std::string lines;
    talven::segment_lines_to(text, rules, [&](std::string_view part) {
        if (cancel->load(std::memory_order_relaxed)) throw Cancelled();
        lines += part;
    });
    if (cancel->load(std::memory_order_relaxed)) throw Cancelled();
    return lines;
}

// A sentence line becomes a sentence of the summarizer unless it holds
// nothing but NUL bytes, which the reader drops.
bool becomes_sentence(std::string_view line) {
    return line.find_first_not_of('\0') != std::string_view::npos;
}

// One line of the segmenter: where its sentence lies in the text, and
// whether the reader made it a sentence.
struct Segment {
    Span span;
    bool sentence = false;
};

// The segments of the lines the segmenter cut text into, one a line.
std::vector<Segment> segments_of(std::string_view text, std::string_view lines) {
    std::vector<Segment> segments;
    std::size_t at = 0;
    for (std::size_t start = 0; start < lines.size();) {
        std::size_t end = lines.find('\n', start);
        if (end == std::string_view::npos) end = lines.size();
        const std::string_view line = lines.substr(start, end - start);
        segments.push_back({align_one(text, line, at), becomes_sentence(line)});
        start = end + 1;
    }
    return segments;
}

Diagnostics diagnose(const RunState& state, const std::vector<std::vector<Segment>>& segments) {
    Diagnostics d;
    d.sentences.reserve(state.sentences.size());
    std::size_t document = 0;
    std::size_t segment = 0;
    state.sentences.walk([&](const block_sentence& s, const SentenceText& text) {
        // Walk the segments in step with the sentence list, skipping the
        // lines that did not become sentences.
        while (document < segments.size() &&
               (segment >= segments[document].size() || !segments[document][segment].sentence)) {
            if (segment >= segments[document].size()) {
                ++document;
                segment = 0;
            } else {
                ++segment;
            }
        }
        if (&s == state.p_vellsent) d.vell_sentence = d.sentences.size();
        // Worthy as the marking pass judged it, before any trimming; the
        // centrality method has no such pass and marks the chosen ones.
        const std::size_t index = d.sentences.size();
        const bool by_parts = index < state.parts.size();
        const bool worthy =
            by_parts
                ? s.summary_worthy != FALSE
                : state.compression_rate >= 0.0f && s.score > state.threshold &&
                      std::any_of(text.content_words.begin(), text.content_words.end(),
                                  [&](WordId id) { return state.words[id].vell_word != FALSE; });
        const Span span = document < segments.size() && segment < segments[document].size()
                              ? segments[document][segment].span
                              : Span{};
        d.sentences.push_back(
            {std::string(text.sentence()), text.number_of_words(), s.score, worthy,
             s.summary_worthy != FALSE, &s == state.p_vellsent, document, segment, span,
             by_parts ? std::optional<ScoreParts>(state.parts[index]) : std::nullopt});
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

enum class Method { frequency, centrality };

Method method_named(std::string_view name) {
    if (name == "frequency") return Method::frequency;
    if (name == "centrality") return Method::centrality;
    std::string known;
    for (const std::string& m : methods()) known += (known.empty() ? "" : ", ") + m;
    throw Error("unknown method '" + std::string(name) + "': give one of " + known);
}

Summary summarize_views(std::span<const std::string_view> texts, const Options& options,
                        std::span<const std::string> hints = {},
                        std::span<const std::string> titles = {}) {
    if (texts.empty()) throw Error("no text to summarize");
    const Method method = method_named(options.method);
    return translate_failures([&] {
        RunState state;
        state.test_is = options.condense ? TRUE : FALSE;
        state.test_ak = options.mean ? TRUE : FALSE;
        state.encoding = options.encoding;
        // Where the sentence lines lie in the texts, when the diagnostics
        // must map sentences back to them.
        std::vector<std::vector<Segment>> segments;
        // Where each sentence stands, for the centrality method.
        std::vector<SentencePlace> places;
        std::uint32_t document = 0;
        for (std::size_t t = 0; t < texts.size(); ++t) {
            const std::string_view text = texts[t];
            check_cancel(options);
            state.choose_language(options.language, text);
            // A document's own language stands in when detection cannot tell.
            if (LanguageReport& chosen = state.languages.back();
                chosen.detected && !chosen.fallback.empty() && t < hints.size()) {
                if (const std::string hinted = hinted_language(hints[t]); !hinted.empty()) {
                    chosen = {hinted, false, {}};
                    state.language = Language::get(hinted);
                }
            }
            // The sentences are cut by the rules of the text's language.
            const talven::Language& rules = talven::language_rules(state.languages.back().language);
            if (method == Method::centrality) {
                std::vector<std::string> lines = segment_stoppable(text, rules, options.cancel);
                set_headline_apart(text, lines);
                std::string joined;
                for (const std::string& s : lines) (joined += s) += '\n';
                std::vector<Span> spans;
                try {
                    spans = align(text, lines);
                } catch (const Failure&) {
                    spans.clear();  // no layout: the sentences still count in order
                }
                add_places(places, text, lines, spans, document++);
                if (options.diagnostics) segments.push_back(segments_of(text, joined));
                read_sentences(state, std::move(joined));
            } else if (options.diagnostics) {
                std::string lines = segment_lines_stoppable(text, rules, options.cancel);
                segments.push_back(segments_of(text, lines));
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
        // The reader's cache has done its work; its memory goes before the
        // diagnostics take theirs.
        state.known_words.clear();
        state.known_reading = {};
        state.sentence_budget = options.max_sentences.value_or(0);
        check_cancel(options);
        if (method == Method::centrality) {
            summarize_by_centrality(state, places, options.query, options.title, titles,
                                    options.compression_rate);
        } else {
            summarize_read_texts(state, options.query, options.compression_rate);
        }
        check_cancel(options);

        Summary summary;
        state.sentences.walk([&](const block_sentence& s, const SentenceText& text) {
            if (s.summary_worthy) summary.sentences.emplace_back(text.sentence());
        });
        if (options.diagnostics) {
            summary.diagnostics = diagnose(state, segments);
            summary.diagnostics->method = options.method;
        }
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

std::vector<std::string> segment(std::string_view text, std::string_view language,
                                 const std::atomic<bool>* cancel) {
    const talven::Language& rules = segmenter_rules(language, text);
    return translate_failures([&] { return segment_stoppable(text, rules, cancel); });
}

std::vector<Span> segment_spans(std::string_view text, std::string_view language,
                                const std::atomic<bool>* cancel) {
    const talven::Language& rules = segmenter_rules(language, text);
    return translate_failures([&] { return align(text, segment_stoppable(text, rules, cancel)); });
}

namespace {

// The texts as Options::input reads them: their main texts, or their bytes.
Summary summarize_inputs(std::span<const std::string_view> texts, const Options& options) {
    if (options.input == Input::text) return summarize_views(texts, options);
    std::vector<std::string> main_texts;
    std::vector<std::string> hints;
    std::vector<std::string> titles;
    for (const std::string_view text : texts) {
        check_cancel(options);
        Document doc = main_text(text, options.input);
        main_texts.push_back(std::move(doc.text));
        hints.push_back(std::move(doc.language));
        titles.push_back(std::move(doc.title));
    }
    const std::vector<std::string_view> views(main_texts.begin(), main_texts.end());
    return summarize_views(views, options, hints, titles);
}

}  // namespace

Summary summarize(std::string_view text, const Options& options) {
    return summarize_inputs(std::span<const std::string_view>(&text, 1), options);
}

Summary summarize(std::span<const std::string_view> texts, const Options& options) {
    return summarize_inputs(texts, options);
}

Summary summarize(std::span<const std::string> texts, const Options& options) {
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    return summarize_inputs(views, options);
}

Summary summarize_main_texts(std::span<const std::string_view> texts,
                             std::span<const std::string> hints, const Options& options,
                             std::span<const std::string> titles) {
    return summarize_views(texts, options, hints, titles);
}

readers::InputKind to_kind(Input input) {
    switch (input) {
        case Input::text:
            return readers::InputKind::text;
        case Input::html:
            return readers::InputKind::html;
        case Input::markdown:
            return readers::InputKind::markdown;
        case Input::automatic:
            break;
    }
    return readers::InputKind::automatic;
}

Input to_input(readers::InputKind kind) {
    switch (kind) {
        case readers::InputKind::text:
            return Input::text;
        case readers::InputKind::html:
            return Input::html;
        case readers::InputKind::markdown:
            return Input::markdown;
        case readers::InputKind::automatic:
            break;
    }
    return Input::automatic;
}

std::string hinted_language(std::string_view hint) {
    std::string code(hint.substr(0, hint.find_first_of("-_")));
    for (char& c : code) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (code == "nb" || code == "nn") code = "no";
    if (code.empty() || find_language(code) == nullptr) return {};
    return code;
}

std::optional<Input> parse_input(std::string_view name) {
    const std::optional<readers::InputKind> kind = readers::parse_input_kind(name);
    if (!kind) return std::nullopt;
    return to_input(*kind);
}

namespace {

Document to_public(readers::Document doc, readers::InputKind kind) {
    return Document{std::move(doc.title), std::move(doc.text), std::move(doc.language),
                    to_input(kind)};
}

}  // namespace

Document read_html(std::string_view bytes) {
    return translate_failures(
        [&] { return to_public(readers::read_html(bytes), readers::InputKind::html); });
}

Document read_markdown(std::string_view bytes) {
    return translate_failures(
        [&] { return to_public(readers::read_markdown(bytes), readers::InputKind::markdown); });
}

Document main_text(std::string_view bytes, Input input, std::string_view name) {
    const readers::InputKind kind = readers::choose_kind(to_kind(input), name, bytes);
    return translate_failures([&] { return to_public(readers::read_input(bytes, kind), kind); });
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

std::vector<std::string> methods() { return {"frequency", "centrality"}; }

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
