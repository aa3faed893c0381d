#!/usr/bin/env bash
# A batch of 200 feeds of 100 KB from a local server: `vorlin-cli download --all --parallel 1` against `curl`
# fetching the same URLs one after another in one process (best of RUNS, alternating), and the
# longest stall of the window's event loop while the window runs the same batch.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
feeds=${BENCH_FEEDS:-200}
size=${BENCH_FEED_BYTES:-102400}
runs=${BENCH_RUNS:-3}
work=$(mktemp -d)
server_out="$work/server.out"
python3 "$here/../tests/download/feed_server.py" > "$server_out" 2>/dev/null &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do grep -q '^http ' "$server_out" && break; sleep 0.1; done
port=$(awk '/^http /{print $2}' "$server_out")
export LC_ALL=C no_proxy=127.0.0.1 NO_PROXY=127.0.0.1

list="$work/list.RssUrl"
printf 'h;\r\n' > "$list"
: > "$work/curl.cfg"
for i in $(seq "$feeds"); do
  url="http://127.0.0.1:$port/size/$size/$i"
  printf '%s;;;;;;\r\n' "$url" >> "$list"
  printf 'url = "%s"\noutput = "%s/curl/%d.xml"\n' "$url" "$work" "$i" >> "$work/curl.cfg"
done

seconds() { python3 -c 'import time; print(time.monotonic())'; }
best_curl=""; best_vorlin=""
for _ in $(seq "$runs"); do
  rm -rf "$work/curl" "$work/vorlin"; mkdir -p "$work/curl" "$work/vorlin"
  t0=$(seconds); curl -s -K "$work/curl.cfg"; t1=$(seconds)
  best_curl=$(python3 -c "print(min($t1 - $t0, ${best_curl:-1e9}))")
  cp "$list" "$work/run.RssUrl"
  t0=$(seconds); "$build/vorlin-cli" download "$work/run.RssUrl" --folder "$work/vorlin" --all --parallel 1 > /dev/null; t1=$(seconds)
  best_vorlin=$(python3 -c "print(min($t1 - $t0, ${best_vorlin:-1e9}))")
done
got=$(ls "$work/vorlin" | wc -l)
echo "batch: $feeds feeds of $size bytes ($got stored)"
python3 -c "print(f'curl, one process: {$best_curl:.2f} s'); print(f'vorlin-cli download --all --parallel 1: {$best_vorlin:.2f} s  ratio {$best_vorlin / $best_curl:.2f} (target <= 1.2)')"

if [ -x "$build/download_stall_bench" ]; then
  rm -rf "$work/window"; mkdir -p "$work/window/down"
  cp "$list" "$work/window/DLFiles.txt"
  QT_QPA_PLATFORM=offscreen "$build/download_stall_bench" "$work/window" "$work/window/down"
fi
