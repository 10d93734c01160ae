#!/usr/bin/env bash
# Installs the built tree into a fresh prefix and uses it the ways the README
# says a host does: a CMake project with find_package, a compiler command with
# pkg-config, and the Python package from an interpreter with no PYTHONPATH.
# The hosts see only the installed tree, and a folder of poisoned native
# headers in front of it: should a public header include Cairo, Pango, GTK or
# their kin, the compile stops there.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR PYTHON [--no-python]
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)
python=$3
with_python=yes
[[ ${4:-} == --no-python ]] && with_python=no

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$tmp/prefix
# A virtual environment as the prefix: its interpreter looks for packages in
# the prefix's platform library folder, where the install puts ktfolio.
"$python" -m venv --without-pip "$prefix"
venv_bin=$(ls "$prefix/bin")
cmake --install "$build" --prefix "$prefix" >/dev/null

echo "-- nothing but programs in bin/, the example data in share/ktfolio"
for f in "$prefix"/bin/*; do
  grep -qxF "$(basename "$f")" <<<"$venv_bin" && continue
  [[ -f $f && -x $f && $(head -c 4 "$f") == $'\x7fELF' ]] || fail "bin/$(basename "$f") is not a program"
done
for f in logo.png templates/invoice.ktt templates/long_listing.ktt; do
  [[ -f $prefix/share/ktfolio/$f ]] || fail "share/ktfolio/$f not installed"
done
if [[ -e $build/bin/ktfolio ]]; then
  # The installed program finds the data there: the demo's logo, and the one the template names.
  "$prefix/bin/ktfolio" demo --items 3 --output-dir "$tmp/demo" >/dev/null || fail "installed ktfolio demo failed"
  out=$("$prefix/bin/ktfolio" info "$prefix/share/ktfolio/templates/invoice.ktt") ||
    fail "installed ktfolio cannot read the installed invoice template"
  grep -q '^pages: ' <<<"$out" || fail "installed ktfolio info printed: $out"
fi
if [[ -e $build/bin/invoice ]]; then
  mkdir "$tmp/invoice"
  "$prefix/bin/invoice" --items 3 --output-dir "$tmp/invoice" >/dev/null || fail "installed invoice example failed (its logo?)"
fi

echo "-- library, headers and package files"
[[ -f $prefix/lib/libktfolio.so.0.1.0 ]] || fail "libktfolio.so.0.1.0 not installed"
[[ $(readlink "$prefix/lib/libktfolio.so.0") == libktfolio.so.0.1.0 ]] || fail "libktfolio.so.0 is not a link to the full version"
soname=$(readelf -d "$prefix/lib/libktfolio.so.0.1.0")
grep -q 'SONAME.*\[libktfolio\.so\.0\]' <<<"$soname" || fail "SONAME is not libktfolio.so.0"
[[ -f $prefix/include/ktfolio/ktfolio.h ]] || fail "public header not installed"
# The public headers are the product alone: one flat folder, none of the
# platform layer's types, no header of the library's insides.
nested=$(find "$prefix/include/ktfolio" -mindepth 1 -not -name '*.h')
[[ -z $nested ]] || fail "the public headers have sub-folders or other files: $nested"
inside=$(grep -nE 'win::|^\s*#\s*include\s+"|#\s*include\s+<(platform|model|document|render|persist|printing|winsupport|controls|viewer|control|pages)/' \
  "$prefix"/include/ktfolio/*.h || true)
[[ -z $inside ]] || fail "public headers name the library's insides: $inside"
# The shared library exports the public classes alone: no platform type, no
# internal class, no template instance of the standard library.
exported=$(nm -DC --defined-only "$prefix/lib/libktfolio.so.0.1.0" | sed 's/^[0-9a-f]* [A-Za-z] //')
public='^((typeinfo( name)? |vtable )for )?ktfolio::((KtPrint4|KtPrint4Events|Variant|Error|PrinterNames|PdfPrinterOutput|SetPdfPrinterOutput)\b|operator<<\()'
stray=$(grep -vE "$public" <<<"$exported" | grep -v '^$' || true)
[[ -z $stray ]] || fail "exported symbols beyond the public API: $(head -5 <<<"$stray")"
grep -q '^ktfolio::KtPrint4::ExportPdf(' <<<"$exported" || fail "KtPrint4::ExportPdf is not exported"
for f in ktfolioConfig.cmake ktfolioConfigVersion.cmake ktfolioTargets.cmake; do
  [[ -f $prefix/lib/cmake/ktfolio/$f ]] || fail "$f not installed"
done
if [[ -e $build/bin/listing_report ]]; then
  [[ -x $prefix/bin/listing_report ]] || fail "example program not installed"
  # Output is captured before it is searched: grep -q leaving early would break the writer's pipe.
  out=$("$prefix/bin/listing_report" --rows 5) || fail "installed listing_report does not run"
  grep -q '^pages: ' <<<"$out" || fail "installed listing_report printed: $out"
fi

poison=$tmp/poison
for h in cairo.h cairo/cairo.h pango/pango.h pango/pangocairo.h gtk/gtk.h gdk/gdk.h glib.h glib-object.h \
         gdk-pixbuf/gdk-pixbuf.h fontconfig/fontconfig.h cups/cups.h; do
  mkdir -p "$(dirname "$poison/$h")"
  echo "#error \"a public ktfolio header includes the native header <$h>\"" >"$poison/$h"
done

echo "-- every installed header compiles on its own, without native headers"
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
while IFS= read -r header; do
  echo "#include <ktfolio/${header#"$prefix/include/ktfolio/"}>" >"$tmp/one.cpp"
  c++ -std=c++20 -fsyntax-only -I"$poison" $(pkg-config --cflags ktfolio) "$tmp/one.cpp" ||
    fail "installed header ${header#"$prefix/include/"} does not compile on its own"
done < <(find "$prefix/include/ktfolio" -name '*.h' | sort)

echo "-- a CMake host: find_package(ktfolio) and ktfolio::ktfolio"
cmake -S "$src/examples/host" -B "$tmp/host-cmake" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_FLAGS="-I$poison" >/dev/null
cmake --build "$tmp/host-cmake" >/dev/null
out=$("$tmp/host-cmake/host")
[[ $out == "pages: 3" ]] || fail "CMake host printed '$out'"

echo "-- a pkg-config host (C++20 from the .pc file, not from us)"
c++ -I"$poison" "$src/examples/host/host.cpp" $(pkg-config --cflags --libs ktfolio) \
  -Wl,-rpath,"$prefix/lib" -o "$tmp/host-pc"
out=$("$tmp/host-pc")
[[ $out == "pages: 3" ]] || fail "pkg-config host printed '$out'"
[[ $(pkg-config --modversion ktfolio) == "$(sed -n 's/^project(ktfolio VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")" ]] ||
  fail "pkg-config version is not the project version"

if [[ $with_python == yes ]]; then
  echo "-- the Python package, imported from outside the tree with no PYTHONPATH"
  cd "$tmp"
  where=$(env -u PYTHONPATH "$prefix/bin/python" -c 'import ktfolio; print(ktfolio.__file__)')
  [[ $where == "$prefix"/* ]] || fail "imported ktfolio from $where, not from the prefix"
  out=$(env -u PYTHONPATH "$prefix/bin/python" "$src/examples/python/report.py") ||
    fail "report.py failed against the installed package"
  grep -q '^pages: 2$' <<<"$out" || fail "report.py printed: $out"
  out=$(env -u PYTHONPATH "$prefix/bin/python" -m ktfolio printers) || fail "python -m ktfolio printers failed"
  grep -q '^PDF$' <<<"$out" || fail "python -m ktfolio printers printed: $out"
  for f in __init__.pyi py.typed; do
    [[ -f $(dirname "$where")/$f ]] || fail "$f not installed with the package"
  done
fi
echo "install test passed"
