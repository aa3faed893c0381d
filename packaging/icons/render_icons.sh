#!/usr/bin/env bash
# Renders the PNG sizes of the hicolor icon from vorlin.svg (needs rsvg-convert, librsvg2-bin).
# The PNGs are kept in the repository, so a build needs no renderer.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" vorlin.svg -o "vorlin-$size.png"
done
