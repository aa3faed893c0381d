#!/usr/bin/env bash
# Installs the Debian 12 packages that the build, the tests, the benchmarks and CI need.
# Idempotent: only packages that are not installed yet are fetched.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang clang-format libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev-tools qt6-multimedia-dev libqt6multimedia6
  qt6-image-formats-plugins qt6-l10n-tools libgl-dev
  libxml2-dev libxml2-utils libcurl4-openssl-dev libidn2-dev zlib1g-dev
  libespeak-ng-dev espeak-ng espeak-ng-data
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick pulseaudio pulseaudio-utils sox
  fonts-dejavu-core fonts-dejavu-extra python3 time python3-pyftpdlib python3-feedparser curl
  dpkg-dev fakeroot file lintian desktop-file-utils appstream librsvg2-bin util-linux
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
