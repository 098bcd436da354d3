#!/usr/bin/env bash
# Runs every benchmark once, in sequence, on an existing build and prints one
# Markdown table of the figures, ready for the README's "Performance" section.
# Builds nothing: build first (cmake --build build).
#
#   bench/run_all.sh [build folder=build] [--quick]
#
# --quick runs short versions (a check that the runner works, no figures to
# publish). Each benchmark's full output goes to <build>/bench-results/.
set -uo pipefail
cd "$(dirname "$0")/.."

build=build
quick=0
for arg in "$@"; do
  case "$arg" in
    --quick) quick=1 ;;
    -h|--help) sed -n 2,10p "$0"; exit 0 ;;
    *) build=$arg ;;
  esac
done
bench="$build/bench"
results="$build/bench-results"
mkdir -p "$results"

# As the tests run: headless, Polish (Qt takes the locale from these
# variables even where the C library lacks it; set for the benchmarks only,
# so that this shell does not complain).
export QT_QPA_PLATFORM=offscreen DOMVEL_NONINTERACTIVE=1
locale_env=(env LC_ALL=pl_PL.UTF-8 LANG=pl_PL.UTF-8)

if ((quick)); then
  runs=(
    "startup|app/bench_startup 2"
    "login|app/bench_login 2"
    "codec|service/bench_codec --quick"
    "server4|server/bench_server 4 1"
    "report|engine/bench_report 500"
    "reports|reports/bench_reports 500"
    "monthcard|views/bench_monthcard 50"
  )
else
  runs=(
    "startup|app/bench_startup 20"
    "login|app/bench_login 5"
    "codec|service/bench_codec"
    "server4|server/bench_server 4 5"
    "server8|server/bench_server 8 5"
    "report|engine/bench_report 10000"
    "reports|reports/bench_reports 10000"
    "monthcard|views/bench_monthcard 1000"
  )
fi

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
started=$(date -u '+%Y-%m-%d %H:%M UTC')
rows=()
failed=0
for run in "${runs[@]}"; do
  name=${run%%|*}
  command=(${run#*|})
  program="$bench/${command[0]}"
  log="$results/$name.log"
  if [ ! -x "$program" ]; then
    echo "missing: $program (build it first)" >&2
    rows+=("| ${command[*]} | not built |")
    failed=1
    continue
  fi
  echo "running ${command[*]} ..." >&2
  if "${locale_env[@]}" "$program" "${command[@]:1}" >"$log" 2>&1; then
    status=ok
  else
    status=failed
    failed=1
    echo "  FAILED, see $log" >&2
  fi
  found=0
  while IFS= read -r line; do
    what=${line#@figure }
    rows+=("| ${what%% | *} | ${what#* | } |")
    found=1
  done < <(grep '^@figure ' "$log")
  if [ "$status" = failed ]; then
    rows+=("| ${command[*]} | **failed** (exit status not 0; see bench-results/$name.log) |")
  elif ((!found)); then
    rows+=("| ${command[*]} | no figures |")
  fi
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
qt=$(pkg-config --modversion Qt6Core 2>/dev/null || echo "?")
commit=$(git rev-parse --short HEAD 2>/dev/null || echo "?")
echo
echo "Measured $started on $(nproc) cores ($cpu), Qt $qt, commit $commit, \`bench/run_all.sh\`$( ((quick)) && echo ' --quick'),"
echo "offscreen; load average $load_before before, $load_after after."
echo
echo "| What | Figure |"
echo "|---|---|"
printf '%s\n' "${rows[@]}"
exit $failed
