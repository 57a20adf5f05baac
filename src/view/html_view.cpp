// SPDX-License-Identifier: MIT
#include "view/html_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "brennic/cancellable.h"
#include "languages/reading.h"
#include "languages/word_reader.h"
#include "view/charset.h"
#include "view/json_view.h"
#include "view/keywords.h"
#include "view/stop.h"

namespace brennic::view {

namespace {

void append_reference(std::string& out, char32_t code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "&#x%X;", static_cast<unsigned>(code));
    out += buf;
}

// Appends one character, safe in text and in a quoted attribute alike: the
// markup characters as references; NUL and the C1 controls, which a page
// must not hold, as U+FFFD; the other C0 controls as their visible symbols
// (U+2400 on); vertical tab, white space to the segmenter but not to HTML,
// as a space. Other characters go as raw (their bytes in the page's
// encoding) when raw is not empty, as a numeric reference otherwise.
void append_char(std::string& out, char32_t code, std::string_view raw) {
    switch (code) {
        case '<':
            out += "&lt;";
            return;
        case '>':
            out += "&gt;";
            return;
        case '&':
            out += "&amp;";
            return;
        case '"':
            out += "&quot;";
            return;
        case '\'':
            out += "&#39;";
            return;
        case '\t':
        case '\n':
        case '\r':
        case '\f':
            out += static_cast<char>(code);
            return;
        case '\v':
            out += ' ';
            return;
        case 0:
            append_reference(out, 0xFFFD);
            return;
        case 0x7F:
            append_reference(out, 0x2421);
            return;
        default:
            break;
    }
    if (code < 0x20) {
        append_reference(out, 0x2400 + code);
    } else if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code <= 0x9F) {
        append_reference(out, 0xFFFD);
    } else if (!raw.empty()) {
        out += raw;
    } else {
        append_reference(out, code);
    }
}

// Bytes of a text in the charset it is shown in, in the page's charset:
// the same but for a Windows-1252 text on a UTF-8 page.
void append_text(std::string& out, std::string_view bytes, Charset text, Charset page) {
    std::string encoded;
    for (std::size_t i = 0; i < bytes.size();) {
        const Char c = decode(bytes, i, text);
        if (text == page) {
            append_char(out, c.code, bytes.substr(i, c.length));
        } else {
            encoded.clear();
            append_utf8(encoded, c.code);
            append_char(out, c.code, encoded);
        }
        i += c.length;
    }
}

// A name, a query or a stem: read as UTF-8 when it is, as Windows-1252
// otherwise, and written in ASCII with references, so it shows right
// whatever the page's encoding.
void append_label(std::string& out, std::string_view bytes) {
    const Charset charset = is_valid_utf8(bytes) ? Charset::utf8 : Charset::windows1252;
    for (std::size_t i = 0; i < bytes.size();) {
        const Char c = decode(bytes, i, charset);
        append_char(out, c.code, {});
        i += c.length;
    }
}

std::string label(std::string_view bytes) {
    std::string out;
    append_label(out, bytes);
    return out;
}

// A score or a threshold: whole numbers without decimals, others with two
// at most.
std::string number(double value) {
    char buf[64];
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15) {
        std::snprintf(buf, sizeof buf, "%.0f", value);
        return buf;
    }
    std::snprintf(buf, sizeof buf, "%.2f", value);
    std::string s = buf;
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s;
}

// A rate as it was most likely written: 0.7, not 0.699999988.
std::string shortest(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", value);
    return buf;
}

std::string fraction(double value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f",
                  std::clamp(std::isfinite(value) ? value : 0.0, 0.0, 1.0));
    return buf;
}

