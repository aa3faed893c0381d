#!/usr/bin/env bash
# The long kill hunt: `vorlin-cli ingest` killed with SIGKILL at 200 random moments of its run,
# and the files written at shutdown killed 200 times while being replaced (`make test` runs a
# dozen of each). Prints where the kills landed.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
trials=${CRASH_TRIALS:-200}
VORLIN_CRASH_TRIALS=$trials "$build/tests/ingest/ingest_tests" \
  --gtest_filter='IngestKillTest.*:ShutdownFilesKillTest.*' | grep -E '^(crash seed|kills:|\[  )'
