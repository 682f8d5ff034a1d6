#!/usr/bin/env bash
# Builds VERDO and runs it; any arguments are passed to the program (a project number
# runs the build-time export, none starts the editor).
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target verdo
exec build/verdo "$@"
