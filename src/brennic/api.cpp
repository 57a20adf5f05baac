// The library's entry points: each call builds its own run state, so calls
// share nothing and may run in any number of threads at once.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <exception>
#include <new>
#include <thread>

#include "brennic/brennic.h"
#include "brennic/failure.h"
#include "brennic/run_state.h"
#include "brennic/words.h"
#include "language_detect.h"
#include "languages.h"
#include "talven/segmenter.h"

namespace brennic {

const char* version() noexcept { return BRENNIC_VERSION; }

Error::Error(const std::string& message) : std::runtime_error(message) {}
Error::~Error() = default;

namespace {

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

Diagnostics diagnose(const RunState& state, const std::vector<std::vector<std::string>>& segments) {
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
        d.sentences.push_back({std::string(text.sentence()), text.number_of_words(), s.score,
                               s.summary_worthy != FALSE, &s == state.p_vellsent, document,
                               segment});
        ++segment;
    });
    d.stems.reserve(state.words.size());
    for (WordId id = 0; id < state.words.size(); ++id) {
        const block_word& w = state.words[id];
        d.stems.push_back({std::string(state.words.word(id)), static_cast<int>(w.frequency),
                           w.vell_word != FALSE, false});
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
            state.choose_language(options.language, text);
            if (options.diagnostics) {
                segments.push_back(talven::segment(text));
                std::string lines;
                for (const std::string& s : segments.back()) (lines += s) += '\n';
                read_sentences(state, std::move(lines));
            } else {
                read_sentences(state, talven::segment_lines(text));
            }
        }
        summarize_read_texts(state, options.query, options.compression_rate);

        Summary summary;
        state.sentences.walk([&](const block_sentence& s, const SentenceText& text) {
            if (s.summary_worthy) summary.sentences.emplace_back(text.sentence());
        });
        if (options.diagnostics) summary.diagnostics = diagnose(state, segments);
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

std::vector<std::string> segment(std::string_view text) {
    return translate_failures([&] { return talven::segment(text); });
}

std::vector<Span> segment_spans(std::string_view text) {
    return translate_failures([&] { return align(text, talven::segment(text)); });
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

std::vector<Summary> summarize_many(std::span<const std::string_view> texts, const Options& options,
                                    unsigned threads) {
    std::vector<Summary> results(texts.size());
    std::vector<std::exception_ptr> failures(texts.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < texts.size(); i = next++) {
            try {
                results[i] = summarize(texts[i], options);
            } catch (...) { failures[i] = std::current_exception(); }
        }
    };
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t helpers =
        std::min<std::size_t>(threads, texts.size()) - (texts.empty() ? 0 : 1);
    {
        // The calling thread works too; when no more threads can be
        // started, the ones there are take the whole list.
        std::vector<std::jthread> pool;
        try {
            pool.reserve(helpers);
            for (std::size_t k = 0; k < helpers; ++k) pool.emplace_back(work);
        } catch (const std::exception&) {}
        work();
    }
    for (const std::exception_ptr& failure : failures) {
        if (failure) std::rethrow_exception(failure);
    }
    return results;
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
