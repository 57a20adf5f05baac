// SPDX-License-Identifier: MIT
#include "view/json_view.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <stdexcept>

#include "common/utf8.h"
#include "view/charset.h"
#include "view/keywords.h"
#include "view/stop.h"

namespace brennic::view {

namespace {

// How the bytes of a string are read.
enum class Bytes { utf8, latin1, windows1252 };

Bytes bytes_of(std::string_view encoding) {
    return encoding == "utf-8"    ? Bytes::utf8
           : encoding == "latin1" ? Bytes::latin1
                                  : Bytes::windows1252;
}

// A JSON string of bytes read in a text's encoding: UTF-8 (a byte that
// starts no well-formed sequence becomes U+FFFD), ISO 8859-1 or Windows-1252.
void append_string(std::string& out, std::string_view bytes, Bytes how) {
    out += '"';
    for (std::size_t i = 0; i < bytes.size();) {
        // Printable ASCII but the quote and the backslash goes as it is, a
        // run at a time.
        std::size_t plain = i;
        while (plain < bytes.size() && bytes[plain] >= 0x20 && bytes[plain] < 0x7F &&
               bytes[plain] != '"' && bytes[plain] != '\\')
            ++plain;
        if (plain > i) {
            out.append(bytes.substr(i, plain - i));
            i = plain;
            continue;
        }
        char32_t c = static_cast<unsigned char>(bytes[i]);
        std::size_t n = 1;
        if (how != Bytes::latin1) {
            const Char ch =
                decode(bytes, i, how == Bytes::utf8 ? Charset::utf8 : Charset::windows1252);
            c = ch.code;
            n = ch.length;
        }
        i += n;
        switch (c) {
            case '"':
                out += "\\\"";
                continue;
            case '\\':
                out += "\\\\";
                continue;
            case '\n':
                out += "\\n";
                continue;
            case '\t':
                out += "\\t";
                continue;
            case '\r':
                out += "\\r";
                continue;
            default:
                break;
        }
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F)) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
            out += buf;
        } else {
            append_utf8(out, c);
        }
    }
    out += '"';
}

void append_string(std::string& out, std::string_view bytes, bool utf8) {
    append_string(out, bytes, utf8 ? Bytes::utf8 : Bytes::latin1);
}

// The shortest decimal that reads back as the same float.
std::string number(float value) {
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return ec == std::errc() ? std::string(buf, end) : "0";
}

const char* boolean(bool b) { return b ? "true" : "false"; }

// Characters of text before byte `at`, counted in the input's encoding.
class CharCounter {
public:
    CharCounter(std::string_view text, bool utf8) : text_(text), utf8_(utf8) {}
    std::size_t at(std::size_t byte) {
        if (!utf8_) return byte;
        if (byte < byte_) byte_ = chars_ = 0;  // sentences come in order; this is a fallback
        for (; byte_ < byte && byte_ < text_.size(); ++byte_)
            chars_ += !continuation(static_cast<unsigned char>(text_[byte_]));
        return chars_;
    }

private:
    std::string_view text_;
    bool utf8_;
    std::size_t byte_ = 0;
    std::size_t chars_ = 0;
};

}  // namespace

Reading reading_of(std::span<const std::string> texts, const Options& options,
                   const Summary& summary) {
    // The language each text was read in: the one chosen, or found.
    const auto language_of = [&](std::size_t t) {
        const Diagnostics* d = summary.diagnostics ? &*summary.diagnostics : nullptr;
        return d != nullptr && t < d->languages.size() ? d->languages[t].language
                                                       : options.language;
    };
    Reading reading{language_of(0), {}, {}};
    // A text is read as UTF-8, or byte by byte: as ISO 8859-1 in English,
    // as Windows-1252 in the other languages.
    for (std::size_t t = 0; t < texts.size(); ++t) {
        reading.encodings.push_back(
            brennic::reading_of(texts[t], options.encoding) == Encoding::utf8 ? "utf-8"
            : language_of(t) == "en"                                          ? "latin1"
                                                                              : "windows-1252");
        if (t == 0) reading.encoding = reading.encodings[0];
        if (reading.encodings[t] != reading.encoding) reading.encoding = "mixed";
    }
    if (texts.empty()) reading.encoding = "latin1";
    return reading;
}

