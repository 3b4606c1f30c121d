#!/usr/bin/env bash
# The whole test run: installs what is missing, then builds and runs every test
# three ways: a normal build, an AddressSanitizer + UndefinedBehaviorSanitizer
# build, and each fuzz target for a bounded time from the seed corpus; the
# threaded suites also run in a ThreadSanitizer build.
# Last, a cross build for 64-bit ARM runs the suite under qemu-aarch64
# (scripts/test-arm64.sh).
#   FUZZ_SECONDS  time per fuzz target (default 30)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-30}
passed=0
failed=0

bash scripts/install-deps.sh

# run_ctest DIR [CTEST_ARGS...]: runs one build's suite (or the tests the
# arguments select) and adds its counts to the totals.
run_ctest() {
  local dir=$1 log
  shift
  log=$(mktemp)
  if ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300 "$@" | tee "$log"; then :; fi
  local total fails
  total=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2/p' "$log")
  fails=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1/p' "$log")
  rm -f "$log"
  if [ -z "$total" ]; then
    echo "test.sh: no test summary from $dir" >&2
    failed=$((failed + 1))
    return
  fi
  passed=$((passed + total - fails))
  failed=$((failed + fails))
}

echo "== normal build =="
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DLCD_WARNINGS_AS_ERRORS=ON
cmake --build build/release -j "$jobs"
run_ctest build/release

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build =="
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DLCD_BUILD_BENCHMARKS=OFF -DLCD_WARNINGS_AS_ERRORS=ON \
  -DCMAKE_CXX_FLAGS="-O1 -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest build/asan

echo "== ThreadSanitizer build: the threaded suites only =="
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=Debug -DLCD_BUILD_BENCHMARKS=OFF -DLCD_WARNINGS_AS_ERRORS=ON \
  -DCMAKE_CXX_FLAGS="-O1 -fsanitize=thread -fno-omit-frame-pointer"
cmake --build build/tsan -j "$jobs" --target stress_concurrency_tests lcd_host_tests communicator_tests
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
run_ctest build/tsan/tests/stress -L concurrency
run_ctest build/tsan/tests/host -R '^ConcurrentDispatch[.]'
run_ctest build/tsan/tests/communicator
unset TSAN_OPTIONS

echo "== fuzz targets, ${fuzz_seconds} s each =="
CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLCD_BUILD_FUZZERS=ON -DLCD_WARNINGS_AS_ERRORS=ON
cmake --build build/fuzz -j "$jobs"
for corpus in fuzz/corpus/*/; do
  name=$(basename "$corpus")
  work="build/fuzz/corpus-$name"
  mkdir -p "$work"
  cp -f "$corpus"* "$work/"
  if "build/fuzz/fuzz/${name}_fuzzer" -max_total_time="$fuzz_seconds" -print_final_stats=0 "$work" 2>"build/fuzz/$name.log"; then
    echo "fuzz $name: no crash in ${fuzz_seconds} s"
    passed=$((passed + 1))
  else
    tail -n 40 "build/fuzz/$name.log"
    echo "fuzz $name: FAILED (log: build/fuzz/$name.log)"
    failed=$((failed + 1))
  fi
done

echo "== 64-bit ARM: cross build, the suite under qemu-aarch64 =="
# Exit 77 means the arm64 packages cannot be had here; the script says why.
arm64_log=$(mktemp)
arm64_status=0
bash scripts/test-arm64.sh | tee "$arm64_log" || arm64_status=$?
if [ "$arm64_status" -ne 77 ]; then
  arm64_counts=$(sed -n 's/^test-arm64: \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' "$arm64_log")
  if [ -n "$arm64_counts" ]; then
    passed=$((passed + ${arm64_counts% *}))
    failed=$((failed + ${arm64_counts#* }))
  else
    echo "test.sh: no summary from scripts/test-arm64.sh (exit $arm64_status)" >&2
    failed=$((failed + 1))
  fi
fi
rm -f "$arm64_log"

echo "test.sh: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
