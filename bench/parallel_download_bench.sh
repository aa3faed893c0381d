#!/usr/bin/env bash
# A batch of 100 feeds from a local server that answers each after 0.1 s, spread over 10
# loopback hosts: `vorlin-cli download --all` (4 transfers at once, at most 2 per host) against
# `curl --parallel --parallel-max 4` fetching the same URLs (best of RUNS, alternating).
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
feeds=${BENCH_FEEDS:-100}
hosts=${BENCH_HOSTS:-10}
delay=${BENCH_DELAY_MS:-100}
runs=${BENCH_RUNS:-3}
source "$here/feed_server.sh"

list="$work/list.RssUrl"
printf 'h;\r\n' > "$list"
: > "$work/curl.cfg"
for i in $(seq "$feeds"); do
  url="http://127.0.0.$(( (i - 1) % hosts + 1 )):$port/delay/$delay/$i"
  printf '%s;;;;;;\r\n' "$url" >> "$list"
  printf 'url = "%s"\noutput = "%s/curl/%d.xml"\n' "$url" "$work" "$i" >> "$work/curl.cfg"
done

seconds() { date +%s.%N; }
best() { python3 -c "print(min($1, ${2:-1e9}))"; }
best_curl=""; best_vorlin=""; best_one=""
for _ in $(seq "$runs"); do
  rm -rf "$work/curl" "$work/vorlin" "$work/one"; mkdir -p "$work/curl" "$work/vorlin" "$work/one"
  t0=$(seconds); curl -s --parallel --parallel-max 4 -K "$work/curl.cfg" 2>/dev/null; t1=$(seconds)
  best_curl=$(best "$t1 - $t0" "$best_curl")
  cp "$list" "$work/run.RssUrl"
  t0=$(seconds)
  "$build/vorlin-cli" download "$work/run.RssUrl" --folder "$work/vorlin" --all --parallel 4 > /dev/null
  t1=$(seconds)
  best_vorlin=$(best "$t1 - $t0" "$best_vorlin")
  cp "$list" "$work/run.RssUrl"
  t0=$(seconds)
  "$build/vorlin-cli" download "$work/run.RssUrl" --folder "$work/one" --all --parallel 1 > /dev/null
  t1=$(seconds)
  best_one=$(best "$t1 - $t0" "$best_one")
done
echo "batch: $feeds feeds over $hosts hosts, each answered after $delay ms" \
  "($(ls "$work/vorlin" | wc -l) stored, curl $(ls "$work/curl" | wc -l))"
python3 -c "
c, v, o = $best_curl, $best_vorlin, $best_one
print(f'curl --parallel --parallel-max 4: {c:.2f} s')
print(f'vorlin-cli download --all --parallel 4: {v:.2f} s  ratio {v / c:.2f} (target <= 1.3)')
print(f'vorlin-cli download --all --parallel 1: {o:.2f} s  ratio {o / c:.2f}')"
