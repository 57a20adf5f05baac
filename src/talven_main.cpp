// SPDX-License-Identifier: MIT
// TALVEN_En.exe NAME: writes the sentences of NAME, one a line, to NAME.seg.
#include "talven/seg_file.h"

int main(int argc, char** argv) { return talven::run_command_line(argc, argv); }
