#!/usr/bin/env bash
# The sort of 200,000 found messages by channel and date (BENCH_MESSAGES for another count):
# the program's date reading against the reading it replaced, the same sort built around each,
# processor time of the sorting thread, seven alternating runs of each program (each its best of
# seven sorts).
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
count=${BENCH_MESSAGES:-200000}
now=1e9
before=1e9
for _ in 1 2 3 4 5 6 7; do
  n=$("$build/vorlin-date-sort-bench" "$count" | awk '/sort_seconds/ {print $2}')
  b=$("$build/vorlin-date-sort-bench-before" "$count" | awk '/sort_seconds/ {print $2}')
  now=$(python3 -c "print(min($now, $n))")
  before=$(python3 -c "print(min($before, $b))")
done
python3 - "$count" "$now" "$before" <<'PY'
import sys
count, now, before = int(sys.argv[1]), float(sys.argv[2]), float(sys.argv[3])
print(f"sort by channel and date of {count} messages: {now * 1000:.1f} ms with the date reading "
      f"of real feeds, {before * 1000:.1f} ms with the fixed-position reading before it: "
      f"ratio {now / before:.2f} (target <= 1)")
PY
