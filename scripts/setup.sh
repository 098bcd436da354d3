#!/usr/bin/env bash
# Installs what the build, the tests, the demo and the packages need
# (Debian 12), then configures and builds the project in build/. Safe to run
# again. With --no-build it only installs (scripts/package.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
build=1
case "${1:-}" in
  --no-build) build=0 ;;
  "") ;;
  *) echo "Użycie: bash scripts/setup.sh [--no-build]" >&2; exit 2 ;;
esac

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n libgl-dev
  libxkbcommon-dev libqt6sql6-sqlite
  libexpat1-dev fonts-liberation openssl libssl-dev ca-certificates
  xvfb xauth x11-utils poppler-utils chromium
  clang libclang-rt-14-dev llvm-14 clang-format
  dpkg-dev file fakeroot lintian appstream desktop-file-utils
  locales python3
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

# The tests run under the Polish locale, as a tenant's machine does: the C
# library must have it, or a test process silently stays in "C".
if ! locale -a 2>/dev/null | grep -qix 'pl_PL\.utf-\?8'; then
  echo "Generuję ustawienia regionalne pl_PL.UTF-8"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo sed -i 's/^# *\(pl_PL\.UTF-8 UTF-8\)$/\1/' /etc/locale.gen
  grep -qx 'pl_PL.UTF-8 UTF-8' /etc/locale.gen || echo 'pl_PL.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen
fi

if ((build)); then
  cmake --preset default
  cmake --build --preset default --parallel "$(nproc)"
fi
