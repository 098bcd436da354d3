#!/usr/bin/env bash
# Builds the Debian packages in build-package/ (preset "package": the two
# programs alone, optimised, hardened, stripped and without Qt Test, installed
# under /usr) and checks them:
#
#   build-package/domvel-e-vadiv_<version>_amd64.deb      the client and its files
#   build-package/domvel-demo-server_<version>_amd64.deb  the demo server and its systemd unit
#   build-package/*-dbgsym_<version>_amd64.ddeb           the programs' debug info, kept apart
#
#   bash scripts/package.sh [-DOPTION=VALUE ...]
#
# Options go to CMake, e.g. a cooperative's own default address and CA:
#   bash scripts/package.sh -DDOMVEL_DEFAULT_SERVER=ebok.example.pl -DDOMVEL_CA_CERT=/path/ca.pem
# They stay in build-package/CMakeCache.txt for later runs; -DDOMVEL_CA_CERT= takes the CA out.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --no-build

launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
fi

cmake --preset package "${launcher[@]}" "$@"
cmake --build --preset package --parallel "$(nproc)"
rm -f build-package/*.deb build-package/*.ddeb
cpack --preset package -B "$PWD/build-package"

status=0
echo "== lintian"
lintian --info --display-experimental --pedantic build-package/*.deb || status=1
echo "== desktop-file-validate"
desktop-file-validate packaging/*.desktop || status=1
echo "== appstreamcli validate"
appstreamcli validate --no-net build-package/packaging/*.metainfo.xml || status=1
if command -v systemd-analyze >/dev/null 2>&1; then
  echo "== systemd-analyze verify"
  # The unit's program is not installed here: check the unit against the
  # freshly built one by its installed name.
  unit_root="$(mktemp -d)"
  trap 'rm -rf "$unit_root"' EXIT
  dpkg-deb -x build-package/domvel-demo-server_*.deb "$unit_root"
  sed "s#ExecStart=/usr/bin/#ExecStart=$unit_root/usr/bin/#" \
    "$unit_root/usr/lib/systemd/system/domvel-demo-server.service" >"$unit_root/domvel-demo-server.service"
  SYSTEMD_LOG_LEVEL=warning systemd-analyze verify --man=no "$unit_root/domvel-demo-server.service" || status=1
fi

echo
ls -l build-package/*.deb build-package/*.ddeb
for deb in build-package/*.deb; do
  echo "== $deb"
  dpkg-deb -f "$deb" Package Version Architecture Depends
done
exit "$status"
