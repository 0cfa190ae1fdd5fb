#!/usr/bin/env bash
# Makes data/corner/: a second, shorter recording from the same real footage as the
# bundled sample, with a channel logo of its own design in the bottom-left corner and
# of another size, for checking that `zunk-host learn` finds a logo wherever it is:
#   corner.mp4        908 frames (36.32 s), 768x576, 25 fps, H.264 yuv420p: programme
#                     with the logo, one advert break without it, 4 black frames at
#                     each join
#   corner-logo.bmp   the logo as composited (24-bit, background in key black)
#   truth.txt         the break span in frames and seconds, and where the logo is
#
# Usage: scripts/make-corner-sample.sh [VIDEO_DIR]   (default ../shared/data/video
#        beside the repository). Needs ffmpeg with libx264, ImageMagick, python3 and
#        the DejaVu fonts. Same tools, same bytes.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
SRC=${1:-$ROOT/../shared/data/video}
OUT=$ROOT/data/corner
HERE=$ROOT/scripts/sample

for f in vtest.avi cup.mp4; do
    [ -r "$SRC/$f" ] || { echo "make-corner-sample: missing $SRC/$f" >&2; exit 1; }
done

W=768 H=576 FPS=25
LOGO_W=104 LOGO_H=38         # logo size in reference pixels
LOGO_X=32 LOGO_Y=508         # its top-left corner (even, for 4:2:0 chroma)
BLACK=4
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
FF=(nice ffmpeg -nostdin -v error -threads 2)

# The logo: a square-cornered plate, a dark red field with a light frame, a yellow
# disc and the word "KANAL" with a small "7".
FONT=DejaVu-Sans-Bold
convert -size ${LOGO_W}x${LOGO_H} xc:black +antialias \
    -fill '#e8e0d0' -draw 'rectangle 0,0 103,37' \
    -fill '#7a1020' -draw 'rectangle 2,2 101,35' \
    -fill '#f0c020' -draw 'circle 18,18 18,6' \
    -antialias -font $FONT \
    -pointsize 17 -fill '#f4f0e8' -annotate +36+26 'KANAL' \
    -pointsize 14 -fill '#7a1020' -annotate +13+24 '7' \
    -depth 8 rgb:"$TMP/logo.rgb"
convert -size ${LOGO_W}x${LOGO_H} xc:white -depth 8 gray:"$TMP/mask.gray"
python3 "$HERE/logo.py" $LOGO_W $LOGO_H "$TMP/logo.rgb" "$TMP/mask.gray" \
    "$TMP/corner-logo.bmp" "$TMP/logo.rgba"
convert -size ${LOGO_W}x${LOGO_H} -depth 8 rgba:"$TMP/logo.rgba" \
    -define png:exclude-chunks=date,time "$TMP/logo.png"

programme() {
    "${FF[@]}" -i "$SRC/vtest.avi" -i "$TMP/logo.png" -filter_complex \
        "[0:v]fps=$FPS,trim=start_frame=$1,setpts=PTS-STARTPTS,format=rgb24[p];\
[p][1:v]overlay=$LOGO_X:$LOGO_Y:format=rgb,format=rgb24[o]" \
        -map '[o]' -frames:v "$2" -f rawvideo -pix_fmt rgb24 -
}
advert() {
    "${FF[@]}" -i "$SRC/$1" -an -vf \
        "fps=$FPS,trim=start_frame=$2,setpts=PTS-STARTPTS,scale=$W:$H:flags=bicubic,setsar=1,format=rgb24" \
        -frames:v "$3" -f rawvideo -pix_fmt rgb24 -
}
black() {
    head -c $((W * H * 3 * BLACK)) /dev/zero
}

# programme 400 (vtest 0 s .. 16 s), black, advert 150 (cup.mp4 0 s .. 6 s), black,
# programme 350 (vtest 50 s .. 64 s)
P1=400 A1=150 P2=350
{
    programme 0 $P1
    black; advert cup.mp4 0 $A1; black
    programme 1250 $P2
} | "${FF[@]}" -f rawvideo -pix_fmt rgb24 -s ${W}x${H} -framerate $FPS -i - \
    -vf "scale=out_color_matrix=bt601:out_range=tv:flags=bicubic+accurate_rnd+full_chroma_int,format=yuv420p" \
    -c:v libx264 -preset slow -crf 26 \
    -colorspace smpte170m -color_primaries smpte170m -color_trc smpte170m \
    -color_range tv -g 250 \
    -map_metadata -1 -fflags +bitexact -flags:v +bitexact \
    -movflags +faststart "$TMP/corner.mp4"

B_FIRST=$P1
B_LAST=$((B_FIRST + 2 * BLACK + A1 - 1))
TOTAL=$((B_LAST + 1 + P2))
secs() { printf '%d.%02d' $(($1 / FPS)) $(($1 % FPS * 100 / FPS)); }
{
    echo "# Advert break of corner.mp4 ($TOTAL frames, $FPS fps, ${W}x${H})."
    echo "# Logo corner-logo.bmp, ${LOGO_W}x${LOGO_H}, top-left corner at x=$LOGO_X y=$LOGO_Y"
    echo "# (reference pixels); on every frame outside the span and on none inside."
    echo "# logo $LOGO_X $LOGO_Y $LOGO_W $LOGO_H"
    echo "# first_frame last_frame start_s end_s"
    echo "$B_FIRST $B_LAST $(secs $B_FIRST) $(secs $((B_LAST + 1)))"
} > "$TMP/truth.txt"

python3 "$HERE/check.py" "$TMP/corner.mp4" "$TMP/corner-logo.bmp" \
    $LOGO_X $LOGO_Y $BLACK "$TMP/truth.txt" $TOTAL

mkdir -p "$OUT"
for f in corner.mp4 corner-logo.bmp truth.txt; do
    cp "$TMP/$f" "$OUT/$f"
done
ls -l "$OUT"
