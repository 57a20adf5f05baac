// SPDX-License-Identifier: MIT
#include "brennic/command_line.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "brennic/brennic.h"
#include "brennic/failure.h"
#include "brennic/run_state.h"
#include "languages/language_detect.h"
#include "languages/languages.h"
#include "system/quote.h"
#include "system/safe_files.h"
#include "system/signal_cleanup.h"

namespace brennic {

const char* const kUsageText =
    "\nExecuting Brennic for Windows/MSDOS:\n"
    "Brennic [-is] [-ak] [-nM] text1 [... textM] [query] compression_rate\n\n"
    "Executing Brennic for Unix/Linux:\n"
    "./Brennic.exe [-is] [-ak] [-nM] text1 [... textM] [query] compression_rate\n";

namespace {

// The document count: like "%d" on at most the 9 characters after "-n".
std::optional<int> document_count(const char* arg) {
    char aux[10] = {};
    std::strncpy(aux, arg + 2, 9);
    int n = 0;
    if (std::sscanf(aux, "%d", &n) != 1 || n < 1) return std::nullopt;
    return n;
}

}  // namespace

std::string multidoc_name(const std::string& last_text) {
    const std::size_t slash = last_text.rfind('/');
    if (slash == std::string::npos) return "multidoc-" + last_text;
    return last_text.substr(0, slash + 1) + "multidoc-" + last_text.substr(slash + 1);
}

std::optional<CommandLine> parse_command_line(int argc, const char* const* argv) {
    if (argc <= 2) return std::nullopt;
    CommandLine cl;
    int counter = 1;
    if (std::strcmp(argv[counter], "-is") == 0) {
        cl.test_is = true;
        ++counter;
    }
    if (counter < argc && std::strcmp(argv[counter], "-ak") == 0) {
        cl.test_ak = true;
        ++counter;
    }
    if (counter >= argc) return std::nullopt;
    if (std::strncmp(argv[counter], "-n", 2) == 0) {
        const std::optional<int> n = document_count(argv[counter]);
        if (!n || *n > argc - counter - 2) return std::nullopt;  // texts and a rate must follow
        ++counter;
        for (int i = 0; i < *n; ++i) cl.texts.emplace_back(argv[counter++]);
        cl.filename = *n > 1 ? multidoc_name(cl.texts.back()) : cl.texts.back();
    } else {
        cl.texts.emplace_back(argv[counter++]);
        cl.filename = cl.texts.back();
    }
    if (counter >= argc) return std::nullopt;
    if (counter < argc - 1) cl.query = argv[counter++];
    cl.compression_rate = parse_rate(argv[counter]);
    return cl;
}

Encoding encoding_from_environment() {
    const char* value = std::getenv("BRENNIC_ENCODING");
    if (value == nullptr || *value == '\0') return Encoding::automatic;
    const std::optional<Encoding> encoding = parse_encoding(value);
    if (!encoding) {
        throw Failure("BRENNIC_ENCODING is " + std::string(value) +
                      ": it must be auto, latin1 or utf-8");
    }
    return *encoding;
}

std::string language_from_environment() {
    const char* value = std::getenv("BRENNIC_LANGUAGE");
    if (value == nullptr || *value == '\0') return "en";
    const std::string choice(value);
    if (choice != "auto" && find_language(choice) == nullptr) {
        throw Failure("BRENNIC_LANGUAGE is " + choice + ": it must be auto or one of " +
                      language_list());
    }
    return choice;
}

namespace {

// The first bytes of a text, as many as detection looks at; nothing when it
// cannot be read (reading it fails later with the usual message). Only a
// regular file is looked at ahead: the bytes of a pipe can be read but once.
std::string text_head(const std::string& name) {
    std::string head;
    const OpenedText text = open_text(name);
    if (text.fd < 0) return head;
    struct stat st {};
    if (::fstat(text.fd, &st) == 0 && S_ISREG(st.st_mode)) {
        head.resize(kDetectionBytes);
        std::size_t got = 0;
        while (got < head.size()) {
            const ssize_t n = ::read(text.fd, head.data() + got, head.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        head.resize(got);
    }
    ::close(text.fd);
    return head;
}

// An output replaces whatever file has its name, so it must not be one of
// the texts (a text named "draft.sum" or "debug.txt", or a link to one).
void refuse_output_over_a_text(const CommandLine& cl, const std::string& what,
                               const std::string& out) {
    const std::optional<FileId> output = file_id(out);
    if (!output) return;
    for (const std::string& text : cl.texts) {
        if (file_id(text) == output)
            throw Failure("the " + what + " " + quote(out) + " would replace the text " +
                          quote(text));
    }
}

bool debug_wanted() {
    const char* flag = std::getenv("BRENNIC_DEBUG");
    return flag != nullptr && *flag != '\0';
}

void summarize(const CommandLine& cl) {
    refuse_output_over_a_text(cl, "extract", extract_file_name(cl.filename));
    if (debug_wanted()) refuse_output_over_a_text(cl, "dump", "debug.txt");
    RunState state;
    state.test_is = cl.test_is ? TRUE : FALSE;
    state.test_ak = cl.test_ak ? TRUE : FALSE;
    state.encoding = encoding_from_environment();
    const std::string language = language_from_environment();
    for (const std::string& text : cl.texts) {
        state.choose_language(language, language == "auto" ? text_head(text) : std::string());
        read_text(state, text);
    }
    summarize_read_texts(state, cl.query, cl.compression_rate);
    if (debug_wanted()) debug(state);
    print_extract(state, cl.filename);
}

}  // namespace

namespace {

// The exit status, once standard output is known to hold what was
// written to it: a message that could not be written is reported on
// standard error.
int flushed(int status) { return standard_output_flushed("Brennic.exe") ? status : 1; }

int run(int argc, const char* const* argv) {
    // Exactly these two arguments are options; a text of that name is ./--help.
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(
            "Brennic.exe writes the extract of one text, or with -nM of M texts read\n"
            "together, to the name of the (last) text with the extension .sum.\n",
            stdout);
        std::fputs(kUsageText, stdout);
        std::fputs("\nThe command brennic does the same as a filter: see brennic --help.\n",
                   stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("Brennic.exe %s\n", version());
        return 0;
    }
    const std::optional<CommandLine> cl = parse_command_line(argc, argv);
    if (!cl) {
        std::fputs(kUsageText, stdout);
        return 1;
    }
    signal_cleanup::install();
    // The segmenter's exit status is checked: a SIGCHLD left ignored by
    // whoever started us would make it unknown.
    std::signal(SIGCHLD, SIG_DFL);
    try {
        summarize(*cl);
    } catch (const Failure& failure) {
        std::printf("\tERROR: %s\n", failure.what());
        return 1;
    } catch (const std::bad_alloc&) {
        std::printf("\tERROR: out of memory!\n");
        return 1;
    }
    return 0;
}

}  // namespace

int run_brennic(int argc, const char* const* argv) {
    open_standard_descriptors();
    return flushed(run(argc, argv));
}

}  // namespace brennic
