#!/usr/bin/env bash
# Builds a wheel the way the README says (offline, Debian's build tools),
# checks it holds the package alone, stripped, installs it into a fresh
# virtual environment, and uses it there from outside the tree: the Python
# example, the `ktfolio` command and `python -m ktfolio`. The wheel's CMake
# build lives in WHEEL_BUILD_DIR and is reused by the next run (and the
# compiler cache when CMAKE_CXX_COMPILER_LAUNCHER names one).
# Usage: wheel_test.sh SOURCE_DIR WHEEL_BUILD_DIR PYTHON
set -euo pipefail
src=$(cd "$1" && pwd)
export KTFOLIO_PIP_BUILD_DIR=$2
python=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

echo "-- building the wheel"
started=$SECONDS
(cd "$src" && "$python" -m pip wheel -v --no-build-isolation --no-deps --no-cache-dir -w "$tmp/dist" .) \
  >"$tmp/wheel.log" 2>&1 || { tail -40 "$tmp/wheel.log"; fail "the wheel does not build"; }
echo "built in $((SECONDS - started)) s"
grep -q '\[[0-9]*/[0-9]*\]' "$tmp/wheel.log" || fail "pip -v showed none of the build's progress"
wheel=$(ls "$tmp"/dist/ktfolio-*.whl)
version=$(sed -n 's/^project(ktfolio VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
[[ $(basename "$wheel") == ktfolio-$version-* ]] || fail "wheel $(basename "$wheel") is not version $version"

echo "-- what the wheel holds"
"$python" - "$wheel" "$tmp/unpacked" <<'PY'
import sys, zipfile
wheel, where = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(wheel) as z:
    names = z.namelist()
    z.extractall(where)
    scripts = next(z.read(n).decode() for n in names if n.endswith(".dist-info/entry_points.txt"))
package = {n for n in names if not n.split("/")[0].endswith((".dist-info", ".data"))}
expected = {"ktfolio/__init__.py", "ktfolio/__init__.pyi", "ktfolio/__main__.py", "ktfolio/_testing.py",
            "ktfolio/py.typed", "ktfolio/data/logo.png"}
binaries = {n for n in package if n.startswith("ktfolio/_ktfolio.")}
assert len(binaries) == 1, sorted(package)
assert package == expected | binaries, sorted(package ^ (expected | binaries))
assert "ktfolio = ktfolio.__main__:main" in scripts, scripts
PY
for so in "$tmp"/unpacked/ktfolio/*.so*; do
  ! readelf -S "$so" | grep -q '\.debug_info' || fail "$(basename "$so") carries debug information"
  ! readelf -S "$so" | grep -q '\.symtab' || fail "$(basename "$so") is not stripped"
  echo "$(basename "$so"): $(stat -c %s "$so") bytes"
done

echo "-- installing it into a fresh virtual environment"
"$python" -m venv "$tmp/venv"
"$tmp/venv/bin/python" -m pip install --no-index --no-cache-dir -q "$wheel"

echo "-- running the example there"
cd "$tmp"
out=$(env -u PYTHONPATH "$tmp/venv/bin/python" "$src/examples/python/report.py")
grep -q '^pages: 2$' <<<"$out" || fail "report.py printed: $out"
env -u PYTHONPATH "$tmp/venv/bin/python" - "$tmp/venv" "$version" <<'PY'
import importlib.metadata, os, sys
import ktfolio
venv, version = sys.argv[1], sys.argv[2]
assert ktfolio.__file__.startswith(venv), ktfolio.__file__
assert ktfolio.__version__ == version == importlib.metadata.version("ktfolio"), ktfolio.__version__
here = os.path.dirname(ktfolio.__file__)
assert {"__init__.pyi", "py.typed"} <= set(os.listdir(here)), os.listdir(here)
PY

echo "-- the ktfolio command, with no program of that name but the script"
ktfolio=$tmp/venv/bin/ktfolio
run() { env -u PYTHONPATH PATH=/usr/bin:/bin "$@"; }
[[ $(head -c 2 "$ktfolio") == '#!' ]] || fail "venv/bin/ktfolio is not the console script"
help=$(run "$ktfolio" --help) || fail "ktfolio --help exits $?"
grep -q 'demo' <<<"$help" || fail "ktfolio --help printed: $help"
if grep -q -- '--version' <<<"$help"; then
  out=$(run "$ktfolio" --version) || fail "ktfolio --version exits $?"
  grep -q "$version" <<<"$out" || fail "ktfolio --version printed: $out"
fi
out=$(run "$ktfolio" printers) || fail "ktfolio printers exits $?"
grep -q '^PDF' <<<"$out" || fail "ktfolio printers printed: $out"
out=$(run "$ktfolio" demo --items 5 --output-dir "$tmp/demo") || fail "ktfolio demo exits $?"
grep -q 'document.pdf' <<<"$out" || fail "ktfolio demo printed: $out"
[[ $(head -c 5 "$tmp/demo/document.pdf") == %PDF- ]] || fail "ktfolio demo wrote no PDF"
[[ $(head -c 4 "$tmp/demo/page-1.png" | tail -c 3) == PNG ]] || fail "ktfolio demo wrote no PNG"

echo "-- exit codes and streams pass through"
set +e
run "$ktfolio" demo --logo "$tmp/none.png" --output-dir "$tmp/d2" >/dev/null 2>"$tmp/stderr"
code=$?
set -e
[[ $code == 1 ]] || fail "a recorded failure exits $code, not 1"
grep -q '^ktfolio: error' "$tmp/stderr" || fail "the failure's message is not on stderr: $(cat "$tmp/stderr")"
set +e
run "$ktfolio" render >/dev/null 2>&1
code=$?
set -e
[[ $code == 2 ]] || fail "bad usage exits $code, not 2"

echo "-- python -m ktfolio"
out=$(run "$tmp/venv/bin/python" -m ktfolio info "$src/examples/templates/long_listing.ktt") ||
  fail "python -m ktfolio info exits $?"
grep -q '^pages: [0-9]' <<<"$out" || fail "python -m ktfolio info printed: $out"
echo "wheel test passed"
