#!/usr/bin/env bash
# package_test.sh CMAKE BUILD_DIR PREFIX VERSION
#
# Packs the build tree with CPack, unpacks both packages into a temporary root
# and checks what an installation gets: the file list, a stripped client that
# prints its version, a desktop entry that starts an installed file, valid
# metadata, and the unpacked demo server answering the unpacked client over
# HTTPS on 127.0.0.1, trusted through the cooperative's CA file of the client's
# data folder and refused without it.
set -euo pipefail
cmake_command=$1 build=$2 prefix=$3 version=$4
cpack_command="$(dirname "$cmake_command")/cpack"

work="$(mktemp -d -t domvel-package-test.XXXXXX)"
server_pid=""
cleanup() {
  if [ -n "$server_pid" ] && kill -0 "$server_pid" 2>/dev/null; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
# The programs run with a home and runtime folder of their own.
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# Packs what the build tree holds; the staging area stays under $work.
"$cpack_command" --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack" >&2
  exit 1
}
arch="$(dpkg --print-architecture)"
client_deb="$work/out/domvel-e-vadiv_${version}_${arch}.deb"
server_deb="$work/out/domvel-demo-server_${version}_${arch}.deb"
for deb in "$client_deb" "$server_deb"; do
  if [ ! -f "$deb" ]; then
    echo "FAIL: no package $(basename "$deb"); cpack made: $(ls "$work/out")" >&2
    exit 1
  fi
done
pass "packages $(basename "$client_deb") $(basename "$server_deb")"

# Dependencies: from dpkg-shlibdeps, and what is loaded at run time.
client_depends="$(dpkg-deb -f "$client_deb" Depends)"
server_depends="$(dpkg-deb -f "$server_deb" Depends)"
for dep in libqt6widgets6 libqt6network6 libqt6svg6 qt6-translations-l10n; do
  [[ "$client_depends" == *"$dep"* ]] || fail "client Depends lacks $dep: $client_depends"
done
for dep in libqt6sql6-sqlite openssl; do
  [[ "$server_depends" == *"$dep"* ]] || fail "server Depends lacks $dep: $server_depends"
done
[[ "$server_depends" != *libqt6widgets6* ]] || fail "server depends on the widgets: $server_depends"

root="$work/root"
mkdir -p "$root"
dpkg-deb -x "$client_deb" "$root"
dpkg-deb -x "$server_deb" "$root"
p="$root$prefix"

# Every file in its place, each in one package only.
client_files="$(dpkg-deb -c "$client_deb" | awk '{print $NF}')"
server_files="$(dpkg-deb -c "$server_deb" | awk '{print $NF}')"
expect_in() {
  local list=$1 path=$2 what=$3
  grep -qx "\.$prefix/$path" <<<"$list" || fail "$what lacks $prefix/$path"
}
for path in bin/domvel-e-vadiv share/applications/pl.domvel.evadiv.desktop \
  share/metainfo/pl.domvel.evadiv.metainfo.xml share/icons/hicolor/scalable/apps/domvel-e-vadiv.svg \
  share/icons/hicolor/48x48/apps/domvel-e-vadiv.png share/man/man1/domvel-e-vadiv.1.gz \
  share/doc/domvel-e-vadiv/copyright share/doc/domvel-e-vadiv/changelog.gz; do
  expect_in "$client_files" "$path" "client package"
done
for path in bin/domvel-demo-server share/man/man1/domvel-demo-server.1.gz \
  lib/systemd/system/domvel-demo-server.service share/doc/domvel-demo-server/copyright; do
  expect_in "$server_files" "$path" "server package"
done
grep -q "domvel-demo-server" <<<"$client_files" && fail "client package holds server files"
grep -q "bin/domvel-e-vadiv\|applications" <<<"$server_files" && fail "server package holds client files"
pass "file lists"

# Stripped: no debug sections left in the programs. Their debug info is in
# the -dbgsym package of each, under the program's build ID.
for program in "$p/bin/domvel-e-vadiv" "$p/bin/domvel-demo-server"; do
  name="$(basename "$program")"
  if readelf -S "$program" | grep -q '\.debug_'; then
    fail "$name keeps debug sections"
  fi
  package=$name
  [ "$name" = domvel-e-vadiv ] || package=domvel-demo-server
  ddeb="$work/out/$package-dbgsym_${version}_${arch}.ddeb"
  build_id="$(readelf -n "$program" | awk '/Build ID:/ {print $3}')"
  if [ ! -f "$ddeb" ]; then
    fail "no debug package $(basename "$ddeb")"
  elif [ -z "$build_id" ]; then
    fail "$name has no build ID"
  else
    debug_root="$work/debug-$name"
    mkdir -p "$debug_root"
    dpkg-deb -x "$ddeb" "$debug_root"
    debug_file="$debug_root/usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug"
    if [ -f "$debug_file" ] && readelf -S "$debug_file" | grep -q '\.debug_info'; then
      pass "$name debug info in $(basename "$ddeb")"
    else
      fail "$(basename "$ddeb") lacks the debug info of $name (build ID $build_id): $(dpkg-deb -c "$ddeb" | awk '{print $NF}' | tr '\n' ' ')"
    fi
  fi
