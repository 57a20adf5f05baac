#include "batch/options.h"

#include <getopt.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace brennic::batch {

const char* const kUsage =
    "usage: brennic-batch [options] [text ...] [rate]\n"
    "Writes the extract of every text to NAME.sum, as Brennic.exe NAME rate does.\n"
    "Without texts, their names are read from standard input, one a line.\n"
    "  -r, --rate=RATE    compression rate, read as Brennic.exe reads it (default\n"
    "                     0.7); a last argument that is a number is the rate too\n"
    "  -q, --query=QUERY  choose the vell sentence by its similarity to QUERY\n"
    "  -i, --condense     condensed extracts (Brennic.exe -is)\n"
    "  -a, --mean         score sentences by the mean frequency of their words (-ak)\n"
    "  -l, --language=LANG  read the texts in LANG, an ISO 639-1 code (default en),\n"
    "                     or find each text's language with auto\n"
    "  -n, --together     summarize all texts together as one input (-nM)\n"
    "  -c, --stdout       write the extracts to standard output, in text order\n"
    "  -0, --null         the list on standard input and the failure list are\n"
    "                     NUL-separated\n"
    "  -j, --jobs=N       summarize N texts at a time (default: one per core)\n"
    "      --failed=FILE  write the texts that failed to FILE (-: standard output),\n"
    "                     one a line\n"
    "      --dry-run      check the names only; list the texts that would be done\n"
    "      --no-progress  no progress bar, even on a terminal\n"
    "      --html         also NAME.html: the whole text, its extract highlighted\n"
    "      --keywords=N   print the N most frequent content stems of every text\n"
    "      --encoding=E   read texts as auto (UTF-8 when valid, else ISO 8859-1),\n"
    "                     latin1 or utf-8 (default: $BRENNIC_ENCODING, else auto)\n"
    "  -h, --help         this text\n"
    "      --version      the version\n"
    "The text - is standard input; its extract goes to standard output.\n"
    "With --stdout, standard output gets the page with --html, or else the\n"
    "keywords with --keywords, instead of the extract.\n"
    "Exit status: 0 all done, 1 some texts failed, 2 bad usage.\n";

namespace {

enum LongOnly { kFailed = 256, kDryRun, kNoProgress, kVersion, kHtml, kKeywords, kEncoding };

const option kLongOptions[] = {
    {"rate", required_argument, nullptr, 'r'},
    {"query", required_argument, nullptr, 'q'},
    {"condense", no_argument, nullptr, 'i'},
    {"mean", no_argument, nullptr, 'a'},
    {"language", required_argument, nullptr, 'l'},
    {"together", no_argument, nullptr, 'n'},
    {"stdout", no_argument, nullptr, 'c'},
    {"null", no_argument, nullptr, '0'},
    {"jobs", required_argument, nullptr, 'j'},
    {"failed", required_argument, nullptr, kFailed},
    {"dry-run", no_argument, nullptr, kDryRun},
    {"no-progress", no_argument, nullptr, kNoProgress},
    {"html", no_argument, nullptr, kHtml},
    {"keywords", required_argument, nullptr, kKeywords},
    {"encoding", required_argument, nullptr, kEncoding},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

// True when the whole argument reads as a number ("0.7", "120", "1e2").
bool is_number(const std::string& arg) {
    float value = 0.0f;
    int used = -1;
    return !arg.empty() && std::sscanf(arg.c_str(), "%f%n", &value, &used) == 1 &&
           used == static_cast<int>(arg.size());
}

unsigned parse_jobs(const char* arg) {
    unsigned jobs = 0;
    const char* end = arg + std::strlen(arg);
    const auto [ptr, ec] = std::from_chars(arg, end, jobs);
    if (ec != std::errc() || ptr != end || jobs < 1 || jobs > 4096) {
        throw UsageError(std::string("-j wants a number of jobs from 1 to 4096, not '") + arg +
                         "'");
    }
    return jobs;
}

std::size_t parse_keywords(const char* arg) {
    std::size_t n = 0;
    const char* end = arg + std::strlen(arg);
    const auto [ptr, ec] = std::from_chars(arg, end, n);
    if (ec != std::errc() || ptr != end || n < 1) {
        throw UsageError(std::string("--keywords wants a number of stems from 1 on, not '") + arg +
                         "'");
    }
    return n;
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
    bool have_rate = false;
    bool have_encoding = false;
    optind = 0;  // a fresh scan
    opterr = 0;  // the messages are ours
    for (;;) {
        const int c = getopt_long(argc, argv, ":r:q:ial:nc0j:h", kLongOptions, nullptr);
        if (c == -1) break;
        switch (c) {
            case 'r':
                settings.summary.compression_rate = parse_rate(optarg);
                have_rate = true;
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
                break;
            case 'n':
                settings.together = true;
                break;
            case 'c':
                settings.to_stdout = true;
                break;
            case '0':
                settings.null_separated = true;
                break;
            case 'j':
                settings.jobs = parse_jobs(optarg);
                break;
            case kFailed:
                settings.failed_list = optarg;
                break;
            case kDryRun:
                settings.dry_run = true;
                break;
            case kNoProgress:
                settings.progress = false;
                break;
            case kHtml:
                settings.html = true;
                break;
            case kKeywords:
                settings.keywords = parse_keywords(optarg);
                break;
            case kEncoding:
                settings.summary.encoding = parse_encoding_setting(optarg, "--encoding");
                have_encoding = true;
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
    if (const char* env = std::getenv("BRENNIC_ENCODING");
        !have_encoding && env != nullptr && *env != '\0') {
        settings.summary.encoding = parse_encoding_setting(env, "BRENNIC_ENCODING");
    }
    settings.texts.assign(argv + optind, argv + argc);
    // Brennic.exe's rate comes last; here it may, when -r does not give it.
    if (!have_rate && !settings.texts.empty() && is_number(settings.texts.back())) {
        settings.summary.compression_rate = parse_rate(settings.texts.back());
        settings.texts.pop_back();
    }
    int stdin_texts = 0;
    for (const std::string& text : settings.texts) {
        if (text.empty()) throw UsageError("an empty text name");
        stdin_texts += text == "-";
    }
    if (stdin_texts > 1) throw UsageError("standard input (-) can be read only once");
    if (settings.dry_run && stdin_texts > 0)
        throw UsageError("--dry-run reads no text, not even -");
    // Standard output holds one product of a text, and one web page at most.
    if (settings.html && settings.keywords && (settings.to_stdout || stdin_texts > 0))
        throw UsageError("--html and --keywords cannot share standard output");
    if (settings.html && settings.to_stdout && !settings.together && settings.texts.size() != 1)
        throw UsageError("--html --stdout writes one page: give one text, or -n");
    settings.summary.diagnostics = settings.html || settings.keywords.has_value();
    return Action::run;
}

}  // namespace brennic::batch
