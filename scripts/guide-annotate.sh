#!/usr/bin/env bash
# The guides' picture of the level bars: the bar group of the settings dialog's live
# screenshot, enlarged, with numbered marks the guides explain: 1 the match bar, 2 the
# confidence bar, 3 a bar's threshold, 4 the current value, 5 the detection level, 6 the
# match level, 7 the tolerance.
#   scripts/guide-annotate.sh LIVE-SCREENSHOT.png OUT.png
set -euo pipefail
in=$1
out=$2
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
args=()
# A red disc with a white number at (x, y).
mark() {
  args+=(-fill '#C00000' -stroke white -strokewidth 2 -draw "circle $1,$2 $(($1 + 13)),$2"
         -stroke none -fill white -draw "text $(($1 - 5)),$(($2 - 11)) '$3'")
}
line() { args+=(-stroke '#C00000' -strokewidth 3 -draw "line $1,$2 $3,$4"); }
line 38 190 95 190
mark 24 190 1
line 38 65 95 65
mark 24 65 3
line 38 38 95 38
mark 24 38 4
line 215 215 250 215
mark 262 215 2
mark 965 37 7
mark 965 172 5
mark 965 217 6
# The window as the screenshot shows it, then its bar group at twice the size.
convert "$in" -trim +repage -crop 440x130+75+220 +repage -filter point -resize 200% \
  -background white -gravity west -splice 50x0 -gravity east -splice 50x0 \
  -gravity northwest -font "$font" -pointsize 18 "${args[@]}" -strip "$out"
