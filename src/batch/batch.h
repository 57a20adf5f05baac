// SPDX-License-Identifier: MIT
// The engine of the command brennic: the extracts of one or many texts in
// one process. The texts are read, summarized by a pool of worker threads
// and written in a pipeline that holds only a bounded number of texts at a
// time.
#pragma once

#include "batch/options.h"

namespace brennic::batch {

// Runs what the settings describe; returns the exit status (0 every text
// done, 1 some failed). Throws UsageError for settings that turn out not to
// fit once the list of texts is read.
int run(const Settings& settings);

}  // namespace brennic::batch
