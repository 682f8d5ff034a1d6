#!/usr/bin/env bash
# The whole road of a user who cross-builds a Windows program with VERDO's package:
# make the Debian package, check it with lintian, unpack it into a throwaway root, add a
# project to the store, build a small C program with MinGW-w64 and VERDO's CMake module
# twice, and read the version out of the .exe with an outside reader.
#   end_to_end.sh BUILD-FOLDER SOURCE-FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
work=$(mktemp -d)
trap '[ -n "${KEEP_WORK:-}" ] || rm -rf "$work"' EXIT

fail() { echo "FAILED: $*" >&2; exit 1; }
# What a build said, with CMake's line breaks undone.
said() { tr -s ' \n' '  ' <<<"$1"; }

(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/verdo_*_amd64.deb)
lintian --fail-on error "$deb" 2>&1 | grep -v "root privileges" || true
lintian --fail-on error "$deb" >/dev/null 2>&1 || fail "lintian reports errors on $(basename "$deb")"
dpkg-deb -x "$deb" "$work/root"
verdo="$work/root/usr/bin/verdo"
grep -q "NEEDED.*Qt" <<<"$(readelf -d "$verdo")" && fail "the build-time program links a window library"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6svg6 libsqlite3-0 libpq5 xdg-utils; do
  grep -q "$needed" <<<"$depends" || fail "the package does not depend on $needed: $depends"
done
grep -q "pdf-viewer" <<<"$(dpkg-deb -f "$deb" Recommends)" || fail "the package does not recommend a PDF viewer"

# An installed program keeps its store in the user's data folder.
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" HOME="$work/home"
unset VERDO_STORE
"$verdo" 7 2>/dev/null || true
store="$XDG_DATA_HOME/verdo/VERDO"
[ -f "$store" ] || fail "no store in $XDG_DATA_HOME/verdo"
# The program finds its modules in the installed tree: the editor's windows and the server store.
status=0
heard=$(QT_QPA_PLATFORM=offscreen timeout 3 "$verdo" 2>&1) || status=$?
[ "$status" = 124 ] || fail "the installed editor did not keep running (status $status): $heard"
heard=$(VERDO_STORE="host=$work/nowhere dbname=verdo" "$verdo" 7 2>&1)
grep -q "connection to server on socket" <<<"$heard" || fail "the installed server store does not load: $heard"
sqlite3 "$store" "INSERT INTO RESFile (RESNumber, ProjectName, Description, ProjectPath,
    FV_1, FV_2, FV_3, FV_4, PV_1, PV_2, PV_3, PV_4, INC_FV_4, CompanyName, FileDescription,
    ProductName, LegalCopyright, FileOS, FileType, LangID, CodePage, EnterDate)
  VALUES (7, 'SAMPLE', 'A sample program', '.', 1, 2, 3, 4, 1, 2, 0, 0, 1, 'Sample Co',
    'Sample program', 'Sample', 'Copyright 2026 Sample Co', x'04000400', x'01', '0409', '04b0', 20261210);
  INSERT INTO ExtraSeg (RESNumber, SegName, SegData) VALUES (7, 'Branch', 'main');"

cmake -S "$source/tests/package/sample" -B "$work/sample" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$source/tests/package/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$work/root/usr" >/dev/null
version() { /usr/bin/python3 "$source/tests/package/read_version.py" "$work/sample/sample.exe"; }

cmake --build "$work/sample" >/dev/null
first=$(version)
echo "$first"
grep -qx "FileVersion 1.2.3.5" <<<"$first" || fail "the first build carries $(head -1 <<<"$first")"
grep -qx "CompanyName=Sample Co" <<<"$first" || fail "the store's company name is missing"
grep -qx "Branch=main" <<<"$first" || fail "the extra string is missing"
[ -f "$work/sample/SAMPLE.RES" ] || fail "the .RES file is not in the build folder"

cmake --build "$work/sample" >/dev/null
grep -qx "FileVersion 1.2.3.6" <<<"$(version)" || fail "the second build does not carry the next number"

# A release rebuild keeps the version and relinks nothing.
cmake -DVERDO_KEEP_VERSION=ON "$work/sample" >/dev/null
cmake --build "$work/sample" >/dev/null
before=$(stat -c %Y.%i "$work/sample/sample.exe")
cmake --build "$work/sample" >/dev/null
[ "$(stat -c %Y.%i "$work/sample/sample.exe")" = "$before" ] || fail "a rebuild with the version kept relinked"
grep -qx "FileVersion 1.2.3.6" <<<"$(version)" || fail "a rebuild with the version kept changed it"
[ "$(sqlite3 "$store" "SELECT FV_4 FROM RESFile WHERE RESNumber = 7")" = 6 ] || fail "the store moved on"

# A .RES that cannot be written fails the build with VERDO's line, and the program is not
# relinked with the old file; the store keeps the raised number, and the next build goes on.
cmake -DVERDO_KEEP_VERSION=OFF "$work/sample" >/dev/null
rm "$work/sample/SAMPLE.RES" && mkdir "$work/sample/SAMPLE.RES"
if out=$(cmake --build "$work/sample" 2>&1); then fail "a build whose .RES could not be written succeeded"; fi
grep -q "VERDO: project 7: ./SAMPLE.RES could not be written: Is a directory" <<<"$(said "$out")" \
  || fail "the failed build does not say why: $out"
