#!/bin/sh
# Draws the analyzer's six quantity icons (32 x 32, one per chart quantity) in
# the colours of their traces. Needs ImageMagick; run from this folder.
set -e
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
icon() { # file colour label pointsize curve
  convert -size 32x32 xc:'#1c1c1c' \
    -fill none -stroke "$2" -strokewidth 1 -draw "rectangle 0,0 31,31" \
    -stroke '#7a1010' -draw "line 2,22 29,22" \
    -stroke "$2" -strokewidth 2 -draw "polyline $5" \
    -stroke none -fill "$2" -font "$font" -pointsize "$4" -gravity north \
    -annotate +0+1 "$3" \
    -define icon:auto-resize=32 "$1"
}
icon RL.ico   '#00ffff' 'RL'  12 '3,18 9,19 13,22 16,29 19,22 23,19 29,18'
icon PH.ico   '#00ff00' 'PH'  12 '3,29 12,18 12,29 21,18 21,29 29,20'
icon ZETA.ico '#3c64ff' '|Z|' 12 '3,28 10,26 15,22 17,17 19,22 24,26 29,28'
icon ERRE.ico '#ffffff' 'R'   14 '3,28 11,27 15,23 17,18 19,23 23,27 29,28'
icon IX.ico   '#ff00ff' 'X'   14 '3,20 8,22 13,26 16,29 19,26 24,22 29,20'
icon SWR.ico  '#ffff00' 'SWR' 11 '3,18 8,22 12,27 16,29 20,27 24,22 29,18'
