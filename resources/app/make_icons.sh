#!/bin/sh
# Renders the application icon's PNG sizes from org.kolm.Kolm.svg (run from this
# folder after changing the drawing; needs rsvg-convert from librsvg2-bin).
set -e
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" org.kolm.Kolm.svg -o "org.kolm.Kolm-$size.png"
done
