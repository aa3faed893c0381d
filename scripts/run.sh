#!/usr/bin/env bash
# Starts the window. The desktop window arrives with its own change; until then this says so.
set -euo pipefail
build=${1:-build}
if [ -x "$build/vorlin" ]; then
  exec "$build/vorlin" "${@:2}"
fi
echo "The desktop window is not built yet; vorlin-cli is ready: $build/vorlin-cli --help"
"$build/vorlin-cli" --help
