#!/usr/bin/env bash
# Loading and re-indexing a store of BENCH_MESSAGES messages (default 200,000; 1,000 channels
# from 1,000,000 up, else 300), all measured in one run, best of BENCH_RUNS alternating runs:
#  - load + census (`vorlin-cli census`) against `wc -l` over the same file, fast path and XML
#    walk (VORLIN_NO_FAST_LOAD=1);
#  - peak resident memory of each against the store's size;
#  - `vorlin-cli rebuild-index` against the load;
#  - the window's start-up to its first event-loop turn with the store's full index
#    (VORLIN_TIMING=1 under xvfb-run), messages not loaded.
# The store is generated once into BUILD/bench-data.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
data="$build/bench-data"
count=${BENCH_MESSAGES:-200000}
runs=${BENCH_RUNS:-3}
channels=${BENCH_CHANNELS:-$([ "$count" -ge 1000000 ] && echo 1000 || echo 300)}
mkdir -p "$data"
store="$data/store-$count.rss"
if [ "$channels" != 300 ]; then store="$data/store-$count-$channels.rss"; fi
if [ ! -s "$store" ]; then
  start=$(date +%s.%N)
  python3 "$here/corpus.py" store "$store.part" "$count" --channels "$channels" --seed 1
  mv "$store.part" "$store"
  echo "generated $store in $(python3 -c "print(f'{$(date +%s.%N) - $start:.0f}')") s"
else
  echo "reusing $store"
fi
size=$(stat -c %s "$store")
cli="$build/vorlin-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# measure CMD...: prints "seconds peak_kb cpu_seconds" of one run.
measure() {
  /usr/bin/time -f '%e %M %U %S' -o "$work/time.out" "$@" > /dev/null
  read -r e m u s < "$work/time.out"
  echo "$e $m $(python3 -c "print($u + $s)")"
}
min() { python3 -c "print(min(float('$1'), float('${2:-1e9}')))"; }
max() { python3 -c "print(max(float('$1'), float('${2:-0}')))"; }

wc_t=""; wc_c=""; fast_t=""; fast_c=""; fast_m=""; walk_t=""; walk_m=""; rfast_t=""; rwalk_t=""
for _ in $(seq "$runs"); do
  read -r t _ c < <(measure wc -l "$store"); wc_t=$(min "$t" "$wc_t"); wc_c=$(min "$c" "$wc_c")
  read -r t m c < <(measure "$cli" census "$store")
  fast_t=$(min "$t" "$fast_t"); fast_m=$(max "$m" "$fast_m"); fast_c=$(min "$c" "$fast_c")
  read -r t m _ < <(measure env VORLIN_NO_FAST_LOAD=1 "$cli" census "$store")
  walk_t=$(min "$t" "$walk_t"); walk_m=$(max "$m" "$walk_m")
  read -r t _ < <(measure "$cli" rebuild-index "$store"); rfast_t=$(min "$t" "$rfast_t")
  read -r t _ < <(measure env VORLIN_NO_FAST_LOAD=1 "$cli" rebuild-index "$store")
  rwalk_t=$(min "$t" "$rwalk_t")
done
keys=$(wc -l < "${store%.rss}.BCRC32")

# Start-up with the full index beside the store; the window closes after its first paint.
start_t=""
if command -v xvfb-run > /dev/null; then
  mkdir -p "$work/config"
  for _ in $(seq "$runs"); do
    t=$(VORLIN_TIMING=1 xvfb-run -a "$build/vorlin" --config-dir "$work/config" \
          --store "$store" --screenshot "$work/shot.png" --screenshot-delay-ms 0 \
          2>&1 >/dev/null | sed -n 's/^timing start-up //p')
    [ -n "$t" ] && start_t=$(min "$t" "$start_t")
  done
fi

python3 - "$count" "$channels" "$size" "$wc_t" "$fast_t" "$fast_m" "$walk_t" "$walk_m" \
  "$rfast_t" "$rwalk_t" "$keys" "${start_t:-nan}" "$wc_c" "$fast_c" <<'PY'
import sys
a = sys.argv[1:]
count, channels, size = int(a[0]), int(a[1]), int(a[2])
wc, fast, fast_m, walk, walk_m, rfast, rwalk = (float(x) for x in a[3:10])
keys, start, wc_c, fast_c = int(a[10]), float(a[11]), float(a[12]), float(a[13])
print(f"store: {count} messages in {channels} channels, {size / 1e6:.1f} MB")
print(f"wc -l: {wc:.2f} s ({wc_c:.2f} s of processor time)")
print(f"load + census, fast path: {fast:.2f} s  ratio {fast / wc:.2f} x wc -l (target <= 5);"
      f" {fast_c:.2f} s of processor time")
print(f"load + census, XML walk:  {walk:.2f} s  ratio {walk / wc:.2f} x wc -l")
print(f"peak memory, fast path: {fast_m * 1024 / 1e6:.1f} MB  ratio {fast_m * 1024 / size:.2f}"
      " x store (target <= 1.1)")
print(f"peak memory, XML walk:  {walk_m * 1024 / 1e6:.1f} MB  ratio {walk_m * 1024 / size:.2f}"
      " x store")
print(f"rebuild-index, fast path: {rfast:.2f} s  ratio {rfast / fast:.2f} x load (target <= 2)")
print(f"rebuild-index, XML walk:  {rwalk:.2f} s  ratio {rwalk / walk:.2f} x its load")
print(f"window start-up with {keys} keys: {start:.2f} s (target < 0.5)")
PY
