#!/usr/bin/env bash
# Starts the window (`make run` builds it first). Without a display it first ingests a copy of
# the sample feeds into a demo store (printing the ingestion log and the census), then runs
# the window on that store under xvfb-run just long enough to save a screenshot of the loaded
# channels, prints the screenshot's path and exits 0.
# Usage: scripts/run.sh [build folder] [options of vorlin...]
# Environment: VORLIN_DEMO_DIR (default: <build folder>/demo), VORLIN_SCREENSHOT (default:
# <build folder>/vorlin-screenshot.png).
set -euo pipefail
build=${1:-build}
shift || true
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  demo=${VORLIN_DEMO_DIR:-$build/demo}
  mkdir -p "$demo"
  demo=$(cd "$demo" && pwd)
  shot=${VORLIN_SCREENSHOT:-$(cd "$build" && pwd)/vorlin-screenshot.png}
  echo "No display found: ingesting the sample feeds into a demo store in $demo."
  "$build/vorlin-cli" demo --keep "$demo"
  # The demo wrote the settings of that store; open the reading page on its search sub-page,
  # where the loaded channels are listed.
  printf 'PageControlRead.TabIndex=0\r\n' >>"$demo/OpsRss.txt"
  echo "Running the window on the demo store under xvfb-run to save a screenshot."
  xvfb-run -a -s "-screen 0 1024x768x24" "$build/vorlin" --config-dir "$demo" --load \
    --page 1 "$@" --screenshot "$shot" --screenshot-delay-ms 1500 2>/dev/null
  echo "Screenshot: $shot"
  exit 0
fi
exec "$build/vorlin" "$@"
