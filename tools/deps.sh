#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev fonts-dejavu-core libsqlite3-dev libgtest-dev
          sqlite3 binutils-mingw-w64-x86-64 xvfb openbox
          dpkg-dev lintian python3-pefile gcc-mingw-w64-x86-64
          libpq-dev postgresql nsis meson llvm git)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
