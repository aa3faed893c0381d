#!/usr/bin/env bash
# Ingestion benchmark (see ingest_bench.py); $1 is the build folder. FILES and STORE_MESSAGES
# shrink it for a quick look.
set -euo pipefail
build=$(cd "${1:-../build}" && pwd)
cd "$(dirname "$0")"
python3 ingest_bench.py "$build" --files "${FILES:-5000}" --store-messages "${STORE_MESSAGES:-200000}"
