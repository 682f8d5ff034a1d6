#!/usr/bin/env bash
# Renders the windows (splash, frame with the browse, about box, each tab of the form
# and of the preview, a build history) offscreen into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target screenshots
QT_QPA_PLATFORM=offscreen build/screenshots docs/screenshots
