#!/usr/bin/env bash
# The ktfolio commands on the example templates: info, render, pdf, convert, print and their help;
# a recorded failure exits 1 naming the error, bad usage exits 2; progress on a terminal only.
set -uo pipefail
cli="$1"
templates="$2/examples/templates"
source "$(dirname "$0")/lib.sh"
tpl="$templates/invoice.ktt"
width() { file "$1" | sed -E 's/.* ([0-9]+) x ([0-9]+).*/\1/'; }

exits 0 "info exits 0" info "$tpl"
cp "$out/stdout" "$out/info"
names=$(sed -E 's/: [0-9]+$//' "$out/info" | paste -sd,)
check "info prints six lines 'NAME: N'" \
  test "$names" = "pages,header rows,footer rows,body rows,start body row,end body row"
pages=$(awk -F': ' '/^pages/ {print $2}' "$out/info")
check "the invoice has pages ($pages)" test "$pages" -ge 2

exits 0 "render exits 0" render "$tpl" --page 2 --zoom 50 --output "$out/p2.png"
check "render writes a PNG" sh -c "file '$out/p2.png' | grep -q 'PNG image'"
"$cli" render "$tpl" --output "$out/p1.png" >/dev/null 2>&1
check "render defaults to page 1 at 100%" test -s "$out/p1.png"
w50=$(width "$out/p2.png") w100=$(width "$out/p1.png")
check "zoom 50 is half as wide ($w50, $w100)" test $((w50 * 2 - w100)) -le 2 -a $((w100 - w50 * 2)) -le 2

exits 0 "pdf exits 0" pdf "$templates/long_listing.ktt" --output "$out/all.pdf"
all=$(pages_of "$out/all.pdf")
listed=$("$cli" info "$templates/long_listing.ktt" | awk -F': ' '/^pages/ {print $2}')
check "pdf writes every page ($all of $listed)" test "$all" = "$listed"
"$cli" pdf "$templates/long_listing.ktt" --output "$out/some.pdf" --from 2 --to 3 >/dev/null 2>&1
check "pdf --from 2 --to 3 writes two pages" test "$(pages_of "$out/some.pdf")" = 2
check "the range starts at page 2" sh -c "pdftotext -f 1 -l 1 '$out/some.pdf' - | grep -q 'Page 2 of $listed'"

exits 0 "convert exits 0" convert "$tpl" --output "$out/once.ktt"
"$cli" convert "$out/once.ktt" --output "$out/twice.ktt" >/dev/null 2>&1
check "converting a converted template changes no byte" cmp -s "$out/once.ktt" "$out/twice.ktt"
check "a template is CR LF text" sh -c "head -c 14 '$out/once.ktt' | od -c | grep -q '\\\\r  \\\\n'"

for command in info render pdf convert; do
  exits 0 "'$command --help' exits 0" $command --help
  check "'$command --help' prints usage" grep -qi "usage" "$out/stdout" "$out/stderr"
done

exits 1 "a missing template exits 1" info "$out/missing.ktt"
check "its error number and source reach stderr" said "error 53 (LoadFromTemplate)"
printf '[Properties]\r\nScaleMode=1' >"$out/cut.ktt"
exits 1 "a template without its last line end exits 1" info "$out/cut.ktt"
check "the reader's failure reaches stderr" said "error 62 (Reading Template)"
# Line ends converted to CR alone or LF alone: refused, in one line naming the file and the cause.
for ends in CR LF; do
  if [[ $ends == CR ]]; then tr -d '\n' <"$out/once.ktt"; else tr -d '\r' <"$out/once.ktt"; fi >"$out/$ends.ktt"
  for command in info "convert --output $out/$ends-out.ktt"; do
    exits 1 "${command%% *} of a template with $ends line ends exits 1" $command "$out/$ends.ktt"
    check "... in one line naming the file and the cause" sh -c \
      "test \$(wc -l <'$out/stderr') -eq 1 && grep -q 'line ends are $ends, expected CR LF (line 1).*$ends.ktt' '$out/stderr'"
  done
  check "convert of it writes nothing" test ! -e "$out/$ends-out.ktt"
