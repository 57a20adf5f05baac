// SPDX-License-Identifier: MIT
// The engine of the command brennic: the extracts of one or many texts in
// one process. The texts are read, summarized by a pool of worker threads
// and written in a pipeline that holds only a bounded number of texts at a
// time.
#pragma once

#include <exception>
#include <string>

#include "batch/options.h"

namespace brennic::batch {

// Runs what the settings describe; returns the exit status (0 every text
// done, 1 some failed). Throws UsageError for settings that turn out not to
// fit once the list of texts is read.
int run(const Settings& settings);

// Makes every signal that would end the process (SIGINT, SIGTERM, SIGHUP,
// SIGPIPE, ...) first remove run()'s temporary file and write its failure
// list with the failures so far. For programs: call once, before any thread
// is started.
void clean_up_on_signals();

// What went wrong, in words: running out of memory is said so, not by the
// name of the exception.
std::string describe(const std::exception& e);

}  // namespace brennic::batch
