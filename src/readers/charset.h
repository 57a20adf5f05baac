// SPDX-License-Identifier: MIT
// The character set of a web page, and its bytes as UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace brennic::readers {

// The charset a page declares for itself, lower case: a byte order mark
// ("utf-8", "utf-16le", "utf-16be"), else an XML declaration's encoding or a
// <meta charset> / http-equiv Content-Type among the page's first bytes.
// Empty when it declares none.
std::string declared_charset(std::string_view bytes);

// The page's bytes as UTF-8: by its byte order mark, else by the charset it
// declares, else UTF-8 when the bytes are well-formed, else Windows-1252.
// Well-formed UTF-8 with bytes above ASCII wins over a declared single- or
// multi-byte charset that would garble it. Bytes that the charset does not
// map become U+FFFD; the result is always well-formed UTF-8. It is `bytes`
// themselves when they are that already (no copy), else the decoded text,
// held in `decoded`.
std::string_view page_to_utf8(std::string_view bytes, std::string& decoded);

}  // namespace brennic::readers
