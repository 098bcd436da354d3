#!/usr/bin/env bash
# Sets up and builds (gcc, build/), runs the whole suite headless, then builds
# once more with clang, AddressSanitizer + UndefinedBehaviorSanitizer and the
# libFuzzer targets (build-asan/) and runs there the whole suite again with
# leak checks on (benchmarks excepted), the fuzz regression inputs, and a
# bounded run (30 s) of each fuzz target. Any sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

stage_start=$SECONDS
stage_end() { echo "-- $1: $((SECONDS - stage_start)) s"; stage_start=$SECONDS; }

echo "== Testy (build/)"
ctest --test-dir build --output-on-failure --parallel "$jobs" --timeout 600
stage_end "testy"

echo "== Kompilacja z sanitizerami i libFuzzerem (build-asan/, clang)"
# -O1 and line tables only: a much shorter build, and stacks keep file:line.
CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only -DNDEBUG" \
  -DDOMVEL_SANITIZE=ON -DDOMVEL_FUZZ=ON
cmake --build build-asan --parallel "$jobs"
stage_end "kompilacja z sanitizerami"

# The tests carry their sanitizer options (ASAN_OPTIONS, LSAN_OPTIONS with
# tests/lsan.supp, UBSAN_OPTIONS) as CTest properties; see cmake/DomvelTargets.cmake.
echo "== Testy z sanitizerami (build-asan/)"
ctest --test-dir build-asan --output-on-failure --parallel "$jobs" --timeout 900 -LE "bench|fuzz"
stage_end "testy z sanitizerami"

echo "== Fuzzing (build-asan/)"
ctest --test-dir build-asan --output-on-failure --parallel "$jobs" -L fuzz
stage_end "fuzzing"
