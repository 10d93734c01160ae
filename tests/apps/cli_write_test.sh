#!/usr/bin/env bash
# How the commands write and read files: never over their input, into a device or FIFO or
# through a link; pictures within their limits; messages that name the file and the cause.
set -uo pipefail
cli="$1"
templates="$2/examples/templates"
source "$(dirname "$0")/lib.sh"
cp "$templates/invoice.ktt" "$out/t.ktt"

# ---- the output is the input ----
for cmd in "pdf" "render" "convert" "print -p PDF"; do
  exits 2 "$cmd onto its own template exits 2" $cmd "$out/t.ktt" -o "$out/../$(basename "$out")/t.ktt"
  check "$cmd says so in one line" test "$(grep -c "is the input file" "$out/stderr")" -eq 1
done
exits 2 "view --screenshot onto its own template exits 2" view "$out/t.ktt" --screenshot "$out/t.ktt"
check "the template is byte-identical" cmp -s "$templates/invoice.ktt" "$out/t.ktt"

# ---- output that cannot be written is a failure a script hears of ----
for run in "info $out/t.ktt" "info --json $out/t.ktt" "--help"; do
  $cli $run >/dev/full 2>"$out/stderr"
  check "$run into a full device exits 1" test $? -eq 1
  check "and says the output could not be written" said "cannot write the output"
  $cli $run >&- 2>/dev/null
  check "$run with stdout closed exits 1" test $? -eq 1
done

# ---- documents with no page, or more pages than there can be ----
printf '[Properties]\r\n[Header]\r\n[Footer]\r\n[Body]\r\n' >"$out/empty-body.ktt"
echo "old" >"$out/kept.pdf"
for cmd in "pdf" "print -p PDF"; do
  exits 1 "$cmd of a template without body rows exits 1" $cmd "$out/empty-body.ktt" -o "$out/kept.pdf"
  check "and says there is no page to print" said "has no body rows: there is no page to print"
done
check "the old file is left as it was" test "$(cat "$out/kept.pdf")" = "old"
python3 - "$out/t.ktt" "$out/long.ktt" <<'PY'
import sys
text = open(sys.argv[1], encoding="latin-1", newline="").read()
nl = "\r\n" if "\r\n" in text else "\n"  # the template's own line ends
# Rows that each break the page: more than the 32767 pages there can be.
open(sys.argv[2], "w", encoding="latin-1", newline="").write(text + "".join(
    f"[Row]1{nl}PageBreak=-1{nl}[Col]1{nl}Text=r{i}{nl}" for i in range(32768)))
PY
for cmd in "info" "info --json" "pdf --untagged -o $out/long.pdf"; do
  exits 1 "$cmd of a template of more than 32767 pages exits 1" $cmd "$out/long.ktt"
  check "and says how many pages a document can have" said "needs more than 32767 pages"
done
check "no PDF cut short is written" test ! -e "$out/long.pdf"

# ---- targets that are not regular files; a symbolic link is replaced, not followed ----
mkfifo "$out/fifo"
mkdir "$out/folder"
[ "$(id -u)" -eq 0 ] && mknod "$out/null" c 1 3
for target in fifo folder null; do
  [ -e "$out/$target" ] || continue
  for cmd in pdf render; do
    timeout 20 "$cli" $cmd "$out/t.ktt" -o "$out/$target" >/dev/null 2>"$out/stderr"
    check "$cmd onto a $target exits 1 at once" test $? -eq 1
    check "$cmd names the $target as not a regular file" said "'$out/$target': not a regular file"
  done
done
check "the FIFO and the node stay what they were" test -p "$out/fifo"
[ -e "$out/null" ] && check "the device node stays a device" test -c "$out/null"
echo "mine" >"$out/owned"
ln -s owned "$out/link"
"$cli" render "$out/t.ktt" -o "$out/link" >/dev/null 2>&1
check "render onto a link replaces the link with the picture" sh -c "test ! -L '$out/link' && file '$out/link' | grep -q PNG"
check "the file the link pointed to is untouched" test "$(cat "$out/owned")" = "mine"

# ---- input that is not a regular file ----
timeout 20 "$cli" info "$out/fifo" >/dev/null 2>"$out/stderr"
check "a FIFO as template is refused at once" said "not a regular file"

# A full disk and a writer killed mid-file are the export and file tests' (C++):
# the same writers, kept old files and no temporary file left.

# ---- pictures: limits, and paths that are not pictures ----
python3 - "$out/huge.png" <<'PY'
import struct, sys, zlib
w = h = 20000
chunk = lambda kind, data: struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
z = zlib.compressobj(9)
body = b"".join(z.compress(b"\0" * (w + 1)) for _ in range(h)) + z.flush()  # grey rows, filter 0
head = chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 0, 0, 0, 0))
open(sys.argv[1], "wb").write(b"\x89PNG\r\n\x1a\n" + head + chunk(b"IDAT", body) + chunk(b"IEND", b""))
PY
for pic in huge.png folder fifo missing.png; do
  sed "s#%APP_PATH%/../share/ktfolio/logo.png#$out/$pic#" "$templates/invoice.ktt" >"$out/pic.ktt"
  start=$(date +%s)
  timeout 60 "$cli" info "$out/pic.ktt" >/dev/null 2>"$out/stderr"
  check "a picture '$pic' fails the template (exit 1, not a hang)" test $? -eq 1
  check "it took under 10 s" test $(($(date +%s) - start)) -lt 10
  check "the message names the picture" said "'$out/$pic'"
  [[ $pic == huge.png ]] && check "a huge picture is refused for its size" said "20000 x 20000 pixels"
done
exits 1 "demo with a missing logo fails" demo --logo /nonexistent.png -o "$out/demo"
check "and names it" said "File not found: '/nonexistent.png'"

# ---- the print service ----
CUPS_SERVER="$out/no-cupsd.sock" "$cli" print "$out/t.ktt" -p office >/dev/null 2>"$out/stderr"
check "print without cupsd exits 1" test $? -eq 1
check "and says the print service is not running" said "the print service is not running"

# ---- what the PDF says of itself ----
exits 0 "pdf takes a title, an author and a language" pdf "$out/t.ktt" -o "$out/meta.pdf" --title "Invoice – März" --author "Ann" --lang de-AT
check "the title and author are the PDF's" sh -c "pdfinfo '$out/meta.pdf' | grep -q '^Title: *Invoice – März' && pdfinfo '$out/meta.pdf' | grep -q '^Author: *Ann'"
check "the language is the catalog's" sh -c "qpdf --qdf --object-streams=disable '$out/meta.pdf' - | grep -aq '/Lang (de-AT)'"
exits 2 "a language that is no tag is a usage error" pdf "$out/t.ktt" -o "$out/bad.pdf" --lang en_GB
check "and makes no file" test ! -e "$out/bad.pdf"
"$cli" info --json "$out/t.ktt" >"$out/stdout"
check "info --json has the metadata" grep -q '"metadata": {"title": "",' "$out/stdout"
finish
