#!/usr/bin/env bash
# Installs what is missing, builds, and plays the show: in a window when a
# display exists, otherwise captured to lumivane.mp4 with a progress bar.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
cd "$LUMIVANE_ROOT"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$LUMIVANE_BUILD/lumivane" "$@"
fi
echo "No display found: capturing the show to lumivane.mp4"
exec "$LUMIVANE_BUILD/lumivane" --capture lumivane.mp4 "$@"
