# Shared by the command-line tests (sourced after setting $cli): a scratch folder $out, named
# checks that count failures, runs of the program with output kept in $out/stdout and stderr.
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
failures=0
check() {  # check NAME CONDITION...
  local name="$1"; shift
  if "$@"; then echo "ok: $name"; else echo "FAILED: $name"; failures=$((failures + 1)); fi
}
exits() {  # exits CODE NAME ARGS...: runs "$cli" ARGS and checks its exit code
  local code="$1" name="$2"; shift 2
  "$cli" "$@" >"$out/stdout" 2>"$out/stderr"
  check "$name" test $? -eq "$code"
}
said() { grep -q -- "$1" "$out/stderr"; }  # the last run's stderr matches
pages_of() { pdfinfo "$1" | awk '/^Pages:/ {print $2}'; }
finish() { echo "$failures failed"; exit $((failures > 0)); }