done

# The unpacked client reads its version block back from the stripped file.
version_output="$("$p/bin/domvel-e-vadiv" --version 2>&1)" || fail "client --version exit status $?"
if [[ "$version_output" == *" $version "* && "$version_output" == *"1.3.0.0"* ]]; then
  pass "client --version: $version_output"
else
  fail "client --version does not give the file and product versions: $version_output"
fi
gzip -t "$p/share/man/man1/domvel-e-vadiv.1.gz" "$p/share/man/man1/domvel-demo-server.1.gz" \
  || fail "manual pages not gzip files"

# The desktop entry starts an installed file.
desktop="$p/share/applications/pl.domvel.evadiv.desktop"
exec_line="$(sed -n 's/^Exec=//p' "$desktop")"
exec_program="${exec_line%% *}"
if [[ "$exec_program" == /* ]]; then
  exec_path="$root$exec_program"
else
  exec_path="$p/bin/$exec_program"
fi
if [ -x "$exec_path" ]; then
  pass "desktop Exec=$exec_line"
else
  fail "desktop Exec=$exec_line names no installed program ($exec_path)"
fi
icon="$(sed -n 's/^Icon=//p' "$desktop")"
[ -f "$p/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "desktop Icon=$icon is not installed"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$p/share/metainfo/pl.domvel.evadiv.metainfo.xml" >"$work/appstream.log" 2>&1 \
    || { cat "$work/appstream.log" >&2; fail "appstreamcli validate"; }
fi
grep -q "^ExecStart=$prefix/bin/domvel-demo-server " "$p/lib/systemd/system/domvel-demo-server.service" \
  || fail "the unit does not start the installed server"

# The unpacked demo server: its data folder and certificate made on first start.
"$p/bin/domvel-demo-server" --port 0 --data "$work/data" >"$work/server.log" 2>&1 &
server_pid=$!
port=""
for _ in $(seq 1 1200); do
  port="$(sed -n 's/^port: \([0-9][0-9]*\)$/\1/p' "$work/server.log" | head -n 1)"
  [ -n "$port" ] && break
  kill -0 "$server_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$port" ]; then
  cat "$work/server.log" >&2
  echo "FAIL: the unpacked demo server did not start" >&2
  exit 1
fi
for made in server-cert.pem server-key.pem demo.sqlite; do
  [ -f "$work/data/$made" ] || fail "the server's first start made no $made"
done
pass "demo server on port $port"

# The client's version check is one SOAP call over HTTPS; with the server
# trusted the login dialog follows, without it the service-unavailable box.
run_client() {
  DOMVEL_QUIT_AFTER_SHOW=login timeout 60 "$p/bin/domvel-e-vadiv" "localhost:$port" \
    >"$work/client.out" 2>"$work/client.err"
}
ca_file="$p/share/domvel-e-vadiv/cooperative-ca.pem"
[ ! -e "$ca_file" ] || fail "a CA file is installed though none was configured"
run_client || fail "client without a trusted CA: exit status $?"
if grep -q "login dialog painted" "$work/client.out"; then
  fail "client reached the login dialog without trusting the server"
fi
grep -q "Serwis, niestety, nie jest dostępny." "$work/client.err" \
  || fail "client without a trusted CA did not say the service is unavailable: $(cat "$work/client.err")"

# A cooperative's CA file where the package puts it: trusted without --ca-cert.
mkdir -p "$(dirname "$ca_file")"
cp "$work/data/server-cert.pem" "$ca_file"
run_client || fail "client with the installed CA: exit status $?"
if grep -q "login dialog painted" "$work/client.out"; then
  pass "client trusts the installed CA and gets the server's answer"
else
  fail "client with the installed CA did not reach the login dialog: $(cat "$work/client.err")"
fi

kill "$server_pid"
server_status=0
wait "$server_pid" || server_status=$?
server_pid=""
[ "$server_status" -eq 0 ] || fail "demo server ended with status $server_status: $(cat "$work/server.log")"

if ((failures)); then
  echo "$failures failed checks" >&2
  exit 1
fi
echo "all package checks passed"
