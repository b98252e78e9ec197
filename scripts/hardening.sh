#!/usr/bin/env bash
# The hardening checks: the core's tests under AddressSanitizer and UndefinedBehaviorSanitizer
# (clang, no Qt), each fuzzer for a bounded time on its committed corpus, and valgrind memcheck
# over the unit tests. Called by scripts/test.sh; FUZZ_SECONDS sets the time per fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath -m "${KEYMORA_SANITIZE_DIR:-build-sanitize}")
seconds=${FUZZ_SECONDS:-60}
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKEYMORA_WITH_QT=OFF -DKEYMORA_SANITIZE=ON -DKEYMORA_BUILD_FUZZERS=ON -DKEYMORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
echo "== unit tests under ASan + UBSan"
(cd "$build" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j"$(nproc)" -E '^(golden\..*paint|package\.)')
echo "== fuzzers, ${seconds} s each"
for fuzzer in "$build"/fuzz/*_fuzzer; do
  name=$(basename "$fuzzer" _fuzzer)
  work=$(mktemp -d)
  cp -r "fuzz/corpus/$name/." "$work/"
  if ! (cd "$work" && "$fuzzer" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 . \
        >"$work/fuzz.log" 2>&1); then
    tail -n 40 "$work/fuzz.log"
    echo "fuzzer $name failed: see $work"
    exit 1
  fi
  echo "$name: $(grep -o 'number_of_executed_units: *[0-9]*' "$work/fuzz.log" | grep -o '[0-9]*$') runs, no finding"
  rm -rf "$work"
done
echo "== valgrind memcheck over the unit tests"
valgrind_build=${KEYMORA_BUILD_DIR:-build}
valgrind --quiet --error-exitcode=3 --show-mismatched-frees=no --suppressions=tests/valgrind.supp --leak-check=full --errors-for-leak-kinds=definite,indirect \
  "$valgrind_build/tests/keymora_unit_tests" --gtest_brief=1 >/dev/null
echo "valgrind: no errors, no leaks"
