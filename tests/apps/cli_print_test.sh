#!/usr/bin/env bash
# ktfolio printers and print on the example invoice: the built-in PDF printer writes the range
# asked for; an unknown printer is a recorded failure (exit 1); bad usage exits 2.
set -uo pipefail
cli="$1"
templates="$2/examples/templates"
source "$(dirname "$0")/lib.sh"
tpl="$templates/invoice.ktt"

exits 0 "printers exits 0" printers
check "printers lists the built-in PDF printer on a line of its own" grep -qx "PDF" "$out/stdout"

exits 0 "print to PDF exits 0" print "$tpl" --printer PDF --from 2 --to 2 --output "$out/p2.pdf"
check "print names the file it wrote" grep -q "p2.pdf" "$out/stdout"
check "the range is one page" test "$(pages_of "$out/p2.pdf")" = "1"
check "the page carries the invoice's footer for page 2" sh -c "pdftotext '$out/p2.pdf' - | grep -q 'Page 2 of'"
check "the document is the spooler's job" sh -c "pdfinfo '$out/p2.pdf' | grep -q \"^Title: *Folio's Job\""

"$cli" print "$tpl" --printer PDF --output "$out/all.pdf" >/dev/null 2>&1
pages=$("$cli" info "$tpl" | awk -F': ' '/^pages/ {print $2}')
check "without a range every page prints ($pages)" test "$(pages_of "$out/all.pdf")" = "$pages"

exits 0 "more copies than a file holds still prints (exit 0)" print "$tpl" --printer PDF --copies 3 --output "$out/c.pdf"
check "the copies question is reported" said "can't print more than 1 copies"
exits 1 "an unknown printer is a recorded failure (exit 1)" print "$tpl" --printer no-such-printer-anywhere
check "its error number and source reach stderr" said "error 60114 (Print Start)"
exits 2 "--output with another printer is bad usage (exit 2)" \
  print "$tpl" --printer no-such-printer-anywhere --output "$out/x.pdf"
exits 2 "copies below one are bad usage (exit 2)" print "$tpl" --printer PDF --copies 0
"$cli" print --help >"$out/help" 2>&1
check "print --help names its options" grep -q -- "--copies" "$out/help"

finish
