#!/usr/bin/env bash
# Sets up and builds, then starts the client.
#
#   bash scripts/run.sh                 the demo server on a free port of 127.0.0.1 and the
#                                       client against it; the server stops when the client ends
#   bash scripts/run.sh ADDRESS [...]   the client alone, against the server at ADDRESS
#                                       (host or host:port; further client options may follow)
#
# Without a display (neither DISPLAY nor WAYLAND_DISPLAY set) the windows cannot be shown: the
# scripted tour (build/app/domvel-tour) then walks through the program under Xvfb against the
# same server (login, another year, a month card, a charge detail, previews, PDF exports, a print
# file loaded back) and leaves its screenshots and files in a fresh folder whose path it prints.
#
# The demo server keeps its database and its self-signed certificate in a data folder under the
# user's data directory (or build/demo-data when that cannot be written), made on first start.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

client=build/app/domvel-e-vadiv
tour=build/app/domvel-tour
server=build/server/domvel-demo-server

# A fresh folder for the tour's screenshots and files.
tour_folder() {
  local root="${XDG_STATE_HOME:-$HOME/.local/state}/domvel-tour"
  local folder
  folder="$root/$(date +%Y%m%d-%H%M%S)"
  if mkdir -p "$folder" 2>/dev/null && [ -w "$folder" ]; then
    echo "$folder"
  else
    mktemp -d -t domvel-tour.XXXXXX
  fi
}

# The client with a display; the scripted tour under Xvfb without one.
run_client() {
  if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    "$client" "$@"
    return
  fi
  local folder
  folder="$(tour_folder)"
  echo "Brak ekranu: pokaz programu pod Xvfb, zrzuty ekranu i pliki w $folder"
  if command -v xvfb-run >/dev/null 2>&1; then
    LC_ALL="${LC_ALL:-pl_PL.UTF-8}" xvfb-run -a -s "-screen 0 1600x1000x24" "$tour" "$@" --out "$folder"
  else
    LC_ALL="${LC_ALL:-pl_PL.UTF-8}" QT_QPA_PLATFORM=offscreen "$tour" "$@" --out "$folder"
  fi
}

if (($# > 0)); then
  run_client "$@"
  exit $?
fi

data_root="${XDG_DATA_HOME:-$HOME/.local/share}"
data_dir="$data_root/domvel-demo-server"
if ! mkdir -p "$data_dir" 2>/dev/null || [ ! -w "$data_dir" ]; then
  data_dir="$PWD/build/demo-data"
  mkdir -p "$data_dir"
fi

server_log="$(mktemp -t domvel-demo-server.XXXXXX.log)"
"$server" --port 0 --data "$data_dir" >"$server_log" 2>&1 &
server_pid=$!
stop_server() {
  if kill -0 "$server_pid" 2>/dev/null; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -f "$server_log"
}
trap stop_server EXIT
trap 'exit 130' INT TERM

# The server prints "port: N" once it listens (the first start also builds the database).
port=""
for _ in $(seq 1 600); do
  port="$(sed -n 's/^port: \([0-9][0-9]*\)$/\1/p' "$server_log" | head -n 1)"
  [ -n "$port" ] && break
  if ! kill -0 "$server_pid" 2>/dev/null; then
    break
  fi
  sleep 0.1
done
if [ -z "$port" ]; then
  echo "Serwer demonstracyjny nie wystartował:" >&2
  cat "$server_log" >&2
  exit 1
fi

echo "Serwer demonstracyjny: https://localhost:$port (dane: $data_dir)"
echo "Konta demonstracyjne: kowalski / Kowalski1, wisniewska / Wisnia2016, nowak / NowakP2015, zielinski / Ogrod7Gda"
set +e
run_client "localhost:$port" --ca-cert "$data_dir/server-cert.pem"
status=$?
set -e
exit "$status"
