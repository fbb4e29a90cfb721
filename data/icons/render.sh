#!/bin/sh
# Renders the icon's PNG sizes and the Windows .ico from prismel.svg. Run it after editing the
# SVG and keep the outputs in the tree; the build itself never needs these tools.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick's convert (imagemagick).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

for size in 16 32 48 256; do
    rsvg-convert -w "$size" -h "$size" "$here/prismel.svg" -o "$scratch/prismel-$size.png"
done
cp "$scratch/prismel-32.png" "$scratch/prismel-48.png" "$here/"
# Windows picks 16 for title bars and lists, 32 and 48 for the desktop, 256 for large views.
convert "$scratch/prismel-16.png" "$scratch/prismel-32.png" "$scratch/prismel-48.png" \
    "$scratch/prismel-256.png" "$here/../windows/prismel.ico"