std::string plural(long long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Line ends in white space between two sentences; two or more make a
// blank line, which ends a paragraph.
int line_ends(std::string_view gap) {
    int n = 0;
    for (std::size_t i = 0; i < gap.size(); ++i) {
        if (gap[i] == '\n' || gap[i] == '\f' ||
            (gap[i] == '\r' && (i + 1 == gap.size() || gap[i + 1] != '\n')))
            ++n;
    }
    return n;
}

// The sentences of each text, cut by the rules of the language it was read in.
std::vector<std::vector<Span>> sentence_spans(std::span<const std::string> texts,
                                              const Summary& summary) {
    std::vector<std::vector<Span>> spans;
    spans.reserve(texts.size());
    for (std::size_t d = 0; d < texts.size(); ++d) {
        const std::vector<LanguageReport>* languages =
            summary.diagnostics ? &summary.diagnostics->languages : nullptr;
        const std::string language =
            languages != nullptr && d < languages->size() ? (*languages)[d].language : "en";
        spans.push_back(segment_spans(texts[d], language, stop_flag));
    }
    return spans;
}

// Each text is shown as UTF-8 when it is UTF-8 and every sentence starts
// and ends between characters, so no element holds part of a character; as
// Windows-1252 otherwise.
std::vector<Charset> text_charsets(std::span<const std::string> texts,
                                   const std::vector<std::vector<Span>>& spans) {
    std::vector<Charset> charsets(texts.size(), Charset::utf8);
    for (std::size_t d = 0; d < texts.size(); ++d) {
        const std::string& t = texts[d];
        const auto boundary = [&](std::size_t at) {
            return at >= t.size() || !continuation(static_cast<unsigned char>(t[at]));
        };
        if (!is_valid_utf8(t) || std::any_of(spans[d].begin(), spans[d].end(), [&](const Span& s) {
                return !boundary(s.offset) || !boundary(s.offset + s.length);
            }))
            charsets[d] = Charset::windows1252;
    }
    return charsets;
}

// The page is in Windows-1252 when every text is shown so, else in UTF-8.
Charset page_charset(const std::vector<Charset>& texts) {
    return std::find(texts.begin(), texts.end(), Charset::utf8) == texts.end() && !texts.empty()
               ? Charset::windows1252
               : Charset::utf8;
}

// Inputs larger than this are shown abridged: a page of twice as many bytes
// is about what a browser still lays out in a few seconds.
constexpr std::size_t kWholeTextBytes = std::size_t{4} << 20;
// An abridged page stops showing paragraphs once it is this long.
constexpr std::size_t kAbridgedPageBytes = std::size_t{8} << 20;

constexpr std::string_view kStyle = R"css(
:root{color-scheme:light;--ink:#1f2328;--muted:#59636e;--line:#d8dee4;--extract:#fff1a8;
--vell:#ffcf70;--vell-edge:#c26a00;--bar:#4d6a99;--tick:#c93c37;--gutter:6.5rem}
*{box-sizing:border-box}
html{-webkit-text-size-adjust:100%;text-size-adjust:100%}
body{margin:0;padding:1.5rem clamp(1rem,3vw,3rem) 3rem;background:#fff;color:var(--ink);
font:1.0625rem/1.6 Charter,Georgia,"DejaVu Serif",serif}
header{font:.9375rem/1.45 system-ui,"Segoe UI",Roboto,"DejaVu Sans",sans-serif;
border-bottom:1px solid var(--line);padding-bottom:1rem;margin-bottom:1.5rem}
h1{font-size:1.5rem;line-height:1.25;margin:0 0 .25rem;overflow-wrap:anywhere}
h2{font:600 1rem/1.3 system-ui,"Segoe UI",Roboto,"DejaVu Sans",sans-serif;margin:2rem 0 .75rem;
overflow-wrap:anywhere}
header h2{font-size:.8125rem;color:var(--muted);margin:1rem 0 .4rem;text-transform:uppercase;
letter-spacing:.04em}
.lede{margin:0;color:var(--muted)}
.figures{display:grid;grid-template-columns:repeat(auto-fill,minmax(10.5rem,1fr));gap:.6rem 1rem;
margin:1rem 0 0}
.figures div{border-left:3px solid var(--line);padding-left:.5rem;min-width:0}
dt{font-size:.75rem;color:var(--muted);text-transform:uppercase;letter-spacing:.04em}
dd{margin:0;font-weight:600;overflow-wrap:anywhere}
dd small{font-weight:400;color:var(--muted)}
.stems{list-style:none;margin:0;padding:0;display:flex;flex-wrap:wrap;gap:.35rem}
.stems li{border:1px solid var(--line);border-radius:1rem;padding:0 .6rem;white-space:nowrap}
.stems .f{color:var(--muted);font-size:.8125rem;margin-left:.25rem}
.legend{margin:1rem 0 0;color:var(--muted);font-size:.875rem}
.legend mark{padding:0 .25em}
main{--t:0}
main p{margin:0 0 1.1rem;padding-left:var(--gutter)}
.s{display:block;position:relative;padding:.1rem .35rem;margin:0 -.35rem;border-radius:3px;
unicode-bidi:isolate;overflow-wrap:anywhere}
.s::before,.s::after{content:"";position:absolute}
.s::before{left:calc(-1*var(--gutter));top:.5em;height:.7em;border-radius:2px;background:var(--bar);
min-width:3px;width:calc(var(--w,0)*(var(--gutter) - 1rem))}
.s::after{left:calc(-1*var(--gutter) + var(--t)*(var(--gutter) - 1rem));top:.3em;height:1.1em;
border-left:2px solid var(--tick)}
.extract{margin:1rem 0 0;padding:.75rem 1rem;background:#fffbe0;border-left:4px solid var(--vell-edge);
border-radius:3px}
.extract h2{margin:0 0 .5rem}
.extract ol{margin:0;padding-left:1.5rem}
.extract li{margin:0 0 .35rem;overflow-wrap:anywhere}
.extract .vell{font-weight:600}
mark{color:inherit;background:none}
.x{background:var(--extract)}
.v{background:var(--vell);box-shadow:inset 3px 0 0 var(--vell-edge)}
u{text-decoration:underline var(--vell-edge);text-decoration-thickness:.1em;
text-underline-offset:.18em}
.empty{color:var(--muted);font-style:italic}
.gap,.abridged{color:var(--muted);font-style:italic}
@media (max-width:32rem){
body{font-size:1rem;padding:1rem .75rem 2rem}
:root{--gutter:4rem}
.figures{grid-template-columns:repeat(2,minmax(0,1fr))}
}
@media print{
@page{margin:1.5cm}
body{max-width:none;padding:0;font-size:10.5pt}
header{break-after:avoid}
.s{break-inside:avoid}
.s,.s::before,.s::after,.x,.v,.stems li{-webkit-print-color-adjust:exact;print-color-adjust:exact}
a{color:inherit;text-decoration:none}
}
)css";

class Page {
public:
    Page(std::span<const std::string> texts, std::span<const std::string> names,
         const Options& options, const Summary& summary)
        : texts_(texts),
          names_(names),
          options_(options),
          summary_(summary),
          spans_(sentence_spans(texts, summary)),
          charsets_(text_charsets(texts, spans_)),
          charset_(page_charset(charsets_)) {
        if (!summary.diagnostics) throw std::invalid_argument("render_html needs diagnostics");
        if (names.size() != texts.size())
            throw std::invalid_argument("render_html needs one name per text");
        const Diagnostics& d = *summary.diagnostics;
        reports_.resize(texts.size());
        for (std::size_t d_i = 0; d_i < texts.size(); ++d_i)
            reports_[d_i].assign(spans_[d_i].size(), nullptr);
        for (const SentenceReport& r : d.sentences) {
            if (r.document >= texts.size() || r.segment >= spans_[r.document].size())
                throw std::invalid_argument("the summary does not belong to these texts");
            reports_[r.document][r.segment] = &r;
            max_score_ = std::max(max_score_, static_cast<double>(r.score));
        }
        for (const StemReport& s : d.stems) {
            if (s.vell_word) vell_stems_.insert(s.stem);
        }
    }

    std::string render() {
        std::string out;
        std::size_t input = 0;
        for (const std::string& t : texts_) input += t.size();
        abridged_ = input > kWholeTextBytes;
        out.reserve((abridged_ ? 0 : 2 * input) + kStyle.size() + 8192);
        out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"";
        out += charset_ == Charset::utf8 ? "utf-8" : "windows-1252";
        out += "\">\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
        out += "<meta name=\"generator\" content=\"Brennic ";
        out += label(version());
        out += "\">\n<title>";
        out += title();
        out += " &#x2014; extract</title>\n<style>";
        out += kStyle;
        out += "</style>\n</head>\n<body>\n";
        render_header(out);
        out += "<main style=\"--t:";
        out += fraction(max_score_ > 0 ? summary_.diagnostics->threshold / max_score_ : 0);
        out += "\">\n";
        for (std::size_t d = 0; d < texts_.size(); ++d) render_text(out, d);
        out += "</main>\n</body>\n</html>\n";
        return out;
    }

private:
    std::string title() const {
        std::string t;
        for (std::size_t d = 0; d < names_.size(); ++d) {
            if (d > 0) t += ", ";
            append_label(t, names_[d]);
        }
        return t;
    }

    void figure(std::string& out, const char* term, const std::string& value) const {
        out += "<div><dt>";
        out += term;
        out += "</dt><dd>";
        out += value;
        out += "</dd></div>\n";
    }

    std::string rate_text() const {
        const double rate = summary_.diagnostics->compression_rate;
        std::string t = shortest(rate);
        if (rate < 0) {
            t += " <small>the vell sentence alone</small>";
        } else if (rate < 1) {
            t += " <small>leave out " + shortest(100 * rate) + "&#xA0;% of the words</small>";
        } else {
            t += " <small>words at most</small>";
        }
        return t;
    }

    void render_header(std::string& out) const {
        const Diagnostics& d = *summary_.diagnostics;
        long long used = 0;
        long long chosen = 0;
        for (const SentenceReport& r : d.sentences) {
            if (r.in_extract) {
                used += r.words;
                ++chosen;
            }
        }
        out += "<header>\n<h1>";
        out += title();
        out += "</h1>\n<p class=\"lede\">Extract of ";
        out += plural(chosen, "sentence", "sentences");
        out += " out of " + std::to_string(d.sentences.size()) + ", chosen by Brennic.</p>\n";
        render_extract(out);
        out += "<dl class=\"figures\">\n";
        figure(out, "Words in the text", std::to_string(d.text_words));
        figure(out, "Extract allowed", plural(allowed_words(d), "word", "words"));
        figure(out, "Extract used", plural(used, "word", "words"));
        figure(out, "Threshold", number(d.threshold) + " <small>mean score</small>");
        figure(out, "Rate", rate_text());
        figure(out, "Query", options_.query ? label(*options_.query) : "none");
        std::string switches;
        if (options_.condense) switches += "-is (condensed) ";
        if (options_.mean) switches += "-ak (mean scores) ";
        if (texts_.size() > 1) switches += "-n" + std::to_string(texts_.size()) + " ";
        if (!switches.empty()) switches.pop_back();
        figure(out, "Switches", switches.empty() ? "none" : switches);
        out += "</dl>\n<h2>Keywords</h2>\n<ol class=\"stems\">\n";
        for (const Keyword& k : keywords(d, 10, texts_, options_.encoding)) {
            out += "<li title=\"stem ";
            append_label(out, k.stem);
            out += k.vell_word ? " &#xB7; vell word\"><u>" : "\">";
            append_label(out, k.word);
            out += k.vell_word ? "</u>" : "";
            out += "<span class=\"f\">" + std::to_string(k.frequency) + "</span></li>\n";
        }
        out +=
            "</ol>\n<p class=\"legend\"><mark class=\"x\">Highlighted</mark>: the sentences of "
            "the extract. <mark class=\"v\">Darker</mark>: the ";
        out += d.vell_sentence ? "<a href=\"#vell\">vell sentence</a>" : "vell sentence";
        out +=
            ", the centre of the extract; its content words are the vell words, "
            "<u>underlined</u> wherever they appear. The bar beside each sentence shows its "
            "score (hover to read it), the red line the threshold. ";
        if (d.method == "centrality") {
            out +=
                "A sentence scores by where it stands, its likeness to the rest of the text and "
                "to the title and, the longer the extract, how often its words recur; the vell "
                "sentence scores highest (or is the closest to the query) and is always chosen, "
                "then the best of the others in turn, each discounted by what the extract "
                "already says, as long as the extract fits its size.";
        } else {
            out +=
                "A sentence is chosen when it scores above the threshold and holds a vell word, "
                "the highest first, as long as the extract fits its size; the vell sentence "
                "always is.";
            // Say so only where other sentences did fill a budget in sentences.
            const bool filled = std::any_of(
                d.sentences.begin(), d.sentences.end(),
                [](const SentenceReport& r) { return r.in_extract && !r.worthy && !r.vell; });
            if (filled && options_.max_sentences) {
                out += " Fewer than " + std::to_string(*options_.max_sentences) +
                       " are so chosen: the best-scoring of the others fill the budget of " +
                       plural(static_cast<long long>(*options_.max_sentences), "sentence",
                              "sentences") +
                       ".";
            }
        }
        out += "</p>\n</header>\n";
    }

    // The extract itself, first: its lines as the extract file has them.
    void render_extract(std::string& out) const {
        out += "<section class=\"extract\">\n<h2>Extract</h2>\n<ol>\n";
        for (const SentenceReport& r : summary_.diagnostics->sentences) {
            if (!r.in_extract) continue;
            out += r.vell ? "<li class=\"vell\">" : "<li>";
            append_text(out, r.text, charsets_.at(r.document), charset_);
            out += "</li>\n";
        }
        out += "</ol>\n</section>\n";
    }

    // The sentence indexes at which the paragraphs of text d begin, and
    // the end.
    std::vector<std::size_t> paragraphs(std::size_t d) const {
        const std::string_view text = texts_[d];
        std::vector<std::size_t> starts;
        std::size_t end = 0;
        for (std::size_t k = 0; k < spans_[d].size(); ++k) {
            const Span& s = spans_[d][k];
            if (k == 0 || line_ends(text.substr(end, s.offset - end)) >= 2) starts.push_back(k);
            end = s.offset + s.length;
        }
        starts.push_back(spans_[d].size());
        return starts;
    }

    // The whole text, paragraph by paragraph. A large input shows only the
    // paragraphs that hold a sentence of the extract, and those only until
    // the page reaches kAbridgedPageBytes, and says so, so that the page
    // stays small enough for a browser to show.
    void render_text(std::string& out, std::size_t d) {
        const std::string_view text = texts_[d];
        shown_ = charsets_[d];
        out += "<article>\n";
        if (texts_.size() > 1) {
            out += "<h2>";
            append_label(out, names_[d]);
            out += "</h2>\n";
        }
        if (spans_[d].empty()) out += "<p class=\"empty\">No sentences.</p>\n";
        if (abridged_ && !spans_[d].empty()) {
            out +=
                "<p class=\"abridged\">The input is too large for one page: shown are the "
                "paragraphs that hold a sentence of the extract, as many as a page can "
                "take.</p>\n";
        }
        const std::vector<std::size_t> starts = paragraphs(d);
        WordReader& reader = reader_of(language_of(d));
        const brennic::Reading reading = reader.reading(text, options_.encoding);
        std::size_t left_out = 0;
        long long chosen_not_shown = 0;
        for (std::size_t p = 0; p + 1 < starts.size(); ++p) {
            check_stop();
            long long chosen = 0;
            for (std::size_t k = starts[p]; k < starts[p + 1]; ++k)
                chosen += reports_[d][k] != nullptr && reports_[d][k]->in_extract;
            if (abridged_ && (chosen == 0 || out.size() >= kAbridgedPageBytes)) {
                ++left_out;
                chosen_not_shown += chosen;
                continue;
            }
            render_gap(out, left_out);
            left_out = 0;
            out += "<p>\n";
            for (std::size_t k = starts[p]; k < starts[p + 1]; ++k) {
                const Span& s = spans_[d][k];
                render_sentence(out, text.substr(s.offset, s.length), reports_[d][k], reader,
                                reading);
            }
            out += "</p>\n";
        }
        render_gap(out, left_out);
        if (chosen_not_shown > 0) {
            out += "<p class=\"abridged\">The page ends here; not shown: " +
                   plural(chosen_not_shown, "sentence", "sentences") +
                   " more of the extract, which holds them all.</p>\n";
        }
        out += "</article>\n";
    }

    static void render_gap(std::string& out, std::size_t paragraphs_left_out) {
        if (paragraphs_left_out == 0) return;
        out += "<p class=\"gap\">[&#x2026; " +
               plural(static_cast<long long>(paragraphs_left_out), "paragraph", "paragraphs") +
               " left out &#x2026;]</p>\n";
    }

    // The language text d was read in.
    std::string_view language_of(std::size_t d) const {
        const std::vector<LanguageReport>& languages = summary_.diagnostics->languages;
        return d < languages.size() ? std::string_view(languages[d].language) : "en";
    }

    // The reader of a language's words, made once per page.
    WordReader& reader_of(std::string_view language) {
        auto it = readers_.find(language);
        if (it == readers_.end())
            it = readers_.emplace(std::string(language), std::make_unique<WordReader>(language))
                     .first;
        return *it->second;
    }

    void render_sentence(std::string& out, std::string_view bytes, const SentenceReport* r,
                         WordReader& reader, brennic::Reading reading) {
        const bool in_extract = r != nullptr && r->in_extract;
        const bool vell = r != nullptr && r->vell;
        const char* tag = in_extract ? "mark" : "span";
        out += '<';
        out += tag;
        out += in_extract ? (vell ? " class=\"s x v\" id=\"vell\"" : " class=\"s x\"")
                          : " class=\"s\"";
        if (r != nullptr) {
            out += " style=\"--w:";
            out += fraction(max_score_ > 0 ? r->score / max_score_ : 0);
            out += "\" title=\"score ";
            out += number(r->score);
            out += " &#xB7; " + plural(r->words, "word", "words");
            out += vell ? " &#xB7; vell sentence" : in_extract ? " &#xB7; in the extract" : "";
            if (in_extract && options_.condense) {
                out += " &#xB7; condensed: ";
                append_label(out, r->text);
            }
            out += '"';
        } else {
            out += " title=\"not read: no words\"";
        }
        out += '>';
        render_words(out, bytes, reader, reading);
        out += "</";
        out += tag;
        out += ">\n";
    }

    // A content word whose stem is a vell word.
    bool is_vell_word(std::string_view word, WordReader& reader, brennic::Reading reading) const {
        if (vell_stems_.empty()) return false;
        const std::optional<std::string_view> stem = reader.content_stem(word, reading);
        return stem && vell_stems_.contains(*stem);
    }

    // The sentence's bytes with its vell words underlined. Only whole words
    // are: a word as a reader sees it (letters, digits, and a '.', ',', ':',
    // '/' or apostrophe between two of them) is underlined when it is one
    // word of the summarizer and that word is a vell word, so "7.4" or
    // "U.S." are never underlined in part; in the scripts written without
    // spaces, each vell word of a run is.
    void render_words(std::string& out, std::string_view bytes, WordReader& reader,
                      brennic::Reading reading) {
        const auto word_char = [](char32_t c) {
            if (c < 0x80)
                return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                       c == '-' || c == '_';
            return c == 0xAA || c == 0xBA ||
                   (c >= 0xC0 && c != 0xD7 && c != 0xF7 && !(c >= 0x2000 && c <= 0x206F) &&
                    c != 0xFFFD);
        };
        const auto joiner = [](char32_t c) {
            return c == '.' || c == ',' || c == ':' || c == '/' || c == '\'' || c == 0x2019;
        };
        std::vector<Char> chars;
        std::vector<std::size_t> at_byte;
        for (std::size_t i = 0; i < bytes.size();) {
            const Char c = decode(bytes, i, shown_);
            chars.push_back(c);
            at_byte.push_back(i);
            i += c.length;
        }
        at_byte.push_back(bytes.size());
        std::vector<Span> marks;
        for (std::size_t k = 0; k < chars.size();) {
            if (!word_char(chars[k].code)) {
                ++k;
                continue;
            }
            std::size_t end = k + 1;
            while (end < chars.size() && (word_char(chars[end].code) ||
                                          (joiner(chars[end].code) && end + 1 < chars.size() &&
                                           word_char(chars[end + 1].code))))
                ++end;
            const std::string_view shown = bytes.substr(at_byte[k], at_byte[end] - at_byte[k]);
            thread_local std::vector<Span> words;
            words.clear();
            reading.for_each_word(shown, [&](std::string_view w) {
                words.push_back({static_cast<std::size_t>(w.data() - shown.data()), w.size()});
            });
            if (words.size() == 1 &&
                is_vell_word(shown.substr(words[0].offset, words[0].length), reader, reading)) {
                marks.push_back({at_byte[k], shown.size()});
            }
            // A run of a script written without spaces holds several words
            // side by side: each vell word of it is underlined when it
            // touches its neighbours, with no sign between them (at either
            // end of the run, a sign of its script such as "。" may follow).
            const auto no_ascii = [](std::string_view gap) {
                return std::none_of(gap.begin(), gap.end(),
                                    [](char b) { return static_cast<unsigned char>(b) < 0x80; });
            };
            for (std::size_t w = 0; words.size() > 1 && w < words.size(); ++w) {
                const Span& word = words[w];
                const std::size_t word_end = word.offset + word.length;
                const bool joined_before =
                    w == 0 ? no_ascii(shown.substr(0, word.offset))
                           : words[w - 1].offset + words[w - 1].length == word.offset;
                const bool joined_after = w + 1 == words.size() ? no_ascii(shown.substr(word_end))
                                                                : word_end == words[w + 1].offset;
                if (joined_before && joined_after &&
                    is_vell_word(shown.substr(word.offset, word.length), reader, reading)) {
                    marks.push_back({at_byte[k] + word.offset, word.length});
                }
            }
            k = end;
        }
        std::size_t at = 0;
        for (const Span& m : marks) {
            append_text(out, bytes.substr(at, m.offset - at), shown_, charset_);
            out += "<u>";
            append_text(out, bytes.substr(m.offset, m.length), shown_, charset_);
            out += "</u>";
            at = m.offset + m.length;
        }
        append_text(out, bytes.substr(at), shown_, charset_);
    }

    std::span<const std::string> texts_;
    std::span<const std::string> names_;
    const Options& options_;
    const Summary& summary_;
    std::vector<std::vector<Span>> spans_;
    std::vector<Charset> charsets_;  // each text's, as shown
    Charset charset_;                // the page's
    Charset shown_ = Charset::utf8;  // the text being rendered
    std::vector<std::vector<const SentenceReport*>> reports_;
    double max_score_ = 0;
    bool abridged_ = false;  // only the paragraphs of the extract are shown
    struct StemHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    std::unordered_set<std::string, StemHash, std::equal_to<>> vell_stems_;
    std::map<std::string, std::unique_ptr<WordReader>, std::less<>> readers_;  // by language
};

}  // namespace

std::string render_html(std::span<const std::string> texts, std::span<const std::string> names,
                        const Options& options, const Summary& summary) {
    return Page(texts, names, options, summary).render();
}

}  // namespace brennic::view
