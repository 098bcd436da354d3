#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite headless, then a bounded run
# of each fuzz target (clang, libFuzzer). DOMVEL_TEST_SANITIZERS=1 also runs
# the suite in an AddressSanitizer + UndefinedBehaviorSanitizer build (a second
# full build: about twice the time).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== Testy (build/)"
ctest --test-dir build --output-on-failure --parallel "$jobs" --timeout 600

if [ "${DOMVEL_TEST_SANITIZERS:-0}" = 1 ]; then
echo "== Testy z sanitizerami (build-asan/)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDOMVEL_SANITIZE=ON
cmake --build build-asan --parallel "$jobs"
# Leaks are not checked here: the toolkit's own caches (fontconfig) live to exit.
ASAN_OPTIONS=detect_leaks=0:halt_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure --parallel "$jobs" --timeout 900 -LE bench
fi

echo "== Fuzzing (build-fuzz/)"
CXX=clang++ CC=clang cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDOMVEL_FUZZ=ON
fuzz_targets=$(ctest --test-dir build-fuzz -N -L fuzz | sed -n 's/^ *Test *#[0-9]*: \(fuzz_[a-z_]*\)_smoke$/\1/p')
cmake --build build-fuzz --parallel "$jobs" --target $fuzz_targets
ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-fuzz --output-on-failure --parallel "$jobs" -L fuzz
