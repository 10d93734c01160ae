#!/usr/bin/env bash
# The ktfolio command line as a user meets it: the demo's PNG pages and PDF, help, the preview;
# bad usage exits 2 and a recorded failure exits 1 with the error on stderr.
set -uo pipefail
cli="$1"
source "$(dirname "$0")/lib.sh"

exits 0 "demo exits 0" demo --output-dir "$out/demo"
for f in page-1.png page-2.png document.pdf; do check "demo writes $f" test -s "$out/demo/$f"; done
check "demo names the files it wrote" grep -q "document.pdf" "$out/stdout"
pages=$(pages_of "$out/demo/document.pdf")
pngs=$(ls "$out/demo"/page-*.png | wc -l)
check "one PNG per PDF page ($pngs, $pages)" test "$pngs" -eq "$pages"
check "the PDF carries the invoice's text" sh -c "pdftotext '$out/demo/document.pdf' - | grep -q 'Total due'"
check "the footer numbers the pages" sh -c "pdftotext -f 2 -l 2 '$out/demo/document.pdf' - | grep -q 'Page 2 of $pages'"

for args in "--help" "demo --help"; do
  exits 0 "'$args' exits 0" $args
  check "'$args' prints usage" grep -qi "usage" "$out/stdout" "$out/stderr"
done

exits 2 "a zoom out of range is bad usage (exit 2)" demo --zoom 9 --output-dir "$out/z"
exits 2 "an unknown command is bad usage (exit 2)" frobnicate
exits 1 "a missing logo is a recorded failure (exit 1)" demo --logo "$out/no-such-logo.png" --output-dir "$out/l"
check "the error number and source reach stderr" said "error 53 ("

exits 0 "view renders the preview headless (exit 0)" view --demo --screenshot "$out/view.png" --size 640x480 --zoom 0
check "the screenshot has the window's size" test "$(identify -format '%wx%h' "$out/view.png")" = 640x480
exits 1 "previewing a page past the end is a recorded failure (exit 1)" view --demo --screenshot "$out/bad.png" --page 99
check "it names error 60107" said "error 60107 (Previewing)"
exits 2 "view without a document is bad usage (exit 2)" view --screenshot "$out/none.png"
"$cli" view "$(dirname "$0")/../../examples/templates/invoice.ktt" --screenshot "$out/tpl.png" --page 3 >/dev/null 2>&1
check "view previews a template file" test -s "$out/tpl.png"
exits 1 "a missing template is a recorded failure (exit 1)" view "$out/no-such.ktt" --screenshot "$out/none2.png"

listing="$(dirname "$0")/../../examples/templates/long_listing.ktt"
exits 0 "pdf --jobs 2 exits 0" pdf "$listing" --untagged --jobs 2 -o "$out/jobs.pdf"
check "the file has every page" test "$(pages_of "$out/jobs.pdf")" -gt 1
exits 2 "a negative --jobs is bad usage (exit 2)" pdf "$listing" --jobs -1 -o "$out/bad-jobs.pdf"

finish
