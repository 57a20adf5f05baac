#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build into a scratch prefix, then builds examples/cpp against
# it twice, with find_package(Brennic) and with pkg-config, and checks that
# both programs print the extract that Brennic.exe writes.
# usage: install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
src=$2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/brennic-install-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in include/brennic/brennic.h include/brennic/export.h lib/libbrennic.a \
         lib/cmake/Brennic/BrennicConfig.cmake lib/pkgconfig/brennic.pc \
         bin/brennic bin/brennic-batch share/man/man1/brennic.1 share/man/man1/brennic-batch.1 \
         share/brennic/brennic.schema.json \
         share/bash-completion/completions/brennic share/bash-completion/completions/brennic-batch; do
  found=$(find "$prefix" -path "*/${f#*/}" -print -quit | grep -c . || true)
  [ "$found" = 1 ] || { echo "not installed: $f" >&2; exit 1; }
done
soname=$(find "$prefix" -name 'libbrennic.so.*' -type f -print -quit)
# grep reads all of objdump's output: with -q it could stop early, and pipefail
# would take objdump's broken pipe for a failure.
objdump -p "$soname" | grep 'SONAME *libbrennic\.so\.1$' >/dev/null || { echo "bad SONAME in $soname" >&2; exit 1; }
libdir=$(dirname "$soname")

# Programs installed into a prefix of their own find its libraries by
# themselves, through a RUNPATH relative to where they lie (an install
# configured for /usr gets none).
if ! grep -qx 'CMAKE_INSTALL_PREFIX:PATH=/usr/*' "$build/CMakeCache.txt"; then
  for exe in "$prefix"/bin/*; do
    readelf -h "$exe" >/dev/null 2>&1 || continue  # a script
    readelf -d "$exe" | grep 'RUNPATH.*\[\$ORIGIN/\.\./lib' >/dev/null ||
      { echo "$exe has no RUNPATH \$ORIGIN/../lib" >&2; exit 1; }
  done
fi

# The extract that Brennic.exe writes for the sample.
mkdir "$scratch/run"
cp "$src/examples/sample.txt" "$scratch/run/"
(cd "$scratch/run" && PATH="$build:$PATH" "$build/Brennic.exe" sample.txt "orchard trees" 0.7)
expected=$(cat "$scratch/run/sample.sum")

cmake -S "$src/examples/cpp" -B "$scratch/with-cmake" -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$scratch/with-cmake" >/dev/null
got=$(LD_LIBRARY_PATH=$libdir "$scratch/with-cmake/summarize" "$src/examples/sample.txt" 0.7 "orchard trees" 2>/dev/null)
[ "$got" = "$expected" ] || { echo "find_package build: extract differs" >&2; exit 1; }

export PKG_CONFIG_PATH=$libdir/pkgconfig
# shellcheck disable=SC2046
g++ -O2 -o "$scratch/with-pkg-config" "$src/examples/cpp/summarize.cpp" \
    $(pkg-config --cflags --libs brennic) -Wl,-rpath,"$libdir"
got=$("$scratch/with-pkg-config" "$src/examples/sample.txt" 0.7 "orchard trees" 2>/dev/null)
[ "$got" = "$expected" ] || { echo "pkg-config build: extract differs" >&2; exit 1; }
echo "install, find_package and pkg-config: ok"
