#!/usr/bin/env bash
# Loading a store of 200,000 messages: time against `xmllint --stream --noout` on the same
# wrapped text, and peak resident memory against the store's size. Best of RUNS runs each,
# alternating, so both see the same machine.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
data="$build/bench-data"
count=${BENCH_MESSAGES:-200000}
runs=${BENCH_RUNS:-3}
mkdir -p "$data"
store="$data/store-$count.rss"
wrapped="$data/store-$count.xml"
if [ ! -s "$store" ]; then
  python3 "$here/corpus.py" store "$store" "$count" --channels 300 --seed 1
fi
if [ ! -s "$wrapped" ]; then
  { printf '<?xml version="1.0" encoding="windows-1251"?><rss><channel>'; cat "$store"
    printf '</channel></rss>'; } > "$wrapped"
fi
size=$(stat -c %s "$store")

# measure CMD...: prints "seconds peak_kb" of one run.
measure() {
  /usr/bin/time -f '%e %M' -o "$data/time.out" "$@" > /dev/null
  cat "$data/time.out"
}

best_ref=""; best_load=""; peak=""
for _ in $(seq "$runs"); do
  read -r t _ < <(measure xmllint --stream --noout "$wrapped")
  best_ref=$(python3 -c "print(min(float('$t'), float('${best_ref:-1e9}')))")
  read -r t m < <(measure "$build/vorlin-cli" census "$store")
  best_load=$(python3 -c "print(min(float('$t'), float('${best_load:-1e9}')))")
  peak=$(python3 -c "print(max(int('$m'), int('${peak:-0}')))")
done

python3 - "$count" "$size" "$best_ref" "$best_load" "$peak" <<'PY'
import sys
count, size, ref, load, peak_kb = int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4]), int(sys.argv[5])
peak = peak_kb * 1024
print(f"store: {count} messages, {size / 1e6:.1f} MB")
print(f"xmllint --stream --noout: {ref:.2f} s")
print(f"vorlin-cli census (load + census): {load:.2f} s  ratio {load / ref:.2f} (target <= 1.5)")
print(f"peak resident memory: {peak / 1e6:.1f} MB  ratio to store size {peak / size:.2f} (target <= 1.5)")
PY
