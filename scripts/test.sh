#!/usr/bin/env bash
# Checks the format of every C++ file, sets up and builds (gcc, build/), runs
# the whole suite headless, then builds
# once more with clang, AddressSanitizer + UndefinedBehaviorSanitizer and the
# libFuzzer targets (build-asan/) and runs there the whole suite again with
# leak checks on (benchmarks excepted), the fuzz regression inputs, and a
# bounded run (30 s) of each fuzz target. Any sanitizer report fails the run.
#
#   bash scripts/test.sh           the whole run (what CI and the README use)
#   bash scripts/test.sh --quick   the gcc build's suite alone, for day-to-day work
set -euo pipefail
cd "$(dirname "$0")/.."
quick=0
case "${1:-}" in
  --quick) quick=1 ;;
  "") ;;
  *) echo "Użycie: bash scripts/test.sh [--quick]" >&2; exit 2 ;;
esac
# The format first: a file off .clang-format fails the run before any build.
bash scripts/setup.sh --no-build
stage_start=$SECONDS
stage_end() { echo "-- $1: $((SECONDS - stage_start)) s"; stage_start=$SECONDS; }
echo "== Format (.clang-format)"
bash scripts/check-format.sh
echo "== Kompilacja (build/, gcc)"
bash scripts/setup.sh
stage_end "format i kompilacja"
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== Testy (build/)"
ctest --preset default --parallel "$jobs"
stage_end "testy"
if ((quick)); then
  exit 0
fi

echo "== Kompilacja z sanitizerami i libFuzzerem (build-asan/, clang)"
# -O1 and line tables only: a much shorter build, and stacks keep file:line.
cmake --preset asan-fuzz
cmake --build --preset asan-fuzz --parallel "$jobs"
stage_end "kompilacja z sanitizerami"

# The tests carry their sanitizer options (ASAN_OPTIONS, LSAN_OPTIONS with
# tests/lsan.supp, UBSAN_OPTIONS) as CTest properties; see cmake/DomvelTargets.cmake.
echo "== Testy z sanitizerami (build-asan/)"
ctest --preset asan --parallel "$jobs"
stage_end "testy z sanitizerami"

echo "== Fuzzing (build-asan/)"
ctest --preset fuzz --parallel "$jobs"
stage_end "fuzzing"
