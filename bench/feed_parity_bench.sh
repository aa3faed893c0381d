#!/usr/bin/env bash
# Ingestion of Atom, RSS 1.0, RSS 0.9x and RSS 2.0 judged against feedparser on real-shaped
# feeds (see feed_parity.py); $1 is the build folder. FILES and ENTRIES change the corpus size,
# SHOW prints that many differences per family on stderr, STRICT=1 fails the run on a missed
# target.
set -euo pipefail
build=$(cd "${1:-../build}" && pwd)
cd "$(dirname "$0")"
# feedparser comes from the Debian package, so the system interpreter runs it.
"${PYTHON:-/usr/bin/python3}" feed_parity.py "$build" --files "${FILES:-40}" \
  --entries "${ENTRIES:-20}" --show "${SHOW:-0}" ${STRICT:+--strict}
