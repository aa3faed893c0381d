#!/usr/bin/env bash
# Export and removal on a store of 200,000 messages (BENCH_MESSAGES): exporting every message
# into a new store, removing about half of them from a copy of the store, each against `cp` of
# the store file followed by flushing the copy to disk (both our writes are flushed); and
# exporting about 10,000 messages as HTML files.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
data="$build/bench-data"
count=${BENCH_MESSAGES:-200000}
mkdir -p "$data"
store="$data/store-$count.rss"
if [ ! -s "$store" ]; then
  python3 "$here/corpus.py" store "$store" "$count" --channels 300 --seed 1
fi
work="$data/export"
rm -rf "$work"; mkdir -p "$work"
cli="$build/vorlin-cli"
seconds() { python3 -c "import sys; print(f'{float(sys.argv[1]):.3f}')" "$1"; }
# The export and removal times come from --timing (the load and the search are not counted).
field() { sed -n "s/.* $1 \([0-9.]*\).*/\1/p" "$work/timing"; }

# The census lists channels in UTF-8; group files are Windows-1251.
"$cli" census "$store" | head -n -1 | iconv -f UTF-8 -t WINDOWS-1251 > "$work/channels"

start=$(date +%s.%N)
cp "$store" "$work/copy.rss"; sync "$work/copy.rss"
cp_time=$(python3 -c "import time,sys; print(time.time() - float(sys.argv[1]))" "$start")

"$cli" export "$store" --as store --out "$work/all.rss" --timing >/dev/null 2>"$work/timing"
export_all=$(field export)

# Every other channel: about half of the messages. The copy gets its index first, as a store
# in use has one.
awk 'NR % 2' "$work/channels" > "$work/half.myRSS"
"$cli" rebuild-index "$work/copy.rss" >/dev/null
"$cli" export "$work/copy.rss" --group "$work/half.myRSS" --as store --out "$work/half.rss" \
  --delete --timing >/dev/null 2>"$work/timing"
remove=$(field remove)
removed=$("$cli" census "$work/half.rss" | tail -n 1)
kept=$("$cli" census "$work/copy.rss" | tail -n 1)

# Fifteen channels: about 10,000 messages as HTML files.
sed -n 1,15p "$work/channels" > "$work/some.myRSS"
"$cli" export "$store" --group "$work/some.myRSS" --as html --out "$work/html" --timing \
  > "$work/html.out" 2>"$work/timing"
html=$(field export)
files=$(find "$work/html" -type f | wc -l)

python3 - "$count" "$(stat -L -c %s "$store")" "$cp_time" "$export_all" "$remove" "$html" "$files" \
  "$removed" "$kept" <<'PY'
import sys
count, size, cp, export, remove, html, files = (int(sys.argv[1]), int(sys.argv[2]),
    float(sys.argv[3]), float(sys.argv[4]), float(sys.argv[5]), float(sys.argv[6]), int(sys.argv[7]))
print(f"store: {count} messages, {size / 1e6:.1f} MB; cp + flush of the store: {cp:.2f} s")
print(f"export of every message into a new store: {export:.2f} s  ratio {export / cp:.2f} (target <= 2)")
print(f"removal from the store ({sys.argv[8]} exported; left: {sys.argv[9]}): {remove:.2f} s  "
      f"ratio {remove / cp:.2f} (target <= 2)")
print(f"export of {files} messages as HTML files: {html:.2f} s ({files / html:.0f} files/s)")
PY
rm -rf "$work"
