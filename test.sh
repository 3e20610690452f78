#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (headless: SDL's
# offscreen video driver on Mesa's llvmpipe, and the dummy audio driver).
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
cd "$LUMIVANE_BUILD"
ctest --output-on-failure -j"$(nproc)" "$@"
