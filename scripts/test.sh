#!/usr/bin/env bash
# Installs what is missing, builds Keymora and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build=${KEYMORA_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"
# Sanitizers, fuzzers and valgrind first (KEYMORA_QUICK=1 skips them), the full suite last.
if [ "${KEYMORA_QUICK:-0}" != 1 ]; then
  KEYMORA_BUILD_DIR="$build" ./scripts/hardening.sh
fi
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
