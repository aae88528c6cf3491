#!/usr/bin/env bash
# Renders the PNG icons from timerecorder.svg (run after changing the SVG; the PNGs are kept in the tree so
# that a build needs no SVG renderer). Needs gdk-pixbuf-thumbnailer (libgdk-pixbuf2.0-bin, librsvg2-common).
set -euo pipefail
cd "$(dirname "$0")"
for size in 48 256; do
    gdk-pixbuf-thumbnailer -s "$size" timerecorder.svg "timerecorder-$size.png"
done
