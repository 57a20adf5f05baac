// SPDX-License-Identifier: MIT
// The command line of brennic (also installed as brennic-batch).
#pragma once

#include "batch/options.h"

namespace brennic::cli {

extern const char* const kUsage;

enum class Action { run, help, version };

// Parses argv (argv[0] is the program) into settings; throws
// batch::UsageError with a one-line message naming what does not fit.
Action parse_arguments(int argc, char** argv, batch::Settings& settings);

// The whole program: parses argv, runs, returns the exit status (0 done, 1
// some text failed, 2 a bad command line).
int main_entry(int argc, char** argv);

}  // namespace brennic::cli
