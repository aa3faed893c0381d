#!/usr/bin/env bash
# Runs every benchmark script of this folder (bench/*_bench.sh) against a build folder.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
cd "$(dirname "$0")"
for b in ./*_bench.sh; do
  echo "== $b"
  bash "$b" "$build"
done
