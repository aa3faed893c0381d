#!/usr/bin/env bash
# Starts the window (`make run` builds it first). Without a display the window runs under
# xvfb-run just long enough to save a screenshot, whose path is printed; then it exits 0.
# Usage: scripts/run.sh [build folder] [options of vorlin...]
set -euo pipefail
build=${1:-build}
shift || true
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  shot=${VORLIN_SCREENSHOT:-$PWD/vorlin-screenshot.png}
  echo "No display found: running the window under xvfb-run to save a screenshot."
  xvfb-run -a -s "-screen 0 1024x768x24" "$build/vorlin" "$@" \
    --screenshot "$shot" --screenshot-delay-ms 1000 2>/dev/null
  echo "Screenshot: $shot"
  exit 0
fi
exec "$build/vorlin" "$@"