long long allowed_words(const Diagnostics& d) {
    if (!(d.compression_rate >= 0.0f)) return 0;
    return std::clamp<long long>(d.extract_size, 0, d.text_words);
}

namespace {

// Writes the document into out, handing it to put whenever it holds
// flush_at bytes or more, and at the end (put empties out).
template <class Put>
void write_json(std::string& out, std::size_t flush_at, Put&& put,
                std::span<const std::string> texts, std::span<const std::string> names,
                std::string_view name, const Options& options, const Summary& summary,
                std::size_t keywords, const Source& source) {
    if (!summary.diagnostics) throw std::invalid_argument("render_json needs diagnostics");
    const Diagnostics& d = *summary.diagnostics;
    const Reading reading = reading_of(texts, options, summary);
    const auto flush = [&] {
        if (out.size() >= flush_at) put(out);
    };
    out += "{\"name\":";
    append_string(out, name, is_valid_utf8(name));
    out += ",\"texts\":[";
    for (std::size_t t = 0; t < names.size(); ++t) {
        if (t > 0) out += ',';
        append_string(out, names[t], is_valid_utf8(names[t]));
    }
    out += "],\"language\":";
    append_string(out, reading.language, true);
    out += ",\"encoding\":";
    append_string(out, reading.encoding, true);
    // Each line of the extract in the encoding of the text it comes from.
    std::vector<std::size_t> extract_documents;
    for (const SentenceReport& r : d.sentences) {
        if (r.in_extract) extract_documents.push_back(r.document);
    }
    out += ",\"extract\":[";
    for (std::size_t i = 0; i < summary.sentences.size(); ++i) {
        if (i > 0) out += ',';
        const std::size_t document = i < extract_documents.size() ? extract_documents[i] : 0;
        append_string(out, summary.sentences[i],
                      document < reading.encodings.size() ? bytes_of(reading.encodings[document])
                                                          : Bytes::latin1);
        flush();
    }
    out += ']';
    out += ",\"encodings\":[";
    for (std::size_t t = 0; t < reading.encodings.size(); ++t) {
        if (t > 0) out += ',';
        append_string(out, reading.encodings[t], true);
    }
    out += ']';

    long long chosen_words = 0;
    std::size_t chosen = 0;
    for (const SentenceReport& r : d.sentences) {
        if (r.in_extract) {
            chosen_words += r.words;
            ++chosen;
        }
    }
    out += ",\"figures\":{\"words\":" + std::to_string(d.text_words);
    out += ",\"budget\":" + std::to_string(allowed_words(d));
    out += ",\"sentence_budget\":";
    out += options.max_sentences && *options.max_sentences > 0
               ? std::to_string(*options.max_sentences)
               : "null";
    out += ",\"threshold\":" + number(d.threshold);
    out += ",\"rate\":" + number(d.compression_rate);
    out += ",\"sentences\":" + std::to_string(d.sentences.size());
    out += ",\"chosen\":" + std::to_string(chosen);
    out += ",\"chosen_words\":" + std::to_string(chosen_words);
    if (d.method != "frequency") {
        out += ",\"method\":";
        append_string(out, d.method, true);
    }
    out += "},\"sentences\":[";

    std::vector<CharCounter> counters;
    for (std::size_t t = 0; t < texts.size(); ++t)
        counters.emplace_back(texts[t], reading.encodings[t] == "utf-8");
    for (std::size_t i = 0; i < d.sentences.size(); ++i) {
        const SentenceReport& r = d.sentences[i];
        if (r.document >= texts.size())
            throw std::invalid_argument("the summary does not belong to these texts");
        if (i % 4096 == 0) check_stop();
        CharCounter& chars = counters[r.document];
        const std::size_t first = chars.at(r.span.offset);
        const std::size_t last = chars.at(r.span.offset + r.span.length);
        if (i > 0) out += ',';
        out += "{\"text\":";
        append_string(out, r.text, bytes_of(reading.encodings[r.document]));
        out += ",\"document\":" + std::to_string(r.document);
        out += ",\"byte_offset\":" + std::to_string(r.span.offset);
        out += ",\"byte_length\":" + std::to_string(r.span.length);
        out += ",\"char_offset\":" + std::to_string(first);
        out += ",\"char_length\":" + std::to_string(last - first);
        out += ",\"words\":" + std::to_string(r.words);
        out += ",\"score\":" + number(r.score);
        out += ",\"worthy\":";
        out += boolean(r.worthy);
        out += ",\"chosen\":";
        out += boolean(r.in_extract);
        out += ",\"vell\":";
        out += boolean(r.vell);
        if (r.parts) {
            const ScoreParts& p = *r.parts;
            out += ",\"parts\":{\"position\":" + number(p.position);
            out += ",\"centrality\":" + number(p.centrality);
            out += ",\"frequency\":" + number(p.frequency);
            out += ",\"title\":" + number(p.title);
            out += ",\"query\":" + number(p.query);
            out += ",\"redundancy\":" + number(p.redundancy);
            out += ",\"heading\":";
            out += boolean(p.heading);
            out += '}';
        }
        out += '}';
        flush();
    }
    out += "],\"keywords\":[";
    const std::vector<Keyword> top = view::keywords(d, keywords, texts, options.encoding);
    for (std::size_t k = 0; k < top.size(); ++k) {
        if (k > 0) out += ',';
        out += "{\"word\":";
        append_string(out, top[k].word, top[k].utf8);
        out += ",\"stem\":";
        append_string(out, top[k].stem, top[k].utf8);
        out += ",\"frequency\":" + std::to_string(top[k].frequency);
        out += ",\"vell\":";
        out += boolean(top[k].vell_word);
        out += '}';
    }
    out += ']';
    // What the texts were read as comes last.
    out += ",\"input\":";
    append_string(out, source.input, true);
    out += ",\"title\":";
    if (source.title.empty())
        out += "null";
    else
        append_string(out, source.title, true);
    out += "}\n";
    put(out);
}

}  // namespace

