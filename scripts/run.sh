#!/usr/bin/env bash
# Sets up and builds, then starts the client.
#
#   bash scripts/run.sh                 the demo server on a free port of 127.0.0.1 and the
#                                       client against it; the server stops when the client ends
#   bash scripts/run.sh ADDRESS [...]   the client alone, against the server at ADDRESS
#                                       (host or host:port; further client options may follow)
#
# The demo server keeps its database and its self-signed certificate in a data folder under the
# user's data directory (or build/demo-data when that cannot be written), made on first start.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

client=build/app/domvel-e-vadiv
server=build/server/domvel-demo-server

run_client() {
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Brak ekranu: program zostanie uruchomiony bez okien i zakończy się po pokazaniu okna głównego."
    QT_QPA_PLATFORM=offscreen DOMVEL_NONINTERACTIVE=1 DOMVEL_QUIT_AFTER_SHOW=1 "$client" "$@"
  else
    "$client" "$@"
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
