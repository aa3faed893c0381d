#!/usr/bin/env bash
# package_test.sh lintian|unpacked BUILD VERSION
#   lintian:  the package has no lintian errors
#   unpacked: both programs run from the unpacked package: GNU --version and --help, the demo
#             on the installed sample feeds, and the window keeping its settings under
#             $XDG_CONFIG_HOME/vorlin because its own folder is read-only
set -euo pipefail
check=$1 build=$2 version=$3
deb="$build/vorlin_${version}-1_$(dpkg --print-architecture).deb"
if [ ! -f "$deb" ] || [ "$deb" -ot "$build/vorlin-cli" ]; then
  echo "no package newer than the build: run 'make package' (make test does)"
  exit 77
fi

if [ "$check" = lintian ]; then
  lintian --fail-on error --no-tag-display-limit "$deb"
  exit
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"
dpkg-deb -x "$deb" "$tmp/root"
bin="$tmp/root/usr/bin"
fail() { echo "FAIL: $*"; exit 1; }

for p in vorlin vorlin-cli; do
  # No display is needed for either.
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/$p" --version)
  [ "$(head -1 <<<"$out")" = "$p (Vorlin) $version" ] || fail "$p --version: $out"
  grep -q '^Copyright' <<<"$out" || fail "$p --version has no copyright line"
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/$p" --help)
  grep -q "^usage: $p " <<<"$out" || fail "$p --help: $out"
  grep -q -- '--version' <<<"$out" || fail "$p --help does not mention --version"
done

out=$("$bin/vorlin-cli" demo)
grep -qx 'Всего сообщений 21, каналов 8' <<<"$out" || fail "demo: $out"
# The demo reads the samples installed beside the program, not those of the source tree.
samples="$tmp/root/usr/share/vorlin/samples/feeds"
find "$samples" -mindepth 1 -maxdepth 1 ! -name tech_weekly.xml -exec rm -rf {} +
out=$("$bin/vorlin-cli" demo)
grep -q ', каналов 1$' <<<"$out" || fail "demo did not use the installed samples: $out"

# Installed read-only: settings go to $XDG_CONFIG_HOME/vorlin. Root writes anywhere, so the
# window then runs as nobody.
config="$tmp/config"
mkdir -m 777 "$config"
run=()
if [ "$(id -u)" -eq 0 ]; then
  run=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
else
  chmod a-w "$bin"
fi
env HOME="$config" XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$config" QT_QPA_PLATFORM=offscreen \
  "${run[@]}" "$bin/vorlin" --screenshot "$config/shot.png" --screenshot-delay-ms 0 \
  || fail "the window did not start and close"
[ -s "$config/shot.png" ] || fail "no screenshot"
[ "$(grep -c = "$config/vorlin/OpsRss.txt")" -eq 56 ] || fail "no settings in $config/vorlin"
[ -f "$config/vorlin/DirRss.txt" ] || fail "no scan folder list in $config/vorlin"
[ ! -e "$bin/OpsRss.txt" ] || fail "settings written beside the program"
echo "unpacked package: both programs run"
