#!/usr/bin/env bash
# `ktfolio view TEMPLATE --edit` as a person uses it, in a real window on the
# display: double-click a cell, type, Ctrl+S; the file holds the new text and
# nothing else of it changed. Needs a display and xdotool (exit 77: skipped).
set -uo pipefail
cli="$1"
src="$2"
out="$(mktemp -d)"
pid=""
trap '[[ -n "$pid" ]] && kill "$pid" 2>/dev/null; [[ -z "${KEEP:-}" ]] && rm -rf "$out"' EXIT
failures=0
check() {  # check NAME CONDITION...
  local name="$1"; shift
  if "$@"; then echo "ok: $name"; else echo "FAILED: $name"; failures=$((failures + 1)); fi
}
if [[ -z "${DISPLAY:-}" ]] || ! command -v xdotool >/dev/null; then
  echo "skipped: needs a display and xdotool"
  exit 77
fi

# Opens FILE for editing, runs the xdotool steps given, saves with Ctrl+S and
# waits for the word that it saved; then ends the program.
# Waits up to 5 s for a window titled by the pattern; prints its id.
wait_window() {  # wait_window PATTERN
  local found=""
  for _ in $(seq 50); do
    found=$(xdotool search --name "$1" 2>/dev/null | head -1)
    [[ -n "$found" ]] && break
    sleep 0.1
  done
  echo "$found"
}

# Starts editing FILE in a window and sets $pid and $window.
open_editor() {  # open_editor FILE
  "$cli" view "$1" --edit --size 900x700 --zoom 100 >"$out/stdout" 2>"$out/stderr" &
  pid=$!
  window=$(wait_window "ktfolio preview")
  sleep 0.5
}

edit_and_save() {  # edit_and_save FILE [STEP...]
  local file="$1"; shift
  open_editor "$file"
  for step in "$@"; do eval "$step"; sleep 0.3; done
  xdotool key ctrl+s
  for _ in $(seq 50); do
    grep -q "saved" "$out/stdout" && break
    sleep 0.1
  done
  kill "$pid"
  wait "$pid" 2>/dev/null
  pid=""
}

# Saved untouched first: the rows are measured again on saving, so the
# edited file is compared with this one.
cp "$src/examples/templates/invoice.ktt" "$out/base.ktt"
edit_and_save "$out/base.ktt"
check "the editing window opens" test -n "$window"
check "Ctrl+S saves and says so" grep -q "saved $out/base.ktt" "$out/stdout"

cp "$out/base.ktt" "$out/t.ktt"
# "Contoso Ltd", the first line of the bill-to block in the header band, at zoom 100.
edit_and_save "$out/t.ktt" 'xdotool mousemove --window "$window" 150 207 click --repeat 2 --delay 80 1' \
  'xdotool key End' 'xdotool type --delay 20 " Europe"'
check "the file holds the edited cell" grep -q "Contoso Ltd Europe" "$out/t.ktt"
# The edited row was measured again: its cells' heights may be written now.
sed 's/Contoso Ltd Europe/Contoso Ltd/' "$out/t.ktt" | grep -v '^ItemHeight=' >"$out/back.ktt"
grep -v '^ItemHeight=' "$out/base.ktt" >"$out/base-text.ktt"
check "and nothing else changed" cmp -s "$out/back.ktt" "$out/base-text.ktt"

# Closing the window with unsaved changes asks first; Enter takes "Yes", the
# default, and the program saves and ends by itself.
cp "$out/base.ktt" "$out/c.ktt"
open_editor "$out/c.ktt"
xdotool mousemove --window "$window" 150 207 click --repeat 2 --delay 80 1; sleep 0.3
xdotool key End; sleep 0.2
xdotool type --delay 20 " Europe"; sleep 0.3
for w in $(xdotool search --name "ktfolio preview"); do python3 "$src/tests/apps/close_window.py" "$w"; done
question=$(wait_window "^ktfolio$")
check "closing with changes asks first" test -n "$question"
sleep 0.5
xdotool mousemove --window "$question" 10 10 key Return
ended=""
for _ in $(seq 50); do
  if ! kill -0 "$pid" 2>/dev/null; then ended=1; break; fi
  sleep 0.1
done
check "answering Yes saves and ends the program" test -n "$ended"
wait "$pid" 2>/dev/null
pid=""
check "the file holds the edit made before closing" grep -q "Contoso Ltd Europe" "$out/c.ktt"

"$cli" view "$out/t.ktt" --edit --screenshot "$out/x.png" >/dev/null 2>"$out/stderr"
check "--edit with --screenshot is bad usage (exit 2)" test $? -eq 2
"$cli" view --demo --edit >/dev/null 2>"$out/stderr"
check "--edit of the demo is bad usage (exit 2): there is no file to save" test $? -eq 2

echo "$failures failed"
exit $((failures > 0))
