#!/usr/bin/env bash
# The main job: builds Keymora and plays a sample session through keymora-script.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build=${KEYMORA_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target keymora-script >/dev/null
QT_QPA_PLATFORM=offscreen "$build/tools/keymora-script/keymora-script" examples/sample-session.kms