done
exits 1 "a page beyond the document exits 1" render "$tpl" --page 999 --output "$out/x.png"
check "... and says which page of how many" said "Page out of range: page 999 of $pages"
exits 1 "printing a range past the end exits 1" print "$tpl" --printer PDF --from 5 --to 6 --output "$out/none.pdf"
check "... and writes nothing" test ! -e "$out/none.pdf"
check "... and says so" said "nothing to print: pages 5-6 of $pages"
exits 2 "a zoom out of range is bad usage (exit 2)" render "$tpl" --zoom 300 --output "$out/x.png"
exits 2 "convert without --output is bad usage (exit 2)" convert "$tpl"
mkdir "$out/folder"
exits 1 "converting onto a folder exits 1" convert "$tpl" --output "$out/folder"
check "the save's failure reaches stderr" said "error 75 (SaveAsTemplate)"

cp "$tpl" "$out/design.ktt"
env -u DISPLAY -u WAYLAND_DISPLAY "$cli" design "$out/design.ktt" >/dev/null 2>"$out/stderr"
check "design without a display is bad usage (exit 2)" test $? -eq 2
check "design without a display leaves the file" cmp -s "$tpl" "$out/design.ktt"

# Dates come in the user's locale; the numbers of a template read the same in any.
sed 's/^Text=Contoso Ltd/Text=%sd %ld/' "$tpl" >"$out/dated.ktt"
declare -A dates=(
  [de_DE.UTF-8]='[0-9]{2}\.[0-9]{2}\.[0-9]{4} (Montag|Dienstag|Mittwoch|Donnerstag|Freitag|Samstag|Sonntag), '
  [en_GB.UTF-8]='[0-9]{2}/[0-9]{2}/[0-9]{2} [A-Z][a-z]+day, [0-9]{1,2} [A-Z][a-z]+ [0-9]{4}')
for loc in de_DE.UTF-8 en_GB.UTF-8; do
  locale -a | grep -qix "${loc/UTF-8/utf8}" || { echo "skipped: locale $loc is not installed (scripts/setup makes it)"; continue; }
  LC_ALL=$loc "$cli" pdf "$out/dated.ktt" --to 1 --output "$out/dated.pdf" >/dev/null 2>&1
  check "dates in $loc" sh -c "pdftotext '$out/dated.pdf' - | tr -s ' \n' ' ' | grep -Eq '${dates[$loc]}'"
  LC_ALL=$loc "$cli" convert "$tpl" --output "$out/$loc.ktt" >/dev/null 2>&1
  check "a template converted in $loc is the one converted in C" cmp -s "$out/once.ktt" "$out/$loc.ktt"
done

# Every usage error exits 2 and says what was wrong, whichever command it is.
usage_cases=(
  "rendr $tpl|unknown command 'rendr'"
  "render $tpl --page abc -o $out/x.png|'abc' is not a number"
  "render $tpl --zoom 9999 -o $out/x.png|9999 is out of range"
  "view --demo --zoom 9999 --screenshot $out/x.png|9999 is out of range"
  "render $tpl --dpi 601 -o $out/x.png|601 is out of range"
  "render $tpl --dpi 300 --zoom 50 -o $out/x.png|excludes"
  "pdf $tpl --from 0 -o $out/x.pdf|0 is out of range"
  "info $tpl --bogus|--bogus"
)
for case in "${usage_cases[@]}"; do
  args="${case%%|*}"
  exits 2 "'${args//$out/OUT}' is bad usage (exit 2)" $args
  check "... and says \"${case#*|}\"" grep -qF -- "${case#*|}" "$out/stderr"
done
check "no usage error wrote a file" test ! -e "$out/x.png" -a ! -e "$out/x.pdf"

version=$(sed -n 's/^project(ktfolio VERSION \([0-9.]*\).*/\1/p' "$2/CMakeLists.txt")
check "--version prints the project's version ($version)" test "$("$cli" --version)" = "ktfolio $version"
check "--help ends with the exit codes" sh -c "'$cli' --help | grep -q '^  2  bad usage'"

exits 0 "info --json exits 0" info "$tpl" --json
check "info --json is JSON with what info prints" python3 -c '
import json, sys
d = json.load(open(sys.argv[1]))
assert d["pages"] == int(sys.argv[2]) and d["rows"]["body"] > 0 and d["rows"]["header"] >= 1, d
assert d["paper"]["orientation"] == "portrait" and d["margins"]["left"] > 0, d' "$out/stdout" "$pages"