[ "$(stat -c %Y.%i "$work/sample/sample.exe")" = "$before" ] || fail "the program was relinked with the old file"
rmdir "$work/sample/SAMPLE.RES"
cmake --build "$work/sample" >/dev/null
grep -qx "FileVersion 1.2.3.8" <<<"$(version)" || fail "the build after the failure does not carry the stored number"

# A data folder that cannot be made stops the build in one line and writes nothing.
if out=$(XDG_DATA_HOME="$store" cmake --build "$work/sample" 2>&1); then fail "a build without a data folder succeeded"; fi
grep -q "VERDO cannot keep its files in the folder $store/verdo: Not a directory" <<<"$(said "$out")" \
  || fail "a data folder that is a file is not said: $out"
[ "$(sqlite3 "$store" "SELECT FV_4 FROM RESFile WHERE RESNumber = 7")" = 8 ] || fail "the store moved without a build"

# The sample with its call changed: variant NAME SED-EXPRESSION makes $work/NAME-source.
variant() {
  mkdir "$work/$1-source"
  sed "$2" "$source/tests/package/sample/CMakeLists.txt" > "$work/$1-source/CMakeLists.txt"
  cp "$source/tests/package/sample/main.c" "$work/$1-source/"
}
configure() {
  cmake -S "$work/$1-source" -B "$work/$1" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$source/tests/package/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$work/root/usr" 2>&1
}

# A project the store does not have stops the configuration with its number.
variant missing 's/PROJECT 7/PROJECT 99/'
if out=$(configure missing); then fail "a missing project configured"; fi
grep -q "99" <<<"$out" || fail "the message does not name the project: $out"

# An argument the function does not know stops the configuration, naming it.
variant unknown 's/PROJECT 7/PROJECT 7 RESOURCE other.res/'
if out=$(configure unknown); then fail "an unknown argument configured"; fi
grep -q "unknown arguments: RESOURCE other.res" <<<"$(said "$out")" || fail "the unknown argument is not said: $out"

# So does a format it does not know, or a file missing after its format.
variant badformat 's/PROJECT 7/PROJECT 7 WRITE exe sample.exe/'
if out=$(configure badformat); then fail "an unknown format configured"; fi
grep -q "WRITE exe: the formats are h, rc, nsh, iss, wxi and json" <<<"$(said "$out")" || fail "the unknown format is not said: $out"
variant oddwrite 's/PROJECT 7/PROJECT 7 WRITE nsh/'
if out=$(configure oddwrite); then fail "WRITE without a file configured"; fi
grep -q "WRITE takes a format and a file, in pairs" <<<"$(said "$out")" || fail "WRITE without a file is not said: $out"

# KEEP_VERSION in the call keeps the numbers as the cache option does.
variant kept 's/PROJECT 7/PROJECT 7 KEEP_VERSION/'
configure kept >/dev/null || fail "KEEP_VERSION did not configure"
cmake --build "$work/kept" >/dev/null && cmake --build "$work/kept" >/dev/null
[ "$(sqlite3 "$store" "SELECT FV_4 FROM RESFile WHERE RESNumber = 7")" = 8 ] || fail "KEEP_VERSION in the call raised the version"
grep -qx "FileVersion 1.2.3.8" <<<"$(/usr/bin/python3 "$source/tests/package/read_version.py" "$work/kept/sample.exe")" \
  || fail "KEEP_VERSION in the call did not link the stored version"

