// SPDX-License-Identifier: MIT
// brennic-batch: the extracts of many texts in one process.
#include "batch/batch.h"

int main(int argc, char** argv) { return brennic::batch::main_entry(argc, argv); }
