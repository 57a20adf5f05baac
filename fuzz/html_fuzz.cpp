// SPDX-License-Identifier: MIT
// Fuzzes the page reader on random bytes: it never crashes, hangs or reads
// out of bounds, and what it gives is well-formed UTF-8 with the paragraphs
// of its text apart by one blank line, nothing around them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/utf8.h"
#include "readers/html.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto document = brennic::readers::read_html(bytes);
    check(brennic::is_valid_utf8(document.text));
    check(brennic::is_valid_utf8(document.title));
    check(document.language.empty() || document.language.size() == 2);
    const std::string_view text = document.text;
    check(text.find('\0') == std::string_view::npos);
    check(text.find("\n\n\n") == std::string_view::npos);
    check(text.empty() || (text.front() != '\n' && text.back() != '\n'));
    return 0;
}
