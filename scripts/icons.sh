#!/usr/bin/env bash
# Renders the larger icon sizes from resources/icons/A_MAIN.svg; run it after changing the
# drawing and commit the results. 16 and 32 pixels are drawn by hand.
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
for size in 48 64 128 256; do
    convert -background none -density 768 A_MAIN.svg -resize "${size}x${size}" -strip \
            -depth 8 "PNG32:A_MAIN-$size.png"
done
