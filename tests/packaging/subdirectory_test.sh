#!/usr/bin/env bash
# Adds the tree to a host project with add_subdirectory: the alias target
# exists, C++20 travels with it, tests, benchmarks and examples stay out, and
# the Python module is still built. Only the host's own object is compiled:
# building the library again here would cost minutes and prove nothing new.
# Usage: subdirectory_test.sh SOURCE_DIR
set -euo pipefail
src=$(cd "$1" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake -S "$src/tests/packaging/subdirectory" -B "$tmp/b" -G Ninja -DKTFOLIO_SOURCE_DIR="$src" >"$tmp/configure.log" ||
  { cat "$tmp/configure.log"; fail "a host that adds the tree does not configure"; }
targets=$(ninja -C "$tmp/b" -t targets all)
for t in test_control document_bench listing_report; do
  ! grep -q "^$t:" <<<"$targets" || fail "$t is built for a host that did not ask for it"
done
grep -q "ktfolio/python/ktfolio/_ktfolio" <<<"$targets" || fail "the Python module is skipped in a host build"
grep -q "^ktfolio/lib/libktfolio.so" <<<"$targets" || fail "the library is not under the subdirectory's binary folder"
object=$(grep -o '^CMakeFiles/host\.dir/[^:]*host\.cpp\.o' <<<"$targets")
ninja -C "$tmp/b" "$object" >/dev/null || fail "the host cannot compile the headers without setting C++20 itself"
echo "subdirectory test passed"
