// SPDX-License-Identifier: MIT
// brennic-batch: the extracts of many texts in one process. The texts are
// read, summarized by a pool of worker threads and written in a pipeline
// that holds only a bounded number of texts at a time.
#pragma once

#include "batch/options.h"

namespace brennic::batch {

// Runs the batch the settings describe; returns the exit status (0 every
// text done, 1 some failed). Reads the list of texts from standard input
// when settings.texts is empty.
int run(const Settings& settings);

// The whole program: parses argv, runs, returns the exit status (2 for a
// bad command line).
int main_entry(int argc, char** argv);

}  // namespace brennic::batch
