// SPDX-License-Identifier: MIT
// The file side of the segmenter: NAME in, NAME.seg out.
#pragma once

#include <string>
#include <string_view>

namespace talven {

// Reads `name`, segments it and writes `name` + ".seg" through a temporary
// file in the same directory that is renamed into place, so the .seg is
// either the complete new one or whatever was there before. Returns an
// empty string on success, else the reason for the failure (the temporary
// file is removed).
// `language` is the text's language option (language.h: a code or "auto").
std::string write_seg_file(const std::string& name, std::string_view language = "en");

// The command line: `TALVEN_En.exe NAME`, the language from the environment
// variable BRENNIC_LANGUAGE (unset or empty: English). Returns the exit
// status (0 done, 1 failure, 2 usage error or unknown language) after
// reporting problems on standard error.
int run_command_line(int argc, char** argv);

}  // namespace talven
