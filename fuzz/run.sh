#!/usr/bin/env bash
# Runs each fuzz target for the given number of seconds, keeping its corpus in the build folder.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-120}
here=$(cd "$(dirname "$0")" && pwd)
for source in "$here"/*_fuzz.cpp; do
  target=$(basename "$source" .cpp)
  corpus="$build/corpus-$target"
  mkdir -p "$corpus"
  cp -n "$here"/seeds/"$target"/* "$corpus"/ 2>/dev/null || true
  echo "== $target for ${seconds}s"
  "$build/$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -detect_leaks=1 "$corpus" 2>&1 | tail -n 12
done
