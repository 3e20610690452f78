#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (headless: SDL's
# offscreen video driver on Mesa's llvmpipe, and the dummy audio driver).
# Then it builds the sanitizer build (build-asan/) and runs every test and
# the whole show once more under AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer, where any report fails the test that met it.
# Arguments go to both ctest runs (for example -R Tweaks).
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
(cd "$LUMIVANE_BUILD" && ctest --output-on-failure -j"$(nproc)" "$@")
source "$LUMIVANE_ROOT/scripts/sanitize.sh"
cd "$LUMIVANE_ASAN_BUILD"
ctest --output-on-failure -j"$(nproc)" "$@"
