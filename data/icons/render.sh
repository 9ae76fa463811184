#!/bin/sh
# Renders the PNG icons from hibisi.svg (Debian: librsvg2-bin). The PNGs are kept
# in the repository, so building needs no converter; run this after editing the SVG.
set -eu
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" hibisi.svg --output "hibisi-$size.png"
done
