#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks and builds Lumivane into build/.
# Sourced by play.sh and test.sh; safe to run again (only missing packages are
# installed, and make rebuilds only what changed).
set -euo pipefail

LUMIVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
LUMIVANE_BUILD=${LUMIVANE_BUILD:-$LUMIVANE_ROOT/build}

packages=(
  build-essential cmake pkg-config
  libsdl2-dev libepoxy-dev libegl-mesa0 libgl1-mesa-dri
  libassimp-dev libvorbis-dev libopenmpt-dev libkissfft-dev
  libfreetype-dev fonts-liberation libpng-dev libstb-dev libimgui-dev
  libgtest-dev libbenchmark-dev
  ffmpeg xvfb xauth xdotool libx11-dev
  # The sanitizer build and the fuzzers (scripts/sanitize.sh, scripts/fuzz.sh).
  clang-14 libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$LUMIVANE_ROOT" -B "$LUMIVANE_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$LUMIVANE_BUILD" -j"$(nproc)"
