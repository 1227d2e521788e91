#!/usr/bin/env bash
# Renders the application icon's PNG sizes from its SVG. The PNGs are committed, so building
# needs no SVG renderer; run this (Debian package librsvg2-bin) after changing the SVG.
set -euo pipefail
icons="$(cd "$(dirname "$0")/.." && pwd)/data/icons"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$icons/org.zantrel.Zantrel.svg" \
    -o "$icons/org.zantrel.Zantrel-$size.png"
done
