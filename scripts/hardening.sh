#!/usr/bin/env bash
# The hardening checks: everything that has tests (the core, the Qt binding and its canvas,
# accessibility, the Designer plugin, the pad) built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, Qt's own libraries uninstrumented, and its tests run offscreen; each
# fuzzer for a bounded time on its committed corpus; valgrind memcheck over the unit tests.
# Called by scripts/test.sh; FUZZ_SECONDS sets the time per fuzzer, WIDGET_FUZZ_RUNS the inputs of
# the widget fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
build=$(realpath -m "${KEYMORA_SANITIZE_DIR:-build-sanitize}")
seconds=${FUZZ_SECONDS:-60}
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKEYMORA_WITH_QT=ON -DKEYMORA_SANITIZE=ON -DKEYMORA_BUILD_FUZZERS=ON -DKEYMORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
echo "== tests under ASan + UBSan ($((SECONDS - start)) s so far)"
# Leaks fail the run; tests/lsan.supp names the few that Qt and fontconfig keep on purpose.
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1
# Left out: the golden paint scripts (their pixels are the normal build's) and the package test,
# which builds a consumer with the default compiler against the installed libraries; instrumented
# ones would need the consumer linked with the sanitizer runtimes, and what it checks (install
# layout, CMake package, pkg-config) does not depend on instrumentation. It runs in the full suite.
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" \
  -E '^(golden\..*paint|package\.)')
echo "== fuzzers, ${seconds} s each ($((SECONDS - start)) s so far)"
for fuzzer in "$build"/fuzz/*_fuzzer; do
  name=$(basename "$fuzzer" _fuzzer)
  work=$(mktemp -d)
  cp -r "fuzz/corpus/$name/." "$work/"
  # A fixed seed, so that a run here finds what a run elsewhere finds. The widget fuzzer is slow
  # (a dozen inputs a second: two full paints and the accessible tree each step): it runs a fixed
  # number of inputs instead of a time, so that its run does not depend on the machine's speed.
  limit=(-max_total_time="$seconds")
  [ "$name" = widget ] && limit=(-runs="${WIDGET_FUZZ_RUNS:-600}")
  if ! (cd "$work" && QT_QPA_PLATFORM=offscreen "$fuzzer" "${limit[@]}" -seed=1 -max_len=4096 \
        -print_final_stats=1 . >"$work/fuzz.log" 2>&1); then
    tail -n 40 "$work/fuzz.log"
    echo "fuzzer $name failed: see $work"
    exit 1
  fi
  echo "$name: $(grep -o 'number_of_executed_units: *[0-9]*' "$work/fuzz.log" | grep -o '[0-9]*$') runs," \
    "$(grep -o 'average_exec_per_sec: *[0-9]*' "$work/fuzz.log" | grep -o '[0-9]*$') per second, no finding"
  rm -rf "$work"
done
echo "== valgrind memcheck over the unit tests ($((SECONDS - start)) s so far)"
valgrind_build=${KEYMORA_BUILD_DIR:-build}
valgrind --quiet --error-exitcode=3 --show-mismatched-frees=no --suppressions=tests/valgrind.supp --leak-check=full --errors-for-leak-kinds=definite,indirect \
  "$valgrind_build/tests/keymora_unit_tests" --gtest_brief=1 >/dev/null
echo "valgrind: no errors, no leaks"
echo "== hardening took $((SECONDS - start)) s"
