// SPDX-License-Identifier: MIT
// brennic, also installed as brennic-batch: the extracts of one or many
// texts, as a filter or into files.
#include "cli/arguments.h"

int main(int argc, char** argv) { return brennic::cli::main_entry(argc, argv); }
