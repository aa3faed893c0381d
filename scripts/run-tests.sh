#!/usr/bin/env bash
# Runs every test of a build folder under CTest, with an audio sink and no display.
set -euo pipefail
build=${1:-build}
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/vorlin-runtime-$(id -u)}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# A null sink gives the audio tests a real output device; tests pass without one too.
if command -v pulseaudio >/dev/null && ! pulseaudio --check 2>/dev/null; then
  pulseaudio -D --exit-idle-time=-1 -n --load=module-null-sink \
    --load=module-native-protocol-unix >/dev/null 2>&1 || true
fi
cd "$build"
ctest --output-on-failure -j2 --timeout 600
