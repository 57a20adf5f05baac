// SPDX-License-Identifier: MIT
// Run-in openers: finding a sentence opener in the middle of a line.
#include "talven/run_in_openers.h"

#include <array>
#include <string_view>

namespace talven {
namespace {

bool is_run_in_opener(std::string_view w) {
    static constexpr std::array<std::string_view, 5> openers = {"In", "We", "They", "She", "There"};
    for (std::string_view o : openers) {
        if (w == o) return true;
    }
    return false;
}

}  // namespace

bool run_in_opener_at(const Words& words, const Quotations& quotes, const SentenceState& sentence,
                      std::size_t i) {
    const std::size_t k = i + 1;
    if (k + 1 >= words.size() || words.glued(k) || !is_run_in_opener(words[k])) return false;
    const std::string_view before = words[i];
    const char last = before.back();
    if (!is_ascii_letter(last) && !is_ascii_digit(last)) return false;
    if (words.breaks(k + 1) != 0 || !is_ascii_lower(words[k + 1][0])) return false;
    return sentence.depth == 0 && !quotes.inside[i];
}

}  // namespace talven
