#!/usr/bin/env bash
# Builds VERDO and runs every test. With --sanitize the tests run under
# AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize/.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh
dir=build
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-sanitize
  flags=(-DCMAKE_BUILD_TYPE=Debug -DVERDO_SANITIZE=ON)
fi
cmake -S . -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir"
export QT_QPA_PLATFORM=offscreen LANG=C.UTF-8
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
