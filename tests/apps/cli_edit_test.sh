#!/usr/bin/env bash
# `ktfolio view TEMPLATE --edit` as a person uses it, in a real window: double-click a cell,
# type, Ctrl+S; closing with changes asks first. Needs Xvfb and xdotool (exit 77: skipped).
# The pointer and keyboard are global to an X server, so the checks run on one of their own;
# every wait is on a condition, never a guessed pause.
set -uo pipefail
cli="$1"
src="$2"
source "$(dirname "$0")/lib.sh"
pid="" xvfb=""
cleanup() {
  [[ -n "$pid" ]] && kill "$pid" 2>/dev/null
  [[ -n "$xvfb" ]] && kill "$xvfb" 2>/dev/null
  [[ -z "${KEEP:-}" ]] && rm -rf "$out"
}
trap cleanup EXIT
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "skipped: needs Xvfb and xdotool"
  exit 77
fi

# Waits up to 30 s for CONDITION... to hold; false if it never does.
wait_for() { for _ in $(seq 300); do "$@" && return 0; sleep 0.1; done; return 1; }

# The X server picks a free display itself and writes its number when ready.
exec 3>"$out/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
exec 3>&-
wait_for test -s "$out/display" || { echo "FAILED: Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -1 "$out/display")"

# The id of the shown window whose title matches PATTERN, or nothing. (GTK's
# hidden leader window is titled "ktfolio" too: only shown windows count.)
shown_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
has_window() { [[ -n "$(shown_window "$1")" ]]; }
printed() { grep -q "$1" "$out/stdout"; }
ended() { ! kill -0 "$pid" 2>/dev/null; }
reaped() { wait "$pid" 2>/dev/null; pid=""; }  # the program is waited for; its pid forgotten

# Copies the untouched template to NAME and starts editing it; waits until the
# window edits (it says so on stdout); sets $pid and $window.
open_editor() {  # open_editor NAME
  [[ -e "$out/$1" ]] || cp "$out/base.ktt" "$out/$1"
  "$cli" view "$out/$1" --edit --size 900x700 --zoom 100 >"$out/stdout" 2>"$out/stderr" &
  pid=$!
  wait_for printed "^editing " && wait_for has_window "ktfolio preview"
  window=$(shown_window "ktfolio preview")
}

# Keys and clicks reach the program in the order sent, so each step follows the
# one before without a pause. "Contoso Ltd" is the first line of the bill-to
# block in the header band, at zoom 100.
edit_contoso() {
  xdotool mousemove --window "$window" 150 207 click --repeat 2 --delay 80 1
  xdotool key End
  xdotool type --delay 20 " Europe"
}
save_and_end() {
  xdotool key ctrl+s
  wait_for printed "saved"
  kill "$pid"
  reaped
}

# Saved untouched first: the rows are measured again on saving, so the
# edited file is compared with this one.
cp "$src/examples/templates/invoice.ktt" "$out/base.ktt"
open_editor base.ktt
check "the editing window opens" test -n "$window"
save_and_end
check "Ctrl+S saves and says so" printed "saved $out/base.ktt"

open_editor t.ktt
edit_contoso
save_and_end
check "the file holds the edited cell" grep -q "Contoso Ltd Europe" "$out/t.ktt"
# The edited row was measured again: its cells' heights may be written now.
sed 's/Contoso Ltd Europe/Contoso Ltd/' "$out/t.ktt" | grep -av '^ItemHeight=' >"$out/back.ktt"
grep -av '^ItemHeight=' "$out/base.ktt" >"$out/base-text.ktt"
check "and nothing else changed" cmp -s "$out/back.ktt" "$out/base-text.ktt"

# Closing the window with unsaved changes asks first; Enter takes "Yes", the
# default, and the program saves and ends by itself.
open_editor c.ktt
edit_contoso
python3 "$src/tests/apps/close_window.py" "$window"
wait_for has_window "^ktfolio$"
question=$(shown_window "^ktfolio$")
check "closing with changes asks first" test -n "$question"
xdotool windowfocus --sync "$question" key Return
wait_for ended
check "answering Yes saves and ends the program" ended
reaped
check "the file holds the edit made before closing" grep -q "Contoso Ltd Europe" "$out/c.ktt"

# Closing without changes asks nothing: the window's own state (zoom, page
# count) is not a change to the document.
open_editor u.ktt
python3 "$src/tests/apps/close_window.py" "$window"
wait_for ended
check "closing without changes ends at once, asking nothing" ended
reaped
check "and leaves the file as it was" cmp -s "$out/base.ktt" "$out/u.ktt"

exits 2 "--edit with --screenshot is bad usage (exit 2)" view "$out/t.ktt" --edit --screenshot "$out/x.png"
exits 2 "--edit of the demo is bad usage (exit 2): there is no file to save" view --demo --edit

finish
