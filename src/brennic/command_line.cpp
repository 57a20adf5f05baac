#include "brennic/command_line.h"

#include <sys/stat.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "brennic/brennic.h"
#include "brennic/failure.h"
#include "brennic/run_state.h"
#include "language_detect.h"
#include "languages.h"
#include "signal_cleanup.h"

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
// cannot be read (reading it fails later with the usual message).
std::string text_head(const std::string& name) {
    std::string head;
    if (FILE* f = std::fopen(name.c_str(), "rb")) {
        head.resize(kDetectionBytes);
        head.resize(std::fread(head.data(), 1, head.size(), f));
        std::fclose(f);
    }
    return head;
}

// The extract replaces whatever file has its name, so it must not be one of
// the texts (a text named "draft.sum", or a link to one).
void refuse_extract_over_a_text(const CommandLine& cl) {
    const std::string out = extract_file_name(cl.filename);
    struct stat extract {};
    if (::stat(out.c_str(), &extract) != 0) return;
    for (const std::string& text : cl.texts) {
        struct stat st {};
        if (::stat(text.c_str(), &st) == 0 && st.st_dev == extract.st_dev &&
            st.st_ino == extract.st_ino) {
            throw Failure("the extract " + out + " would replace the text " + text);
        }
    }
}

void summarize(const CommandLine& cl) {
    refuse_extract_over_a_text(cl);
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
    if (const char* flag = std::getenv("BRENNIC_DEBUG"); flag != nullptr && *flag != '\0') {
        debug(state);
    }
    print_extract(state, cl.filename);
}

}  // namespace

int run_brennic(int argc, const char* const* argv) {
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

}  // namespace brennic