# A page as paper at 300 dpi: A4's pixels, and the resolution a reader places it by.
"$cli" render "$tpl" --dpi 300 --no-shadow --output "$out/p300.png" >/dev/null 2>&1
check "render --dpi 300 gives A4 at 300 dpi, 11811 dots per metre" python3 -c '
import struct, sys
png = open(sys.argv[1], "rb").read()
assert struct.unpack(">II", png[16:24]) == (2480, 3508), png[16:24]
at = png.index(b"pHYs")
assert struct.unpack(">IIB", png[at + 4:at + 13]) == (11811, 11811, 1)' "$out/p300.png"

# Progress shows on a terminal only: a long job under a pseudo-terminal, then in a pipe.
python3 -c '
import sys
text = open(sys.argv[1], "rb").read()
at = text.index(b"[Body]\r\n") + len(b"[Body]\r\n")
open(sys.argv[2], "wb").write(text[:at] + text[at:] * 60)' "$templates/long_listing.ktt" "$out/long.ktt"
script -qec "'$cli' pdf '$out/long.ktt' --output '$out/long.pdf'" /dev/null </dev/null >"$out/tty"
check "a long pdf on a terminal exits 0" test $? -eq 0
check "... and shows its progress" grep -qE "pdf page [0-9]+ of 1680, [0-9]+ pages/s, [0-9]+ s left" "$out/tty"
check "... ending on the last page" grep -qE "page 1680 of 1680, [0-9]+ pages/s, done" "$out/tty"
exits 0 "the same job in a pipe exits 0" pdf "$out/long.ktt" --output "$out/long.pdf"
check "... writing nothing on stderr" test ! -s "$out/stderr"
check "... and only the file's name on stdout" test "$(cat "$out/stdout")" = "$out/long.pdf"

# printers and print: the built-in PDF printer writes the range asked for; an unknown printer is a
# recorded failure.
exits 0 "printers exits 0" printers
check "printers lists the built-in PDF printer on a line of its own" grep -qx "PDF" "$out/stdout"

exits 0 "print to PDF exits 0" print "$tpl" --printer PDF --from 2 --to 2 --output "$out/p2.pdf"
check "print names the file it wrote" grep -q "p2.pdf" "$out/stdout"
check "the range is one page" test "$(pages_of "$out/p2.pdf")" = "1"
check "the page carries the invoice's footer for page 2" sh -c "pdftotext '$out/p2.pdf' - | grep -q 'Page 2 of'"
check "the document is the spooler's job" sh -c "pdfinfo '$out/p2.pdf' | grep -q \"^Title: *Folio's Job\""

"$cli" print "$tpl" --printer PDF --output "$out/all.pdf" >/dev/null 2>&1
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

# Code pages through convert: the input's kept by default, chosen with --code-page, and a warning
# naming the first character Windows-1252 lost.
printf '\xEF\xBB\xBF[Properties]\r\n[Header]\r\n[Footer]\r\n[Body]\r\n[Row]1\r\n[Col]1\r\nText=caf\xC3\xA9\r\n[Row]1\r\n[Col]1\r\nText=\xC5\x81\xC3\xB3d\xC5\xBA \xE4\xBD\xA0\xE5\xA5\xBD\r\n' >"$out/world.ktt"

exits 0 "a UTF-8 template converts" convert "$out/world.ktt" --output "$out/same.ktt"
check "the output keeps its byte-order mark and text" grep -q $'^\xEF\xBB\xBF' "$out/same.ktt"
check "no warning when nothing was lost" test ! -s "$out/stderr"
check "and its characters" grep -q $'Text=\xC5\x81\xC3\xB3d\xC5\xBA \xE4\xBD\xA0\xE5\xA5\xBD\r' "$out/same.ktt"

exits 0 "converting to Windows-1252 still succeeds" convert "$out/world.ktt" --output "$out/1252.ktt" --code-page 1252
line=$(grep -n -a $'^Text=?\xF3d? ??\r' "$out/1252.ktt" | cut -d: -f1)
check "what the code page lacks is written as ?" test -n "$line"
check "the warning names the first lost character and its line" \
  said "warning: $out/1252.ktt: .* \"?\", the first U+0141 \"Ł\" on line $line "
exits 0 "Windows-1252 converts back to UTF-8 on request" convert "$out/1252.ktt" --output "$out/back.ktt" --code-page 65001
check "with the mark" grep -q $'^\xEF\xBB\xBF' "$out/back.ktt"
exits 2 "another code page is bad usage" convert "$out/world.ktt" --output "$out/x.ktt" --code-page 1200
check "and writes nothing" test ! -e "$out/x.ktt"

finish
