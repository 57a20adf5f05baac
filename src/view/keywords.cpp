// SPDX-License-Identifier: MIT
#include "view/keywords.h"

#include <algorithm>

namespace brennic::view {

std::vector<Keyword> keywords(const Diagnostics& diagnostics, std::size_t n) {
    std::vector<Keyword> all;
    for (const StemReport& s : diagnostics.stems) {
        if (s.content) all.push_back({s.stem, s.frequency, s.vell_word});
    }
    // The stems come in order of first occurrence; a stable sort keeps that
    // order among equal frequencies.
    std::stable_sort(all.begin(), all.end(),
                     [](const Keyword& a, const Keyword& b) { return a.frequency > b.frequency; });
    if (all.size() > n) all.resize(n);
    return all;
}

std::string keyword_lines(std::span<const Keyword> keywords) {
    std::string out;
    for (const Keyword& k : keywords) {
        out += k.stem;
        out += '\t';
        out += std::to_string(k.frequency);
        if (k.vell_word) out += "\tvell";
        out += '\n';
    }
    return out;
}

}  // namespace brennic::view