std::string render_json(std::span<const std::string> texts, std::span<const std::string> names,
                        std::string_view name, const Options& options, const Summary& summary,
                        std::size_t keywords, const Source& source) {
    if (!summary.diagnostics) throw std::invalid_argument("render_json needs diagnostics");
    // Room for the whole document at once: a string that grows by doubling
    // would hold two copies of a large document for a moment. Room never
    // written is never touched, so it costs no memory.
    std::size_t room = 4096 + 64 * keywords + 8 * name.size() + 8 * source.title.size();
    for (const std::string& n : names) room += 8 * n.size();
    for (const SentenceReport& r : summary.diagnostics->sentences) room += 384 + 2 * r.text.size();
    for (const std::string& e : summary.sentences) room += 8 + 2 * e.size();
    std::string out;
    out.reserve(room);
    write_json(
        out, std::string::npos, [](std::string&) {}, texts, names, name, options, summary, keywords,
        source);
    return out;
}

void render_json(std::span<const std::string> texts, std::span<const std::string> names,
                 std::string_view name, const Options& options, const Summary& summary,
                 std::size_t keywords, const Source& source,
                 const std::function<void(std::string_view)>& put) {
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    std::string out;
    out.reserve(kPiece + 4096);
    write_json(
        out, kPiece,
        [&](std::string& piece) {
            put(piece);
            piece.clear();
        },
        texts, names, name, options, summary, keywords, source);
}

std::string render_json_error(std::string_view name, std::string_view error) {
    std::string out = "{\"name\":";
    append_string(out, name, is_valid_utf8(name));
    out += ",\"error\":";
    append_string(out, error, is_valid_utf8(error));
    out += "}\n";
    return out;
}

}  // namespace brennic::view
