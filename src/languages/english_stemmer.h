// SPDX-License-Identifier: MIT
// The Porter stemmer and the in-memory stemming walk built on it.
#pragma once

#include <string>
#include <string_view>

namespace brennic {

// Stems the lower-case word p[i..j] in place and returns the offset of the
// stem's last letter k (i <= k <= j); the caller terminates the stem at
// p[k + 1]. Words of one or two letters are returned untouched. Nothing
// before p[i] or after p[j] is read or written, and nothing is allocated.
int stem(char* p, int i, int j);

// Walks the text in order and stems every run of ASCII letters (lowercased
// as it is gathered); each run's stem replaces the previous one in out, so
// out ends with the stem of the last run. A text without ASCII letters
// leaves out unchanged.
void stemfile(std::string_view in, std::string& out);

// Leaves in stem the stem of the last run of ASCII letters of word, or
// leaves stem unchanged when word has none. word and stem may be the same
// string.
void get_stem(std::string_view word, std::string& stem);

}  // namespace brennic
