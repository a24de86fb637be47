#!/bin/sh
# Renders the program icon's PNG sizes from its SVG (run once after changing the SVG; the PNGs
# are kept in the repository so that the build needs no SVG renderer). Needs rsvg-convert
# (Debian package librsvg2-bin).
set -eu
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" tessaglyphworks.svg -o "tessaglyphworks-$size.png"
done
