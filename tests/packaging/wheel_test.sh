#!/usr/bin/env bash
# Builds a wheel the way the README says (offline, Debian's build tools),
# installs it into a fresh virtual environment, and runs the Python example
# there from outside the tree. The wheel's CMake build lives in WHEEL_BUILD_DIR
# and is reused by the next run.
# Usage: wheel_test.sh SOURCE_DIR WHEEL_BUILD_DIR PYTHON
set -euo pipefail
src=$(cd "$1" && pwd)
export KTFOLIO_PIP_BUILD_DIR=$2
python=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

echo "-- building the wheel"
(cd "$src" && "$python" -m pip wheel --no-build-isolation --no-deps --no-cache-dir -w "$tmp/dist" .) \
  >"$tmp/wheel.log" 2>&1 || { tail -40 "$tmp/wheel.log"; fail "the wheel does not build"; }
wheel=$(ls "$tmp"/dist/ktfolio-*.whl)
version=$(sed -n 's/^project(ktfolio VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
[[ $(basename "$wheel") == ktfolio-$version-* ]] || fail "wheel $(basename "$wheel") is not version $version"

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
echo "wheel test passed"
