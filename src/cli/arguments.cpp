// SPDX-License-Identifier: MIT
#include "cli/arguments.h"

#include <errno.h>  // program_invocation_short_name
#include <getopt.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch.h"
#include "system/safe_files.h"

namespace brennic::cli {

const char* const kUsage =
    "usage: brennic [OPTIONS] [FILE...]\n"
    "Writes the extract of each FILE: the sentences that best represent it, in\n"
    "their order. With no FILE, or with -, reads standard input. One extract goes\n"
    "to standard output; several go there each under a header line, unless --sum\n"
    "or --output-dir send them to files.\n"
    "\n"
    "Length (one of the first three, and/or --sentences; the default is --rate 0.7):\n"
    "      --keep=FRACTION|N%  the share of the words to keep (0.3 or 30%)\n"
    "      --words=N           N words at most\n"
    "  -r, --rate=R            below 1 the share of the words to leave out, from\n"
    "                          1 on words at most, negative the central sentence\n"
    "                          alone\n"
    "      --sentences=N       N sentences at most (alone, or as a second limit)\n"
    "Output:\n"
    "      --format=FORMAT     text (the extract), json (one document per text,\n"
    "                          one a line) or html (a page: the extract, then the\n"
    "                          text with its sentences marked)\n"
    "      --sum               write NAME.sum (and NAME.json or NAME.html) beside\n"
    "                          each text instead\n"
    "      --output-dir=DIR    write them into DIR instead, created if need be, at\n"
    "                          the texts' relative paths (a/x.txt: DIR/a/x.sum)\n"
    "      --keywords=N        print the N most frequent content words\n"
    "      --stems             print keywords as stems\n"
    "Input:\n"
    "      --files-from=FILE   read the names of the texts from FILE (-: standard\n"
    "                          input), one a line\n"
    "  -R, --recursive         read the texts in the folders given, and below\n"
    "      --include=GLOB      with -R, the files whose names match GLOB (given\n"
    "                          again, any of them; default: *.txt *.html *.htm\n"
    "                          *.xhtml *.md *.markdown)\n"
    "  -0, --null              that list and the --failed list are NUL-separated\n"
    "  -n, --together          summarize all texts together as one input\n"
    "      --input=KIND        the texts are auto (by name, else by content: web\n"
    "                          pages are found), text, html or markdown\n"
    "      --main-text         print the text that would be summarized (a web\n"
    "                          page's or Markdown file's main text) instead\n"
    "Summary:\n"
    "  -q, --query=QUERY       centre the extract on the sentence closest to QUERY\n"
    "                          (the central sentence)\n"
    "  -i, --condense          print the sentences condensed\n"
    "  -a, --mean              score sentences by the mean frequency of their words\n"
    "      --method=NAME       score and choose sentences by frequency (default) or\n"
    "                          centrality (position, likeness to the rest and to the\n"
    "                          title, recurring words, less what is already chosen)\n"
    "      --title=TITLE       the texts' title, for centrality (default: a first\n"
    "                          line standing alone)\n"
    "  -l, --language=LANG     read the texts in LANG, an ISO 639-1 code, or find\n"
    "                          each text's language with auto (default:\n"
    "                          $BRENNIC_LANGUAGE, else auto)\n"
    "      --encoding=E        read texts as auto (UTF-8 when valid, else ISO 8859-1),\n"
    "                          latin1 or utf-8 (default: $BRENNIC_ENCODING, else auto)\n"
    "Running:\n"
    "  -j, --jobs=N            summarize N texts at a time (default: one per core)\n"
    "      --failed=FILE       write the texts that failed to FILE (-: standard\n"
    "                          output), one a line\n"
    "      --dry-run           check the names only; list the texts to be done\n"
    "      --no-progress       no progress bar, even on a terminal\n"
    "      --quiet             no note when a text found no language and is read\n"
    "                          as English\n"
    "  -h, --help              this text\n"
    "      --version           the version\n"
    "Exit status: 0 all done, 1 some texts failed, 2 bad usage.\n";

namespace {

using batch::Format;
using batch::Settings;
using batch::UsageError;

enum LongOnly {
    kFailed = 256,
    kDryRun,
    kNoProgress,
    kVersion,
    kHtml,
    kKeywords,
    kStems,
    kKeep,
    kWords,
    kSentences,
    kFormat,
    kSum,
    kOutputDir,
    kFilesFrom,
    kStdout,
    kEncoding,
    kMethod,
    kTitle,
    kInput,
    kMainText,
    kInclude,
    kQuiet,
};

const option kLongOptions[] = {
    {"rate", required_argument, nullptr, 'r'},
    {"keep", required_argument, nullptr, kKeep},
    {"words", required_argument, nullptr, kWords},
    {"sentences", required_argument, nullptr, kSentences},
    {"format", required_argument, nullptr, kFormat},
    {"sum", no_argument, nullptr, kSum},
    {"output-dir", required_argument, nullptr, kOutputDir},
    {"files-from", required_argument, nullptr, kFilesFrom},
    {"query", required_argument, nullptr, 'q'},
    {"condense", no_argument, nullptr, 'i'},
    {"mean", no_argument, nullptr, 'a'},
    {"language", required_argument, nullptr, 'l'},
    {"encoding", required_argument, nullptr, kEncoding},
    {"method", required_argument, nullptr, kMethod},
    {"title", required_argument, nullptr, kTitle},
    {"input", required_argument, nullptr, kInput},
    {"main-text", no_argument, nullptr, kMainText},
    {"together", no_argument, nullptr, 'n'},
    {"recursive", no_argument, nullptr, 'R'},
    {"include", required_argument, nullptr, kInclude},
    {"quiet", no_argument, nullptr, kQuiet},
    {"stdout", no_argument, nullptr, 'c'},
    {"null", no_argument, nullptr, '0'},
    {"jobs", required_argument, nullptr, 'j'},
    {"failed", required_argument, nullptr, kFailed},
    {"dry-run", no_argument, nullptr, kDryRun},
    {"no-progress", no_argument, nullptr, kNoProgress},
    {"html", no_argument, nullptr, kHtml},
    {"keywords", required_argument, nullptr, kKeywords},
    {"stems", no_argument, nullptr, kStems},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

// A whole number from `least` to `most`, all of arg.
std::optional<unsigned long> whole_number(const char* arg, unsigned long least,
                                          unsigned long most) {
    unsigned long n = 0;
    const char* end = arg + std::strlen(arg);
    const auto [ptr, ec] = std::from_chars(arg, end, n);
    if (*arg == '\0' || ec != std::errc() || ptr != end || n < least || n > most)
        return std::nullopt;
    return n;
}

std::string quoted(const char* arg) { return std::string("'") + arg + "'"; }

// --keep: a fraction from 0 to 1, or a percentage from 0% to 100%. The
// share kept becomes the share left out of Brennic.exe's rate.
float keep_rate(const char* arg) {
    std::string_view s(arg);
    const bool percent = s.ends_with('%');
    if (percent) s.remove_suffix(1);
    const std::optional<float> value = read_number(s);
    const float most = percent ? 100.0f : 1.0f;
    if (!value || *value < 0.0f || *value > most)
        throw UsageError(
            "--keep wants a fraction from 0 to 1 or a percentage from 0% to 100%, "
            "not " +
            quoted(arg));
    const double keep = percent ? *value / 100.0 : *value;
    return static_cast<float>(1.0 - keep);
}

// The largest number of words a rate carries exactly.
constexpr unsigned long kMostWords = 1ul << 24;

// The lengths given: one budget in words (--keep, --words or --rate) and a
// budget in sentences, each at most once.
struct Lengths {
    bool words = false;
    bool sentences = false;
};

void set_length(Settings& settings, int option, const char* arg, Lengths& given) {
    bool& once = option == kSentences ? given.sentences : given.words;
    if (once)
        throw UsageError(option == kSentences
                             ? "give --sentences once"
                             : "give one length in words at most: --keep, --words or --rate");
    once = true;
    Options& o = settings.summary;
    switch (option) {
        case kKeep:
            o.compression_rate = keep_rate(arg);
            break;
        case kWords: {
            const auto n = whole_number(arg, 1, kMostWords);
            if (!n)
                throw UsageError("--words wants a whole number of words from 1 to " +
                                 std::to_string(kMostWords) + ", not " + quoted(arg));
            o.compression_rate = static_cast<float>(*n);
            break;
        }
        case kSentences: {
            const auto n = whole_number(arg, 1, static_cast<unsigned long>(-1));
            if (!n)
                throw UsageError("--sentences wants a whole number of sentences from 1 on, not " +
                                 quoted(arg));
            o.max_sentences = *n;
            break;
        }
        default: {
            const std::optional<float> rate = read_number(arg);
            if (!rate) throw UsageError("--rate wants a number, not " + quoted(arg));
            o.compression_rate = *rate;
            break;
        }
    }
}

Format format(const char* arg) {
    const std::string_view f(arg);
    if (f == "text") return Format::text;
    if (f == "json") return Format::json;
    if (f == "html") return Format::html;
    throw UsageError("--format wants text, json or html, not " + quoted(arg));
}

bool is_language(std::string_view code) {
    if (code == "auto") return true;
    const std::vector<std::string> codes = language_codes();
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

std::string known_languages() {
    std::string list;
    for (const std::string& code : language_codes()) list += (list.empty() ? "" : ", ") + code;
    return list;
}

Encoding parse_encoding_setting(const char* arg, const char* what) {
    const std::optional<Encoding> encoding = parse_encoding(arg);
    if (!encoding) {
        throw UsageError(std::string(what) + " wants auto, latin1 or utf-8, not '" + arg + "'");
    }
    return *encoding;
}

}  // namespace

Action parse_arguments(int argc, char** argv, Settings& settings) {
    Lengths lengths;
    bool to_stdout = false;
    bool have_language = false;
    bool have_encoding = false;
    optind = 0;  // a fresh scan
    opterr = 0;  // the messages are ours
    for (;;) {
        const int c = getopt_long(argc, argv, ":r:q:ial:nRc0j:h", kLongOptions, nullptr);
        if (c == -1) break;
        switch (c) {
            case 'r':
            case kKeep:
            case kWords:
            case kSentences:
                set_length(settings, c, optarg, lengths);
                break;
            case kFormat:
                settings.format = format(optarg);
                break;
            case kHtml:
                settings.format = Format::html;
                break;
            case kSum:
                settings.beside = true;
                break;
            case kOutputDir:
                if (*optarg == '\0') throw UsageError("--output-dir wants a folder");
                settings.output_dir = optarg;
                break;
            case kFilesFrom:
                if (*optarg == '\0') throw UsageError("--files-from wants a file, or -");
                settings.files_from = optarg;
                break;
            case 'q':
                settings.summary.query = optarg;
                break;
            case 'i':
                settings.summary.condense = true;
                break;
            case 'a':
                settings.summary.mean = true;
                break;
            case 'l':
                if (!is_language(optarg)) {
                    throw UsageError(std::string("unknown language '") + optarg +
                                     "': give one of " + known_languages() + ", or auto");
                }
                settings.summary.language = optarg;
                have_language = true;
                break;
            case kEncoding:
                settings.summary.encoding = parse_encoding_setting(optarg, "--encoding");
                have_encoding = true;
                break;
            case kMethod: {
                const std::vector<std::string> names = methods();
                if (std::find(names.begin(), names.end(), optarg) == names.end()) {
                    std::string known;
                    for (const std::string& n : names) known += (known.empty() ? "" : ", ") + n;
                    throw UsageError(std::string("unknown method '") + optarg + "': give one of " +
                                     known);
                }
                settings.summary.method = optarg;
                break;
            }
            case kTitle:
                settings.summary.title = optarg;
                break;
            case kInput: {
                const std::optional<Input> input = parse_input(optarg);
                if (!input)
                    throw UsageError("--input wants auto, text, html or markdown, not " +
                                     quoted(optarg));
                settings.input = *input;
                break;
            }
            case kMainText:
                settings.main_text = true;
                break;
            case 'n':
                settings.together = true;
                break;
            case 'R':
                settings.recursive = true;
                break;
            case kInclude:
                if (*optarg == '\0') throw UsageError("--include wants a pattern");
                settings.include.emplace_back(optarg);
                break;
            case kQuiet:
                settings.quiet = true;
                break;
            case 'c':
                to_stdout = true;
                break;
            case '0':
                settings.null_separated = true;
                break;
            case 'j': {
                const auto jobs = whole_number(optarg, 1, 4096);
                if (!jobs)
                    throw UsageError("-j wants a number of jobs from 1 to 4096, not " +
                                     quoted(optarg));
                settings.jobs = static_cast<unsigned>(*jobs);
                break;
            }
            case kFailed:
                settings.failed_list = optarg;
                break;
            case kDryRun:
                settings.dry_run = true;
                break;
            case kNoProgress:
                settings.progress = false;
                break;
            case kKeywords: {
                const auto n = whole_number(optarg, 1, static_cast<unsigned long>(-1));
                if (!n)
                    throw UsageError("--keywords wants a number of keywords from 1 on, not " +
                                     quoted(optarg));
                settings.keywords = *n;
                break;
            }
            case kStems:
                settings.stems = true;
                break;
            case 'h':
                return Action::help;
            case kVersion:
                return Action::version;
            case ':':
                throw UsageError(std::string(argv[optind - 1]) + " wants a value");
            default:
                throw UsageError(optopt != 0
                                     ? std::string("unknown option -") + static_cast<char>(optopt)
                                     : std::string("unknown option ") + argv[optind - 1]);
        }
    }
    settings.texts.assign(argv + optind, argv + argc);
    // A budget in sentences alone: no budget in words.
    if (lengths.sentences && !lengths.words) settings.summary.compression_rate = 0.0f;
    if (!settings.include.empty() && !settings.recursive)
        throw UsageError("--include goes with -R");
    // --stdout undoes --sum and --output-dir.
    if (to_stdout) {
        settings.beside = false;
        settings.output_dir.reset();
    }
    if (settings.texts.empty() && !settings.files_from) settings.texts.push_back("-");
    int stdin_texts = 0;
    for (const std::string& text : settings.texts) {
        if (text.empty()) throw UsageError("an empty text name");
        stdin_texts += text == "-";
    }
    if (stdin_texts > 1) throw UsageError("standard input (-) can be read only once");
    if (stdin_texts > 0 && settings.files_from)
        throw UsageError("standard input (-) cannot be a text with --files-from");
    if (settings.dry_run && stdin_texts > 0)
        throw UsageError("--dry-run reads no text, not even standard input");
    if (settings.summary.mean && settings.summary.method != "frequency")
        throw UsageError("--mean goes with --method frequency");
    if (settings.summary.title && settings.summary.method == "frequency")
        throw UsageError("--title goes with a method that reads titles (centrality)");
    if (settings.stems && !settings.keywords && settings.format != Format::json)
        throw UsageError("--stems goes with --keywords");
    if (settings.format == Format::html && settings.keywords &&
        (!settings.to_files() || stdin_texts > 0))
        throw UsageError("--format html and --keywords cannot share standard output");
    if (settings.main_text && (settings.to_files() || settings.format != Format::text ||
                               settings.keywords || settings.dry_run))
        throw UsageError(
            "--main-text prints to standard output: it goes with no --sum, --output-dir, "
            "--format, --keywords or --dry-run");
    if (const char* env = std::getenv("BRENNIC_ENCODING");
        !have_encoding && env != nullptr && *env != '\0') {
        settings.summary.encoding = parse_encoding_setting(env, "BRENNIC_ENCODING");
    }
    if (const char* env = std::getenv("BRENNIC_LANGUAGE"); !have_language) {
        settings.summary.language = "auto";
        if (env != nullptr && *env != '\0') {
            if (!is_language(env))
                throw UsageError(std::string("BRENNIC_LANGUAGE is '") + env + "': give one of " +
                                 known_languages() + ", or auto");
            settings.summary.language = env;
        }
    }
    settings.summary.diagnostics = settings.format != Format::text || settings.keywords;
    return Action::run;
}

int main_entry(int argc, char** argv) {
    const char* program = program_invocation_short_name;
    open_standard_descriptors();
    batch::Settings settings;
    try {
        switch (parse_arguments(argc, argv, settings)) {
            case Action::help:
                std::fputs(kUsage, stdout);
                return standard_output_flushed(program) ? 0 : 1;
            case Action::version:
                std::printf("%s %s\n", program, version());
                return standard_output_flushed(program) ? 0 : 1;
            case Action::run:
                break;
        }
        // A signal that ends the run removes its temporary file and leaves
        // the failure list with the failures so far.
        batch::clean_up_on_signals();
        return batch::run(settings);
    } catch (const batch::UsageError& e) {
        std::fprintf(stderr, "%s: %s\n", program, e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", program, batch::describe(e).c_str());
        return 1;
    }
}

}  // namespace brennic::cli
