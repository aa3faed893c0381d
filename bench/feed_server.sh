# Sourced by the download benchmarks: starts the test's feed server on `hosts` loopback hosts
# (127.0.0.1 to 127.0.0.N), sets `work` (a temporary folder removed on exit) and `port`, and
# keeps curl and libcurl away from any proxy.
work=$(mktemp -d)
server_out="$work/server.out"
python3 "$here/../tests/download/feed_server.py" --hosts "$hosts" > "$server_out" 2>/dev/null &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do grep -q '^http ' "$server_out" && break; sleep 0.1; done
port=$(awk '/^http /{print $2}' "$server_out")
sleep 0.5  # the other hosts' listeners
export LC_ALL=C no_proxy='*' NO_PROXY='*'
