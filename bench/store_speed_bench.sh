#!/usr/bin/env bash
# The speed of opening and searching a store, each against its reference in the same run
# (best of BENCH_RUNS, warm page cache):
#  1. `vorlin-cli census` of a 1,000,000-message store against `wc -l`; peak memory against
#     the store's size;
#  2. `vorlin-cli search STORE --description нефть --count` over 200,000 messages, end to end,
#     against `LC_ALL=C grep -c -F -i` of the word;
#  3. the removal of the found messages (`export … --as store --out … --delete`) beyond the load,
#     against `cp` of the store followed by `sync`;
#  4. the window started with the 1,000,000-message store: its first event-loop turn, the moment
#     the store is in its lists, and the longest the event loop was kept waiting in between;
#     the same window without a store for comparison.
# BENCH_BEFORE=path/to/vorlin-cli of an older build adds its figures for goals 1 and 2.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
data="$build/bench-data"
runs=${BENCH_RUNS:-3}
mkdir -p "$data"
big="$data/store-1000000-1000.rss"
small="$data/store-200000.rss"
[ -s "$big" ] || python3 "$here/corpus.py" store "$big" 1000000 --channels 1000 --seed 1
[ -s "$small" ] || python3 "$here/corpus.py" store "$small" 200000 --channels 300 --seed 1
cli="$build/vorlin-cli"
before=${BENCH_BEFORE:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
word=$(printf 'нефть' | iconv -f UTF-8 -t CP1251)
# The index beside the big store, as the program keeps it (the window reads it at start-up).
[ -s "${big%.rss}.BCRC32" ] || "$cli" rebuild-index "$big" > /dev/null
cat "$big" "$small" > /dev/null

# measure CMD...: "seconds peak_kb" of one run.
measure() {
  # (to a file: grep stops at its first match when its output is /dev/null)
  /usr/bin/time -f '%e %M' -o "$work/time.out" "$@" > "$work/out.txt" 2> /dev/null
  cat "$work/time.out"
}
best() { python3 -c "import sys; print(min(float(x) for x in sys.argv[1:]))" "$@"; }
most() { python3 -c "import sys; print(max(float(x) for x in sys.argv[1:]))" "$@"; }

wc_t=(); census_t=(); census_m=(); grep_t=(); search_t=(); cp_t=(); beyond_t=()
before_census=(); before_search=()
for _ in $(seq "$runs"); do
  read -r t _ < <(measure wc -l "$big"); wc_t+=("$t")
  read -r t m < <(measure "$cli" census "$big"); census_t+=("$t"); census_m+=("$m")
  read -r t _ < <(measure env LC_ALL=C grep -c -F -i "$word" "$small"); grep_t+=("$t")
  read -r t _ < <(measure "$cli" search "$small" --description нефть --count); search_t+=("$t")
  if [ -n "$before" ]; then
    read -r t _ < <(measure "$before" census "$big"); before_census+=("$t")
    read -r t _ < <(measure "$before" search "$small" --description нефть --count)
    before_search+=("$t")
  fi
  # Goal 3 on a copy that has its index and state, as the program leaves a store.
  rm -f "$work"/s.* "$work"/out.*
  cp "$small" "$work/s.rss"
  "$cli" rebuild-index "$work/s.rss" > /dev/null
  sync
  start=$(date +%s.%N); cp "$small" "$work/copy.rss"; sync; end=$(date +%s.%N)
  cp_t+=("$(python3 -c "print($end - $start)")"); rm -f "$work/copy.rss"; sync
  line=$("$cli" export "$work/s.rss" --description нефть --as store --out "$work/out.rss" \
           --delete --timing 2>&1 > /dev/null | sed -n 's/^timing //p')
  beyond_t+=("$(echo "$line" | awk '{print $4 + $6 + $8}')")
  found=$(grep -c '<item>' "$work/out.rss")
done

window=""; empty=""
if command -v xvfb-run > /dev/null; then
  for _ in $(seq "$runs"); do
    rm -rf "$work/config"; mkdir -p "$work/config"
    window+=$(VORLIN_TIMING=1 xvfb-run -a -s "-screen 0 1400x900x24" "$build/vorlin" \
                --config-dir "$work/config" --store "$big" --screenshot "$work/shot.png" \
                --screenshot-delay-ms 6000 2>&1 > /dev/null | sed -n 's/^timing //p' | tr '\n' ' ')
    window+=$'\n'
    rm -rf "$work/config"; mkdir -p "$work/config"
    empty+=$(VORLIN_TIMING=1 xvfb-run -a -s "-screen 0 1400x900x24" "$build/vorlin" \
               --config-dir "$work/config" --store "$work/none.rss" --screenshot "$work/shot.png" \
               --screenshot-delay-ms 500 2>&1 > /dev/null | sed -n 's/^timing start-up //p')
    empty+=" "
  done
fi

python3 - "$(stat -c %s "$big")" "$(stat -c %s "$small")" "$found" \
  "$(best "${wc_t[@]}")" "$(best "${census_t[@]}")" "$(most "${census_m[@]}")" \
  "$(best "${grep_t[@]}")" "$(best "${search_t[@]}")" "$(best "${cp_t[@]}")" \
  "$(best "${beyond_t[@]}")" "${before_census[*]:-}" "${before_search[*]:-}" "$window" \
  "$empty" <<'PY'
import sys
a = sys.argv[1:]
big, small, found = int(a[0]), int(a[1]), int(a[2])
wc, census, peak, grep, search, cp, beyond = (float(x) for x in a[3:10])
print(f"stores: 1,000,000 messages {big / 1e6:.0f} MB; 200,000 messages {small / 1e6:.0f} MB")
print(f"wc -l: {wc:.2f} s ({big / wc / 1e9:.2f} GB/s)")
print(f"1. census, 1,000,000 messages: {census:.2f} s  ratio {census / wc:.2f} x wc -l (target <= 5);"
      f" peak memory {peak * 1024 / 1e6:.0f} MB  ratio {peak * 1024 / big:.3f} x store (target <= 1.1)")
print(f"2. search --description нефть --count, 200,000 messages: {search:.2f} s  ratio"
      f" {search / grep:.2f} x grep -c -F -i ({grep:.2f} s; target <= 6)")
print(f"3. removal of {found} of 200,000 messages beyond the load: {beyond:.2f} s  ratio"
      f" {beyond / cp:.2f} x cp + sync ({cp:.2f} s; target <= 2)")
if a[10]:
    bc = min(float(x) for x in a[10].split())
    bs = min(float(x) for x in a[11].split())
    print(f"   before: census {bc:.2f} s ({bc / wc:.1f} x wc -l), search {bs:.2f} s"
          f" ({bs / grep:.1f} x grep)")
runs = [dict(zip(l.split()[0::2], map(float, l.split()[1::2]))) for l in a[12].splitlines() if l.strip()]
if runs:
    start = min(r["start-up"] for r in runs)
    shown = min(r["start-up"] - r["shown"] for r in runs)
    loaded = min(r["store-loaded"] - r["start-up"] for r in runs)
    stall = max(r["longest-stall"] for r in runs)
    empty = min(float(x) for x in a[13].split())
    print(f"4. window with the 1,000,000-message store: first turn {start:.2f} s after process start"
          f" (without a store {empty:.2f} s), {shown:.2f} s after it is shown; store in the lists"
          f" {loaded:.2f} s later"
          f" ({loaded / wc:.2f} x wc -l); longest event-loop stall {stall:.3f} s (target: usable"
          f" within 0.5 s)")
PY
