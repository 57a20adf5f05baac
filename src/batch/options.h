// The command line of brennic-batch.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "brennic/brennic.h"

namespace brennic::batch {

extern const char* const kUsage;

// Everything a run is told on its command line. New kinds of output add a
// field here and are produced where the run writes its outputs (batch.cpp).
struct Settings {
    Options summary;                         // -i, -a, -q, --encoding and the rate
    std::vector<std::string> texts;          // as given; empty: a list on standard input
    bool null_separated = false;             // -0: the list and the failure list use NUL
    bool to_stdout = false;                  // -c: extracts to standard output
    bool together = false;                   // -n: all texts are one input
    bool dry_run = false;                    // check the names, list what would be done
    bool progress = true;                    // --no-progress turns the bar off
    unsigned jobs = 0;                       // -j; 0: one per core
    std::optional<std::string> failed_list;  // --failed FILE
    bool html = false;                       // --html: NAME.html, the text with its extract
    std::optional<std::size_t> keywords;     // --keywords N: the top N content stems
};

// A command line that does not fit; main prints it and the usage, exit 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Action { run, help, version };

// Parses argv (argv[0] is the program) into settings; throws UsageError.
Action parse_arguments(int argc, char** argv, Settings& settings);

}  // namespace brennic::batch
