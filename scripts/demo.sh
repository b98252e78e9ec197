#!/usr/bin/env bash
# The main job: builds the Keymora Pad. Without a display it plays a sample melody through the
# pad's keyboard (PC keys, clicks on keys and on the duration row, a rest with Space), prints
# what happens and the entered notes, saves them as a MusicXML document, opens that again, and
# writes the notes as a MIDI file and a screenshot of the pad with its staff; with a display it
# opens the pad.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
./scripts/install-deps.sh
build=${KEYMORA_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target keymora-pad >/dev/null
pad="$root/$build/examples/pad/keymora-pad"
[[ "$build" = /* ]] && pad="$build/examples/pad/keymora-pad"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$pad"
fi
# A fresh settings folder, so the session is the same on every machine and the user's own
# settings are left alone.
out=$(dirname "$pad")/demo
mkdir -p "$out"
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
cd "$out"
status=0
"$pad" --config "$config" --script "$root/examples/pad/sample-melody.kms" || status=$?
echo "MusicXML document: $out/sample-melody.musicxml"
echo "MIDI file: $out/sample-melody.mid"
echo "screenshot: $out/sample-melody.png"
exit "$status"
