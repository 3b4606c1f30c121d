#!/usr/bin/env bash
# The whole test run: installs what is missing, checks the code style, then
# builds and runs every test: a normal Release build, benchmarks compiled; an
# AddressSanitizer + UndefinedBehaviorSanitizer build; the threaded suites in a
# ThreadSanitizer build; every fuzz target for a bounded time, from its seed
# corpus if it has one; and last a cross build for 64-bit ARM whose suite runs
# under qemu-aarch64 (scripts/test-arm64.sh). Warnings are errors in every
# build. The closing line counts passed, failed and skipped tests and names a
# phase that could not run.
#   FUZZ_SECONDS  time per fuzz target (default 10)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/lib.sh
jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-10}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

bash scripts/install-deps.sh

# phase NAME: ends the phase before it (saying how long it took) and starts NAME.
phase_name=""
phase_start=$SECONDS
phase() {
  [ -z "$phase_name" ] || echo "test.sh: $phase_name took $((SECONDS - phase_start)) s"
  phase_name=$1
  phase_start=$SECONDS
  [ -z "$phase_name" ] || echo "== $phase_name =="
}

phase "code style"
formatted() { git ls-files '*.cpp' '*.h' '*.hpp' | xargs clang-format-14 --dry-run --Werror; }
count_check "every C++ file is formatted as .clang-format says" formatted

phase "normal build"
# With the benchmarks compiled, so that they cannot rot; of them only the
# codec agreement check runs, as a test. Optimised as Debian builds its
# packages (-O2), since the package below is made from this build.
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DBUILD_TESTING=ON \
  -DLCD_WARNINGS_AS_ERRORS=ON -DLCD_BUILD_BENCHMARKS=ON
cmake --build build/release -j "$jobs"
count_ctest build/release

phase "Debian package: contents, dependencies, lcd-host demo unpacked"
# The normal build is complete, so cpack only installs and packs it.
package_built() { (cd build/release && cpack -G DEB >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; return 1; }; }
count_check "cpack builds the Debian package" package_built
count_check "the package holds the product, depends on what it links and runs lcd-host demo unpacked" \
  bash tests/package/check_package.sh "build/release/layercutoutmodel_0.1.0_$(dpkg --print-architecture).deb"

phase "AddressSanitizer + UndefinedBehaviorSanitizer build"
# Unoptimised, with line tables only: the sanitizers' reports keep their
# file:line, and the build takes half the time of -O1 -g. A sanitized process
# is slow to start, so each test binary runs once, all its cases in it.
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE= -DBUILD_TESTING=ON -DLCD_WARNINGS_AS_ERRORS=ON \
  -DLCD_TEST_PROCESS_PER_CASE=OFF \
  -DCMAKE_CXX_FLAGS="-O0 -g1 -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 UBSAN_OPTIONS=print_stacktrace=1 count_ctest build/asan

phase "ThreadSanitizer build: the threaded suites"
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE= -DBUILD_TESTING=ON -DLCD_WARNINGS_AS_ERRORS=ON \
  -DLCD_TEST_PROCESS_PER_CASE=OFF \
  -DCMAKE_CXX_FLAGS="-O0 -g1 -fsanitize=thread -fno-omit-frame-pointer"
cmake --build build/tsan -j "$jobs" --target threaded_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 count_ctest build/tsan -L threaded

phase "fuzz targets, ${fuzz_seconds} s each"
CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS="-O1 -g1" -DLCD_BUILD_FUZZERS=ON \
  -DLCD_WARNINGS_AS_ERRORS=ON
cmake --build build/fuzz -j "$jobs" --target fuzzers
# Every target built runs, from its seed corpus if it has one.
fuzz() {
  local name=$1
  mkdir -p "$scratch/$name"
  [ ! -d "fuzz/corpus/$name" ] || cp -f "fuzz/corpus/$name/"* "$scratch/$name/"
  "build/fuzz/fuzz/${name}_fuzzer" -max_total_time="$fuzz_seconds" -print_final_stats=0 "$scratch/$name" \
    2>"$scratch/$name.log" || { tail -n 40 "$scratch/$name.log"; return 1; }
}
fuzzers=()
for target in build/fuzz/fuzz/*_fuzzer; do fuzzers+=("$(basename "$target" _fuzzer)"); done
# A fuzzer keeps one core busy: as many run at once as there are cores.
for ((first = 0; first < ${#fuzzers[@]}; first += jobs)); do
  for name in "${fuzzers[@]:first:jobs}"; do
    (
      status=0
      fuzz "$name" >"$scratch/$name.out" || status=$?
      echo "$status" >"$scratch/$name.status"
    ) &
  done
  wait
done
fuzz_result() {
  cat "$scratch/$1.out"
  [ "$(cat "$scratch/$1.status")" -eq 0 ]
}
for name in "${fuzzers[@]}"; do
  count_check "fuzz $name finds no crash in ${fuzz_seconds} s" fuzz_result "$name"
done

phase "64-bit ARM: cross build, the suite under qemu-aarch64"
# Exit 77 means the arm64 packages cannot be had here; the script says why.
not_run=""
arm64_status=0
bash scripts/test-arm64.sh | tee "$scratch/arm64.log" || arm64_status=$?
if [ "$arm64_status" -eq 77 ]; then
  not_run="; not run: 64-bit ARM ($(sed -n 's/^arm64: skipped: //p' "$scratch/arm64.log" | head -n 1))"
else
  counts=$(sed -n 's/^test-arm64: \([0-9]*\) passed, \([0-9]*\) failed, \([0-9]*\) skipped$/\1 \2 \3/p' \
    "$scratch/arm64.log")
  if [ -n "$counts" ]; then
    read -r arm_passed arm_failed arm_skipped <<<"$counts"
    passed=$((passed + arm_passed))
    failed=$((failed + arm_failed))
    skipped=$((skipped + arm_skipped))
  else
    echo "test.sh: no summary from scripts/test-arm64.sh (exit $arm64_status)"
    failed=$((failed + 1))
  fi
fi

phase ""
echo "test.sh: $passed passed, $failed failed, $skipped skipped in $SECONDS s$not_run"
[ "$failed" -eq 0 ]