# A toolchain without windres stops the configuration, not the build halfway.
mkdir "$work/bare" && ln -s "$(command -v x86_64-w64-mingw32-gcc)" "$work/bare/cc"
sed "s|x86_64-w64-mingw32-gcc|$work/bare/cc|; /CMAKE_RC_COMPILER/d" "$source/tests/package/mingw-w64.cmake" > "$work/bare.cmake"
if out=$(cmake -S "$source/tests/package/sample" -B "$work/no-windres" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$work/bare.cmake" -DCMAKE_PREFIX_PATH="$work/root/usr" 2>&1); then
  fail "a toolchain without windres configured"
fi
grep -q "the toolchain has no windres" <<<"$(said "$out")" || fail "a missing windres is not said: $out"
# The header, an installer's include and a resource script from the same step: the program
# prints from its header the version its properties carry, one build higher at every build.
reading() { /usr/bin/python3 "$source/tests/package/read_version.py" "$@"; }
versioned="$work/versioned"
cmake -S "$source/tests/package/versioned" -B "$versioned" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$source/tests/package/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$work/root/usr" >/dev/null \
  || fail "the sample with a header does not configure"
for n in 9 10; do
  cmake --build "$versioned" >/dev/null || fail "the sample with a header does not build"
  grep -qx "FileVersion 1.2.3.$n" <<<"$(reading "$versioned/sample.exe")" || fail "the program does not carry 1.2.3.$n"
  grep -q "#define SAMPLE_FILE_VERSION_STRING \"1.2.3.$n\"" "$versioned/sample_version.h" \
    || fail "the header does not carry 1.2.3.$n: $(cat "$versioned/sample_version.h")"
  grep -aq "1\.2\.3\.$n" "$versioned/sample.exe" || fail "the program was not compiled with the header of its build"
  # The same source, built for this machine against the header, prints what it holds.
  cc -I"$versioned" -o "$work/native" "$source/tests/package/versioned/main.c"
  [ "$("$work/native")" = "Sample 1.2.3.$n" ] || fail "the header's program prints $("$work/native")"
done

# The installer made with the include carries the program's versions in its own properties.
cp "$source/tests/package/versioned/setup.nsi" "$versioned/"
(cd "$versioned" && makensis -V1 setup.nsi) || fail "makensis refuses the include"
[ "$(reading --exact "$versioned/setup.exe" | sed -n 1,2p)" = "$(reading --exact "$versioned/sample.exe" | sed -n 1,2p)" ] \
  || fail "the installer's version is not the program's"
grep -q "$(reading --exact "$versioned/sample.exe" | grep "^43006f006d00700061006e0079004e0061006d006500=")" <<<"$(reading --exact "$versioned/setup.exe")" \
  || fail "the installer's company name is not the program's"

# The resource script, compiled by windres and by llvm-rc, reads back like VERDO's .RES.
windres=x86_64-w64-mingw32-windres
$windres -i "$versioned/sample.rc" -O coff -o "$work/rc-windres.o" || fail "windres refuses the resource script"
llvm-rc /fo "$work/rc-llvm.res" "$versioned/sample.rc" || fail "llvm-rc refuses the resource script"
$windres -J res -O coff -i "$work/rc-llvm.res" -o "$work/rc-llvm.o"
for made in windres llvm; do
  x86_64-w64-mingw32-gcc -o "$work/rc-$made.exe" "$source/tests/package/sample/main.c" "$work/rc-$made.o"
  [ "$(reading --exact "$work/rc-$made.exe")" = "$(reading --exact "$versioned/sample.exe")" ] \
    || fail "the script compiled by $made reads back otherwise than the .RES"
done

# Keeping the version, a rebuild writes nothing again and compiles and links nothing.
cmake -DVERDO_KEEP_VERSION=ON "$versioned" >/dev/null
cmake --build "$versioned" >/dev/null
before=$(stat -c %Y.%i "$versioned/sample.exe" "$versioned/sample_version.h")
out=$(cmake --build "$versioned" -- -d explain 2>&1)
[ "$(stat -c %Y.%i "$versioned/sample.exe" "$versioned/sample_version.h")" = "$before" ] \
  || fail "a rebuild with the version kept rewrote the header or relinked: $out"
grep -q "Compiling\|Building C object" <<<"$out" && fail "a rebuild with the version kept compiled again: $out"

# Meson: one custom target writes the script and the header, the windows module compiles it.
PATH="$work/root/usr/bin:$PATH" meson setup --cross-file "$source/tests/package/meson-cross.ini" \
  "$work/meson" "$source/tests/package/versioned" >/dev/null || fail "the Meson build does not configure"
PATH="$work/root/usr/bin:$PATH" ninja -C "$work/meson" >/dev/null || fail "the Meson build fails"
grep -qx "FileVersion 1.2.3.11" <<<"$(reading "$work/meson/sample.exe")" || fail "the Meson build carries $(reading "$work/meson/sample.exe" | head -1)"
grep -q '"1.2.3.11"' "$work/meson/sample_version.h" || fail "the Meson build's header does not carry its version"

# The ledger: a program built twice names the second build's commit; the same program with
# one string changed afterwards is refused.
cmake -S "$source/tests/package/sample" -B "$work/ledger" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$source/tests/package/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$work/root/usr" >/dev/null
VERDO_COMMIT=1111111111111111111111111111111111111111 cmake --build "$work/ledger" >/dev/null
VERDO_COMMIT=2222222222222222222222222222222222222222 cmake --build "$work/ledger" >/dev/null
built=$(reading "$work/ledger/sample.exe" | head -1 | cut -d' ' -f2)
status=0
heard=$("$work/root/usr/bin/verdo-store" verify "$work/ledger/sample.exe") || status=$?
[ "$status" = 0 ] || fail "verify does not know the program (status $status): $heard"
grep -q "file $built .*commit 2222222222222222222222222222222222222222" <<<"$heard" \
  || fail "verify does not name the second build: $heard"
/usr/bin/python3 - "$work/ledger/sample.exe" "$work/edited.exe" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
was, now = "Sample program".encode("utf-16-le"), "Sample progran".encode("utf-16-le")
assert data.count(was) == 1, "the description is not in the program once"
open(sys.argv[2], "wb").write(data.replace(was, now))
PY
status=0
heard=$("$work/root/usr/bin/verdo-store" verify "$work/edited.exe") || status=$?
[ "$status" = 1 ] || fail "verify did not refuse the program with a string changed (status $status): $heard"
grep -q "file version $built was built, but" <<<"$heard" || fail "verify does not say what differs: $heard"
echo "PASSED"
