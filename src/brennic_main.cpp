// SPDX-License-Identifier: MIT
// Brennic.exe: writes an extract of one or several English texts.
#include "brennic/command_line.h"

int main(int argc, char** argv) { return brennic::run_brennic(argc, argv); }
