#!/usr/bin/env bash
# The ktfolio command line as a user meets it: the demo writes PNG pages and a
# PDF a person can open; help works everywhere; bad usage exits 2 and a
# recorded failure exits 1 with the error on stderr.
set -uo pipefail
cli="$1"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
failures=0
check() {  # check NAME CONDITION...
  local name="$1"; shift
  if "$@"; then echo "ok: $name"; else echo "FAILED: $name"; failures=$((failures + 1)); fi
}

"$cli" demo --output-dir "$out/demo" >"$out/stdout" 2>"$out/stderr"
check "demo exits 0" test $? -eq 0
check "demo writes page-1.png" test -s "$out/demo/page-1.png"
check "demo writes page-2.png" test -s "$out/demo/page-2.png"
check "demo writes document.pdf" test -s "$out/demo/document.pdf"
check "demo names the files it wrote" grep -q "document.pdf" "$out/stdout"
pages=$(pdfinfo "$out/demo/document.pdf" | awk '/^Pages:/ {print $2}')
pngs=$(ls "$out/demo"/page-*.png | wc -l)
check "one PNG per PDF page ($pngs, $pages)" test "$pngs" -eq "$pages"
check "the PDF carries the invoice's text" sh -c "pdftotext '$out/demo/document.pdf' - | grep -q 'Total due'"
check "the footer numbers the pages" sh -c "pdftotext -f 2 -l 2 '$out/demo/document.pdf' - | grep -q 'Page 2 of $pages'"

for args in "--help" "demo --help"; do
  "$cli" $args >"$out/help" 2>&1
  check "'$args' exits 0" test $? -eq 0
  check "'$args' prints usage" grep -qi "usage" "$out/help"
done

"$cli" demo --zoom 9 --output-dir "$out/z" >/dev/null 2>"$out/stderr"
check "a zoom out of range is bad usage (exit 2)" test $? -eq 2
"$cli" frobnicate >/dev/null 2>&1
check "an unknown command is bad usage (exit 2)" test $? -eq 2

"$cli" demo --logo "$out/no-such-logo.png" --output-dir "$out/l" >/dev/null 2>"$out/stderr"
check "a missing logo is a recorded failure (exit 1)" test $? -eq 1
check "the error number and source reach stderr" grep -q "error 53 (" "$out/stderr"

"$cli" view --demo --screenshot "$out/view.png" --size 640x480 --zoom 0 >/dev/null 2>"$out/stderr"
check "view renders the preview headless (exit 0)" test $? -eq 0
check "the screenshot has the window's size" test "$(identify -format '%wx%h' "$out/view.png")" = 640x480
"$cli" view --demo --screenshot "$out/bad.png" --page 99 >/dev/null 2>"$out/stderr"
check "previewing a page past the end is a recorded failure (exit 1)" test $? -eq 1
check "it names error 60107" grep -q "error 60107 (Previewing)" "$out/stderr"
"$cli" view --screenshot "$out/none.png" >/dev/null 2>&1
check "view without a document is bad usage (exit 2)" test $? -eq 2
"$cli" view "$(dirname "$0")/../../examples/templates/invoice.ktt" --screenshot "$out/tpl.png" --page 3 >/dev/null 2>&1
check "view previews a template file" test -s "$out/tpl.png"
"$cli" view "$out/no-such.ktt" --screenshot "$out/none2.png" >/dev/null 2>"$out/stderr"
check "a missing template is a recorded failure (exit 1)" test $? -eq 1

echo "$failures failed"
exit $((failures > 0))
