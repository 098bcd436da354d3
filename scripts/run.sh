#!/usr/bin/env bash
# Sets up and builds, then starts the client. Arguments are passed to the client
# (the first one is the server address).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
client=build/app/domvel-e-vadiv
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Brak ekranu: program zostanie uruchomiony bez okien i zakończy się po pokazaniu okna głównego."
  QT_QPA_PLATFORM=offscreen DOMVEL_NONINTERACTIVE=1 DOMVEL_QUIT_AFTER_SHOW=1 "$client" "$@"
  exit $?
fi
exec "$client" "$@"
