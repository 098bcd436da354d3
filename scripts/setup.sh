#!/usr/bin/env bash
# Installs what the build, the tests and the demo need (Debian 12), then
# configures and builds the project in build/. Safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n libgl-dev
  qt6-httpserver-dev qt6-websockets-dev libxkbcommon-dev libqt6sql6-sqlite
  libexpat1-dev fonts-liberation openssl libssl-dev ca-certificates
  xvfb xauth x11-utils poppler-utils chromium
  clang libclang-rt-14-dev llvm-14
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Instaluję brakujące pakiety: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake --preset default
cmake --build --preset default --parallel "$(nproc)"
