#!/usr/bin/env bash
# How the ktfolio commands write and read files: never over their input, never
# into a device, FIFO or through a symbolic link, whole or not at all (a full
# disk, a killed run), pictures within their limits, and messages that name
# the file and the cause.
set -uo pipefail
cli="$1"
templates="$2/examples/templates"
out="$(mktemp -d)"
disk="$out/disk"
cleanup() {
  mountpoint -q "$disk" 2>/dev/null && umount "$disk"
  rm -rf "$out"
}
trap cleanup EXIT
failures=0
check() {  # check NAME CONDITION...
  local name="$1"; shift
  if "$@"; then echo "ok: $name"; else echo "FAILED: $name"; failures=$((failures + 1)); fi
}
temps() { find "$1" -maxdepth 1 -name '.*.ktfolio-*.tmp' | wc -l; }
cp "$templates/invoice.ktt" "$out/t.ktt"

# ---- the output is the input ----
for cmd in "pdf" "render" "convert" "print -p PDF"; do
  $cli $cmd "$out/t.ktt" -o "$out/../$(basename "$out")/t.ktt" >/dev/null 2>"$out/stderr"
  check "$cmd onto its own template exits 2" test $? -eq 2
  check "$cmd says so in one line" test "$(grep -c "is the input file" "$out/stderr")" -eq 1
done
check "the template is byte-identical" cmp -s "$templates/invoice.ktt" "$out/t.ktt"

# ---- targets that are not regular files; a symbolic link is replaced, not followed ----
mkfifo "$out/fifo"
mkdir "$out/folder"
[ "$(id -u)" -eq 0 ] && mknod "$out/null" c 1 3
for target in fifo folder null; do
  [ -e "$out/$target" ] || continue
  for cmd in pdf render; do
    timeout 20 "$cli" $cmd "$out/t.ktt" -o "$out/$target" >/dev/null 2>"$out/stderr"
    check "$cmd onto a $target exits 1 at once" test $? -eq 1
    check "$cmd names the $target as not a regular file" grep -q "'$out/$target': not a regular file" "$out/stderr"
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
check "a FIFO as template is refused at once" grep -q "not a regular file" "$out/stderr"

# ---- a full disk: every writer fails, keeps the old file, leaves no temporary file ----
if [ "$(id -u)" -eq 0 ] && mkdir -p "$disk" && mount -t tmpfs -o size=1m tmpfs "$disk"; then
  for f in a.pdf b.pdf c.png d.ktt; do echo "old $f" >"$disk/$f"; done
  head -c 1000000 /dev/zero >"$disk/pad" 2>/dev/null
  "$cli" pdf "$templates/long_listing.ktt" -o "$disk/a.pdf" >/dev/null 2>"$out/e1"
  check "pdf on a full disk exits 1" test $? -eq 1
  "$cli" print "$templates/long_listing.ktt" -p PDF -o "$disk/b.pdf" >/dev/null 2>"$out/e2"
  check "print to PDF on a full disk exits 1" test $? -eq 1
  "$cli" render "$templates/long_listing.ktt" -o "$disk/c.png" >/dev/null 2>"$out/e3"
  check "render on a full disk exits 1" test $? -eq 1
  "$cli" convert "$templates/long_listing.ktt" -o "$disk/d.ktt" >/dev/null 2>"$out/e4"
  check "convert on a full disk exits 1" test $? -eq 1
  for i in 1 2 3 4; do
    check "failure $i names the cause in one line" \
      test "$(grep -c "No space left on device" "$out/e$i")" -eq 1 -a "$(wc -l <"$out/e$i")" -eq 1
  done
  for f in a.pdf b.pdf c.png d.ktt; do check "the old $f survives" test "$(cat "$disk/$f")" = "old $f"; done
  check "no temporary file is left on the full disk" test "$(temps "$disk")" -eq 0
  umount "$disk"
else
  echo "skipped: the full disk needs root to mount a tmpfs"
fi

# ---- kill -9 in the middle of a long PDF ----
{
  cat "$templates/long_listing.ktt"
  awk 'BEGIN { for (i = 0; i < 150000; i++) printf "[Row]1\r\n[Col]1\r\nText=row %d\r\n", i }'
} >"$out/big.ktt"
echo "old" >"$out/big.pdf"
"$cli" pdf "$out/big.ktt" -o "$out/big.pdf" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 1 600); do [ "$(temps "$out")" -gt 0 ] && break; sleep 0.1; done
check "the killed run was writing a temporary file" test "$(temps "$out")" -gt 0
kill -9 "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
check "the old PDF survives kill -9" test "$(cat "$out/big.pdf")" = "old"
"$cli" pdf "$out/t.ktt" -o "$out/big.pdf" >/dev/null 2>&1
check "the next write succeeds" sh -c "pdfinfo '$out/big.pdf' >/dev/null 2>&1"
check "and removes what the killed run left" test "$(temps "$out")" -eq 0

# ---- pictures: limits, and paths that are not pictures ----
python3 - "$out/huge.png" <<'PY'
import struct, sys, zlib
w = h = 20000
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
z = zlib.compressobj(9)
row = b"\0" + b"\0" * w  # filter 0, grey
body = b"".join(z.compress(row) for _ in range(h)) + z.flush()
with open(sys.argv[1], "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 0, 0, 0, 0)) + chunk(b"IDAT", body) + chunk(b"IEND", b""))
PY
for pic in huge.png folder fifo missing.png; do
  sed "s#%APP_PATH%/../share/ktfolio/logo.png#$out/$pic#" "$templates/invoice.ktt" >"$out/pic.ktt"
  start=$(date +%s)
  timeout 60 "$cli" info "$out/pic.ktt" >/dev/null 2>"$out/stderr"
  rc=$?
  check "a picture '$pic' fails the template (exit 1, not a hang)" test $rc -eq 1
  check "it took under 10 s" test $(($(date +%s) - start)) -lt 10
  check "the message names the picture" grep -q "'$out/$pic'" "$out/stderr"
done
check "a huge picture is refused for its size" grep -q "20000 x 20000 pixels" <(
  sed "s#%APP_PATH%/../share/ktfolio/logo.png#$out/huge.png#" "$templates/invoice.ktt" >"$out/pic.ktt"; "$cli" info "$out/pic.ktt" 2>&1)
"$cli" demo --logo /nonexistent.png -o "$out/demo" >/dev/null 2>"$out/stderr"
check "demo with a missing logo names it" grep -q "File not found: '/nonexistent.png'" "$out/stderr"

# ---- the print service ----
CUPS_SERVER="$out/no-cupsd.sock" "$cli" print "$out/t.ktt" -p office >/dev/null 2>"$out/stderr"
check "print without cupsd exits 1" test $? -eq 1
check "and says the print service is not running" grep -q "the print service is not running" "$out/stderr"

echo "$failures failed"
exit $((failures > 0))
