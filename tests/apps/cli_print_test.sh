#!/usr/bin/env bash
# ktfolio printers and ktfolio print on the example invoice: the built-in PDF
# printer writes the range asked for; a printer that exists nowhere is a
# recorded failure (exit 1, error 60114); --output with another printer and
# copies below one are bad usage (exit 2).
set -uo pipefail
cli="$1"
templates="$2/examples/templates"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
failures=0
check() {  # check NAME CONDITION...
  local name="$1"; shift
  if "$@"; then echo "ok: $name"; else echo "FAILED: $name"; failures=$((failures + 1)); fi
}

"$cli" printers >"$out/printers" 2>"$out/stderr"
check "printers exits 0" test $? -eq 0
check "printers lists the built-in PDF printer on a line of its own" grep -qx "PDF" "$out/printers"

"$cli" print "$templates/invoice.ktt" --printer PDF --from 2 --to 2 --output "$out/p2.pdf" >"$out/stdout" 2>"$out/stderr"
check "print to PDF exits 0" test $? -eq 0
check "print names the file it wrote" grep -q "p2.pdf" "$out/stdout"
check "the range is one page" test "$(pdfinfo "$out/p2.pdf" | awk '/^Pages:/ {print $2}')" = "1"
check "the page carries the invoice's footer for page 2" sh -c "pdftotext '$out/p2.pdf' - | grep -q 'Page 2 of'"
check "the document is the spooler's job" sh -c "pdfinfo '$out/p2.pdf' | grep -q \"^Title: *Folio's Job\""

"$cli" print "$templates/invoice.ktt" --printer PDF --output "$out/all.pdf" >/dev/null 2>&1
pages=$("$cli" info "$templates/invoice.ktt" | awk -F': ' '/^pages/ {print $2}')
check "without a range every page prints ($pages)" \
  test "$(pdfinfo "$out/all.pdf" | awk '/^Pages:/ {print $2}')" = "$pages"

"$cli" print "$templates/invoice.ktt" --printer PDF --copies 3 --output "$out/c.pdf" >/dev/null 2>"$out/stderr"
check "more copies than a file holds still prints (exit 0)" test $? -eq 0
check "the copies question is reported" grep -q "can't print more than 1 copies" "$out/stderr"

"$cli" print "$templates/invoice.ktt" --printer no-such-printer-anywhere >/dev/null 2>"$out/stderr"
check "an unknown printer is a recorded failure (exit 1)" test $? -eq 1
check "its error number and source reach stderr" grep -q "error 60114 (Print Start)" "$out/stderr"

"$cli" print "$templates/invoice.ktt" --printer no-such-printer-anywhere --output "$out/x.pdf" >/dev/null 2>&1
check "--output with another printer is bad usage (exit 2)" test $? -eq 2
"$cli" print "$templates/invoice.ktt" --printer PDF --copies 0 >/dev/null 2>&1
check "copies below one are bad usage (exit 2)" test $? -eq 2
"$cli" print --help >"$out/help" 2>&1
check "print --help names its options" grep -q -- "--copies" "$out/help"

echo "$failures failed"
exit $((failures > 0))
