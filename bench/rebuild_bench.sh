#!/usr/bin/env bash
# What VERDO's step adds to a build: the median time of `ninja` over the small sample
# program of the package test, cross-built with MinGW-w64, without the step, with the
# step keeping the version (nothing changes, nothing relinks) and with the increment
# (the .RES changes, only the program relinks).
#   bench/rebuild_bench.sh [BUILD-FOLDER]    (the package is made from BUILD-FOLDER, default build/)
set -euo pipefail
export LC_ALL=C
source=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$source/build}" && pwd)
work=$(mktemp -d)
trap '[ -n "${KEEP_WORK:-}" ] || rm -rf "$work"' EXIT
runs=21

(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
dpkg-deb -x "$work"/package/verdo_*_amd64.deb "$work/root"
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" HOME="$work/home"
unset VERDO_STORE
"$work/root/usr/bin/verdo" 7 2>/dev/null || true
sqlite3 "$XDG_DATA_HOME/verdo/VERDO" "INSERT INTO RESFile (RESNumber, ProjectName, ProjectPath, FV_1, INC_FV_4,
  CompanyName, FileOS, FileType, LangID, CodePage) VALUES (7, 'SAMPLE', '.', 1, 1, 'Sample Co', x'04000400', x'01', '0409', '04b0')"

mkdir -p "$work/plain"
cp "$source/tests/package/sample/main.c" "$work/plain/"
grep -v verdo_ "$source/tests/package/sample/CMakeLists.txt" > "$work/plain/CMakeLists.txt"

configure() {  # SOURCE BUILD [options]
  cmake -S "$1" -B "$2" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$source/tests/package/mingw-w64.cmake" \
    -DCMAKE_PREFIX_PATH="$work/root/usr" "${@:3}" >/dev/null
  ninja -C "$2" >/dev/null
}
median() {  # BUILD: prints the median wall time of `ninja` in milliseconds, and whether it linked
  local times=() linked=0
  for _ in $(seq $runs); do
    local start end out
    start=$(date +%s%N)
    out=$(ninja -C "$1")
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000 )))
    grep -q "Linking" <<<"$out" && linked=$((linked + 1))
  done
  local m
  m=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p")
  printf '%8.1f ms   relinked %d of %d\n' "$(awk -v m="$m" 'BEGIN { print m / 1000 }')" "$linked" "$runs"
}

configure "$work/plain" "$work/b-plain"
# Both trees share the project: the one keeping the version is built last, with the
# numbers the other left in the store.
configure "$source/tests/package/sample" "$work/b-inc"
configure "$source/tests/package/sample" "$work/b-keep" -DVERDO_KEEP_VERSION=ON
echo "ninja over the sample program, median of $runs rebuilds with no source change:"
printf '  without the step:             '; median "$work/b-plain"
printf '  with the step, version kept:  '; median "$work/b-keep"
printf '  with the step, increment:     '; median "$work/b-inc"
