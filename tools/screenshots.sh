#!/usr/bin/env bash
# Renders the frame, the splash and the about box offscreen into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target screenshots
QT_QPA_PLATFORM=offscreen build/screenshots docs/screenshots
