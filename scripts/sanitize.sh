#!/usr/bin/env bash
# Builds the sanitizer build into build-asan/: the show and its tests compiled
# by clang with AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer.
# It embeds the art and music that build/ generated instead of generating
# them again, and leaves out the benchmarks. Sourced by test.sh after
# setup.sh (which installs clang and builds build/); safe to run again.
set -euo pipefail

LUMIVANE_ROOT=${LUMIVANE_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
LUMIVANE_BUILD=${LUMIVANE_BUILD:-$LUMIVANE_ROOT/build}
LUMIVANE_ASAN_BUILD=${LUMIVANE_ASAN_BUILD:-$LUMIVANE_ROOT/build-asan}

cmake -S "$LUMIVANE_ROOT" -B "$LUMIVANE_ASAN_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DLUMIVANE_SANITIZE=ON -DLUMIVANE_BENCHMARKS=OFF -DLUMIVANE_PREBUILT="$LUMIVANE_BUILD" >/dev/null
cmake --build "$LUMIVANE_ASAN_BUILD" -j"$(nproc)"
