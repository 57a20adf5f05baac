#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian packages (scripts/make-deb), runs lintian on them (no
# error, no warning), unpacks them into a scratch root and uses what they
# hold: every program runs and says its version (or, until it has
# --version, its usage), every program has a compressed manual page, no
# binary carries a RUNPATH, Debian's python3 imports the module from
# dist-packages, and examples/cpp builds against libbrennic-dev with CMake
# and with pkg-config and writes the extract that Brennic.exe writes.
# Exits 77 (skipped) when the packaging tools are missing.
# usage: package_test.sh SOURCE_DIR
set -euo pipefail
src=$(cd "$1" && pwd)
for tool in dpkg-buildpackage dh dh_python3 lintian dpkg-deb; do
  if ! command -v "$tool" >/dev/null; then
    echo "package test skipped: $tool is missing (scripts/install-deps ci installs it)"
    exit 77
  fi
done
scratch=$(mktemp -d "${TMPDIR:-/tmp}/brennic-package-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "package test: $*" >&2; exit 1; }

debs=$scratch/debs
bash "$src/scripts/make-deb" "$debs" >"$scratch/make-deb.log" 2>&1 ||
  { tail -40 "$scratch/make-deb.log" >&2; fail "the package build failed"; }
grep -A30 'dpkg-gensymbols: warning' "$scratch/make-deb.log" >&2 &&
  fail "the library's symbols differ from debian/libbrennic1.symbols"
bash "$src/scripts/check-deb" "$debs" || fail "a package lacks a file"

# lintian: errors and warnings fail; what else it says is shown.
lintian --info --pedantic "$debs"/*.changes >"$scratch/lintian.log" 2>&1 || true
grep -v '^running with root privileges' "$scratch/lintian.log" || true
! grep -E '^[EW]: ' "$scratch/lintian.log" >/dev/null || fail "lintian reports errors or warnings"

root=$scratch/root
for deb in "$debs"/*.deb; do
  case $deb in *-dbgsym_*) continue ;; esac
  dpkg-deb -x "$deb" "$root"
done
version=$(dpkg-deb -f "$debs"/brennic_*.deb Version)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
libdir=$root/usr/lib/$multiarch
export LD_LIBRARY_PATH=$libdir

# Programs that must print "NAME VERSION" for --version. A program not listed
# here passes by --version too, or else by its usage line and exit status in
# USAGE below.
MUST_SAY_VERSION='brennic-batch brennic Brennic.exe TALVEN_En.exe'
# program, exit status and a line of its usage (extended regex), run
# without arguments
USAGE='
summarize-corpus 2  ^usage: summarize-corpus
'
programs=0
for exe in "$root"/usr/bin/*; do
  name=$(basename "$exe")
  programs=$((programs + 1))
  [ -f "$root/usr/share/man/man1/$name.1.gz" ] || fail "$name has no manual page"
  status=0
  out=$(cd "$scratch" && "$exe" --version 2>&1 </dev/null) || status=$?
  if [ $status -eq 0 ] && printf '%s\n' "$out" | grep -qE "^$name.* $version\$"; then
    echo "ok: $name --version: $out"
    continue
  fi
  case " $MUST_SAY_VERSION " in *" $name "*) fail "$name --version printed \"$out\" (exit $status)" ;; esac
  row=$(printf '%s\n' "$USAGE" | awk -v n="$name" '$1 == n')
  [ -n "$row" ] || fail "$name says no version (\"$out\") and has no usage row in $0"
  want_status=$(printf '%s\n' "$row" | awk '{ print $2 }')
  want=$(printf '%s\n' "$row" | sed -E 's/^[^ ]+ +[^ ]+ +//')
  status=0
  out=$(cd "$scratch" && "$exe" 2>&1 </dev/null) || status=$?
  [ "$status" = "$want_status" ] || fail "$name without arguments: exit $status, want $want_status"
  printf '%s\n' "$out" | grep -qE -- "$want" || fail "$name without arguments printed \"$out\""
  echo "ok: $name runs (usage)"
done
[ $programs -ge 4 ] || fail "usr/bin holds $programs programs"

# Debian forbids a RUNPATH in its packages (the library lies in a folder the
# loader searches).
while IFS= read -r -d '' file; do
  if readelf -d "$file" 2>/dev/null | grep -qE '\((RUNPATH|RPATH)\)'; then
    fail "${file#"$root"} has a RUNPATH"
  fi
done < <(find "$root" -type f \( -perm -u+x -o -name '*.so*' \) -print0)

# Debian's python3 looks in /usr/lib/python3/dist-packages by itself; here
# PYTHONPATH stands for that folder of the scratch root.
/usr/bin/python3 -c 'import sys; sys.exit("/usr/lib/python3/dist-packages" not in sys.path)' ||
  fail "/usr/bin/python3 does not search /usr/lib/python3/dist-packages"
got=$(cd "$scratch" && PYTHONPATH=$root/usr/lib/python3/dist-packages /usr/bin/python3 -c '
import brennic, sys
print(brennic.__file__)
print(brennic.segment("One. Two.")[1])')
case $got in "$root/usr/lib/python3/dist-packages/brennic/"*"Two.") echo "ok: import brennic" ;;
  *) fail "import brennic gave: $got" ;; esac

# examples/cpp against libbrennic-dev: the extract that Brennic.exe writes.
mkdir "$scratch/run"
cp "$src/examples/sample.txt" "$scratch/run/"
(cd "$scratch/run" && PATH="$root/usr/bin:$PATH" Brennic.exe sample.txt "orchard trees" 0.7)
expected=$(cat "$scratch/run/sample.sum")
cmake -S "$src/examples/cpp" -B "$scratch/with-cmake" -DCMAKE_PREFIX_PATH="$root/usr" \
  -DCMAKE_BUILD_TYPE=Release >"$scratch/cmake.log" 2>&1 || { cat "$scratch/cmake.log" >&2; fail "cmake"; }
grep -q "$root" "$scratch/with-cmake/CMakeCache.txt" || fail "find_package(Brennic) did not find the scratch root"
cmake --build "$scratch/with-cmake" >"$scratch/cmake.log" 2>&1 || { cat "$scratch/cmake.log" >&2; fail "build with CMake"; }
got=$("$scratch/with-cmake/summarize" "$src/examples/sample.txt" 0.7 "orchard trees" 2>/dev/null)
[ "$got" = "$expected" ] || fail "the example built with CMake writes another extract"
echo "ok: examples/cpp with find_package(Brennic)"

# shellcheck disable=SC2046
g++ -O2 -o "$scratch/with-pkg-config" "$src/examples/cpp/summarize.cpp" \
  $(PKG_CONFIG_PATH=$libdir/pkgconfig pkg-config --cflags --libs brennic)
got=$("$scratch/with-pkg-config" "$src/examples/sample.txt" 0.7 "orchard trees" 2>/dev/null)
[ "$got" = "$expected" ] || fail "the example built with pkg-config writes another extract"
echo "ok: examples/cpp with pkg-config"
echo "packages: ok"
