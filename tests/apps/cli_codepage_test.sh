#!/usr/bin/env bash
# Template code pages through convert: the input's kept by default, chosen with
# --code-page, and a warning naming the first character Windows-1252 lost.
set -uo pipefail
cli="$1"
. "$(dirname "$0")/lib.sh"

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
