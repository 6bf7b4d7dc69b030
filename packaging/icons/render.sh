#!/usr/bin/env bash
# Renders the PNG icon sizes from kesh.svg. The PNGs are kept in the tree, so run this
# only after changing the drawing (needs rsvg-convert from librsvg2-bin).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
for size in 16 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" --output "kesh-$size.png" kesh.svg
done
