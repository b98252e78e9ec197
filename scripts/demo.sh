#!/usr/bin/env bash
# The main job: builds the Keymora Pad. Without a display it plays a sample melody through the
# pad's keyboard (PC keys, clicks on keys and on the duration row, a rest with Space), prints
# what happens and the entered notes (a wrong note fixed on the way), saves them as a MusicXML
# document, opens that again, writes the notes as a MIDI file and a screenshot of the pad with
# its staff, and plays the first bar back; a second run restores the notes the first left unsaved,
# and MuseScore engraves the document. With a display it opens the pad.
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
# The first run ended like a crash, with two notes unsaved: a second run restores them.
echo "== a second run restores what the first left unsaved"
"$pad" --config "$config" --restore --script "$root/examples/pad/restore.kms" || status=$?
# A notation program reads the document: MuseScore engraves it, when it is installed.
if command -v mscore3 >/dev/null 2>&1; then
  if HOME="$config" QT_QPA_PLATFORM=offscreen timeout 120 mscore3 -o sample-melody-musescore.png \
      sample-melody.musicxml >/dev/null 2>&1; then
    echo "engraved by MuseScore: $out/sample-melody-musescore-1.png"
  else
    echo "MuseScore could not engrave sample-melody.musicxml here"
  fi
fi
echo "MusicXML document: $out/sample-melody.musicxml"
echo "MIDI file: $out/sample-melody.mid"
echo "screenshot: $out/sample-melody.png"
exit "$status"
