#!/usr/bin/env bash
# A second run of the same batch: 100 feeds of 50 KB from a local server that answers each after
# 0.1 s over 10 loopback hosts, first with no validators kept (every feed downloaded), then again
# with the validators the first run kept, which the server answers with 304. Time of each
# `vorlin-cli download --all --parallel 4` (best of RUNS) and the bytes each run writes (files
# in the download folder, the rewritten list and its side file).
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
feeds=${BENCH_FEEDS:-100}
hosts=${BENCH_HOSTS:-10}
delay=${BENCH_DELAY_MS:-100}
size=${BENCH_FEED_BYTES:-50000}
runs=${BENCH_RUNS:-3}
source "$here/feed_server.sh"

list="$work/list.RssUrl"
printf 'h;\r\n' > "$list"
for i in $(seq "$feeds"); do
  printf 'http://127.0.0.%d:%d/cond/%d/%d/f%d;;;;;;\r\n' \
    $(( (i - 1) % hosts + 1 )) "$port" "$delay" "$size" "$i" >> "$list"
done

seconds() { date +%s.%N; }
best() { python3 -c "print(min($1, ${2:-1e9}))"; }
bytes() { cat "$@" 2>/dev/null | wc -c; }
# One batch into folder $1; prints its seconds, then the bytes it wrote.
batch() {
  local folder="$work/$1" t0 t1
  rm -rf "$folder"; mkdir -p "$folder"
  t0=$(seconds)
  "$build/vorlin-cli" download "$work/run.RssUrl" --folder "$folder" --all --parallel 4 \
    > "$work/$1.log"
  t1=$(seconds)
  echo "$(python3 -c "print($t1 - $t0)")" "$(bytes "$folder"/* "$work/run.RssUrl" "$work/run.RssUrl.validators")"
}
best_full=""; best_again=""
for _ in $(seq "$runs"); do
  cp "$list" "$work/run.RssUrl"; rm -f "$work/run.RssUrl.validators"
  read -r t_full full_bytes < <(batch full)
  best_full=$(best "$t_full" "$best_full")
  read -r t_again again_bytes < <(batch again)
  best_again=$(best "$t_again" "$best_again")
done
stored=$(ls "$work/full" | wc -l)
unchanged=$(grep -c 'not modified' "$work/again.log" || true)
echo "batch: $feeds feeds of $size bytes over $hosts hosts, each answered after $delay ms"
python3 -c "
f, a = $best_full, $best_again
print(f'first run (no validators): {f:.2f} s, $stored files stored, $full_bytes bytes written')
print(f'second run (validators sent, 304): {a:.2f} s  ratio {a / f:.2f}, $unchanged not modified,'
      f' $(ls "$work/again" | wc -l) files stored, $again_bytes bytes written'
      f' ({$again_bytes / $full_bytes:.4f} of the first)')"
