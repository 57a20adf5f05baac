# SPDX-License-Identifier: MIT
# Writes OUT, a C++ source holding the files FILES (separated by "|") as
# byte arrays, looked up by their path below ROOT: the language tables are
# compiled into the library, so no program needs a data path at run time.
string(REPLACE "|" ";" files "${FILES}")
set(body "")
set(table "")
set(n 0)
foreach(file IN LISTS files)
  file(RELATIVE_PATH name "${ROOT}" "${file}")
  file(READ "${file}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND body "const char data${n}[] = {${bytes}0};\n")
  string(APPEND table "    {\"${name}\", {data${n}, ${size}}},\n")
  math(EXPR n "${n} + 1")
endforeach()
file(WRITE "${OUT}.new" "// Generated from the files below data/ by cmake/embed-data.cmake.
#include <string_view>
#include <utility>

namespace talven {
namespace {
${body}
const std::pair<std::string_view, std::string_view> files[] = {
${table}};
}  // namespace

std::string_view data_file(std::string_view name) {
    for (const auto& [path, contents] : files) {
        if (path == name) return contents;
    }
    return {};
}

}  // namespace talven
")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${OUT}.new" "${OUT}")
file(REMOVE "${OUT}.new")
