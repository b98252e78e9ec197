#!/usr/bin/env bash
# Installs the Debian 12 packages Keymora builds, tests and runs with (as root); quiet when all
# are present already. musescore3 and lilypond (musicxml2ly) open the pad's MusicXML export in the
# tests.
set -euo pipefail
packages=(build-essential cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libqt6opengl6-dev qt6-tools-dev qt6-tools-dev-tools libqt6uitools6 libgl-dev fonts-liberation xvfb xauth
  qt6-declarative-dev qt6-declarative-dev-tools qml6-module-qtquick qml6-module-qttest
  qml6-module-qtquick-window qml6-module-qtqml-workerscript
  libfluidsynth-dev fluid-soundfont-gm librtmidi-dev libjack-jackd2-dev jackd2
  clang libclang-rt-14-dev valgrind doxygen musescore3 lilypond desktop-file-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  # jackd2 asks whether to let users run JACK with realtime priority: answered no beforehand, so
  # that the install asks nothing (the tests start jackd as the user they run as).
  echo "jackd2 jackd/tweak_rt_limits boolean false" | $SUDO debconf-set-selections
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
