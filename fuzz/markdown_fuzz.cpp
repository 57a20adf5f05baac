// SPDX-License-Identifier: MIT
// Fuzzes the Markdown reader on random bytes: it never crashes, its text is
// valid UTF-8 made of paragraphs apart by one blank line, and no longer than
// a few bytes a byte of input (a Windows-1252 byte becomes up to three).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/utf8.h"
#include "readers/input_kind.h"
#include "readers/markdown.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const brennic::readers::Document doc = brennic::readers::read_markdown(bytes);
    check(brennic::is_valid_utf8(doc.text) && brennic::is_valid_utf8(doc.title));
    check(doc.text.size() <= 3 * size + 1);
    check(doc.text.find('\0') == std::string_view::npos);
    check(doc.text.find("\n\n\n") == std::string_view::npos);
    check(doc.text.empty() || (doc.text.back() == '\n' && doc.text.front() != '\n'));
    // The kind of a text is told from any bytes.
    (void)brennic::readers::choose_kind(brennic::readers::InputKind::automatic, {}, bytes);
    return 0;
}
