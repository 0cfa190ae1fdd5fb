#!/usr/bin/env bash
# Makes the bundled sample in data/sample/ from the real footage of the
# project's shared data folder (vtest.avi, box.mp4, cup.mp4, tree.avi):
#   sample.mp4        2 minutes, 768x576, 25 fps, H.264 yuv420p: a programme
#                     with a channel logo in the top right corner, two advert
#                     breaks without it, 4 black frames at every join
#   sample-logo.bmp   the logo template (24-bit, background in key black)
#   Zunk_LogoDetector.ini  settings with the section of channel key 1001
#   truth.txt         the break spans in frames and seconds
# and then checks every decoded frame against the template and the spans.
#
# Usage: scripts/make-sample.sh [VIDEO_DIR]   (default ../shared/data/video
#        beside the repository). Needs ffmpeg with libx264, ImageMagick,
#        python3 and the DejaVu fonts. Same tools, same bytes.
#        KEEP_TMP=1 keeps the working folder (for looking into a failure).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
SRC=${1:-$ROOT/../shared/data/video}
OUT=$ROOT/data/sample
HERE=$ROOT/scripts/sample

for f in vtest.avi box.mp4 cup.mp4 tree.avi; do
    [ -r "$SRC/$f" ] || { echo "make-sample: missing $SRC/$f" >&2; exit 1; }
done

W=768 H=576 FPS=25
LOGO_W=72 LOGO_H=44          # logo size in reference pixels
LOGO_X=656 LOGO_Y=32         # its top-left corner (even, for 4:2:0 chroma)
BLACK=4                      # black frames at each join
CHANNEL=1001
CRF=${CRF:-28}

TMP=$(mktemp -d)
if [ -n "${KEEP_TMP:-}" ]; then echo "make-sample: keeping $TMP" >&2; else trap 'rm -rf "$TMP"' EXIT; fi
FF=(nice ffmpeg -nostdin -v error -threads 2)

# --- the logo: a rounded badge, light rim, navy field, a white "Z" and
# "TV", an orange bar and a small wordmark. The badge outline is drawn
# without antialiasing so the template's key background and the overlay's
# alpha are the same hard edge; the lettering inside is antialiased. The
# colours keep strong hue edges few (the bar sits on the 2x2 chroma grid),
# so 4:2:0 video reproduces the logo closely.
FONT=DejaVu-Sans-Bold
convert -size ${LOGO_W}x${LOGO_H} xc:black +antialias \
    -fill '#f2f2f2' -draw 'roundrectangle 0,0 71,43 10,10' \
    -fill '#1e2a44' -draw 'roundrectangle 2,2 69,41 8,8' \
    -antialias -font $FONT \
    -pointsize 34 -fill '#f2f2f2' -annotate +5+36 'Z' \
    -pointsize 15 -fill '#f2f2f2' -annotate +33+22 'TV' \
    +antialias -fill '#ff9a1a' -draw 'rectangle 34,26 65,29' \
    -antialias -pointsize 10 -fill '#aab4c8' -annotate +33+39 'ZIVO' \
    -depth 8 rgb:"$TMP/logo.rgb"
convert -size ${LOGO_W}x${LOGO_H} xc:black +antialias \
    -fill white -draw 'roundrectangle 0,0 71,43 10,10' \
    -depth 8 gray:"$TMP/mask.gray"
python3 "$HERE/logo.py" $LOGO_W $LOGO_H "$TMP/logo.rgb" "$TMP/mask.gray" \
    "$TMP/sample-logo.bmp" "$TMP/logo.rgba"
convert -size ${LOGO_W}x${LOGO_H} -depth 8 rgba:"$TMP/logo.rgba" \
    -define png:exclude-chunks=date,time "$TMP/logo.png"

# --- segments, each written as raw rgb24 frames to stdout ------------------
# programme START_FRAME COUNT: vtest.avi at 25 fps from frame START_FRAME
# (of the 25 fps timeline), with the logo composited in RGB.
programme() {
    "${FF[@]}" -i "$SRC/vtest.avi" -i "$TMP/logo.png" -filter_complex \
        "[0:v]fps=$FPS,trim=start_frame=$1,setpts=PTS-STARTPTS,format=rgb24[p];\
[p][1:v]overlay=$LOGO_X:$LOGO_Y:format=rgb,format=rgb24[o]" \
        -map '[o]' -frames:v "$2" -f rawvideo -pix_fmt rgb24 -
}
# advert FILE START_FRAME COUNT: other footage scaled to 768x576 (all of it
# is 4:3), 25 fps, no logo.
advert() {
    "${FF[@]}" -i "$SRC/$1" -an -vf \
        "fps=$FPS,trim=start_frame=$2,setpts=PTS-STARTPTS,scale=$W:$H:flags=bicubic,setsar=1,format=rgb24" \
        -frames:v "$3" -f rawvideo -pix_fmt rgb24 -
}
black() {
    head -c $((W * H * 3 * BLACK)) /dev/zero
}

# Timeline (frames at 25 fps):
#   programme  1000  vtest 0 s .. 40 s
#   black         4
#   advert      375  box.mp4 0 s .. 15 s
#   advert      125  tree.avi 0 s .. 5 s
#   black         4
#   programme   750  vtest 40 s .. 70 s
#   black         4
#   advert      200  cup.mp4 0 s .. 8 s
#   advert      100  tree.avi 10 s .. 14 s
#   black         4
#   programme   450  vtest 20 s .. 38 s (repeated)
P1=1000 A1=375 A2=125 P2=750 A3=200 A4=100 P3=450
{
    programme 0 $P1
    black; advert box.mp4 0 $A1; advert tree.avi 0 $A2; black
    programme 1000 $P2
    black; advert cup.mp4 0 $A3; advert tree.avi 250 $A4; black
    programme 500 $P3
} | "${FF[@]}" -f rawvideo -pix_fmt rgb24 -s ${W}x${H} -framerate $FPS -i - \
    -vf "scale=out_color_matrix=bt601:out_range=tv:flags=bicubic+accurate_rnd+full_chroma_int,format=yuv420p,\
addroi=x=$((LOGO_X - 16)):y=$((LOGO_Y - 16)):w=$((LOGO_W + 32)):h=$((LOGO_H + 32)):qoffset=-0.5" \
    -c:v libx264 -preset slow -crf $CRF \
    -colorspace smpte170m -color_primaries smpte170m -color_trc smpte170m \
    -color_range tv -g 250 \
    -map_metadata -1 -fflags +bitexact -flags:v +bitexact \
    -movflags +faststart "$TMP/sample.mp4"

# --- break spans: from the first black frame before a break to the last
# black frame after it, inclusive.
B1_FIRST=$P1
B1_LAST=$((B1_FIRST + 2 * BLACK + A1 + A2 - 1))
B2_FIRST=$((B1_LAST + 1 + P2))
B2_LAST=$((B2_FIRST + 2 * BLACK + A3 + A4 - 1))
TOTAL=$((B2_LAST + 1 + P3))
secs() { printf '%d.%02d' $(($1 / FPS)) $(($1 % FPS * 100 / FPS)); }
{
    echo "# Advert breaks of sample.mp4 ($TOTAL frames, $FPS fps, ${W}x${H})."
    echo "# Channel key $CHANNEL; logo template sample-logo.bmp, ${LOGO_W}x${LOGO_H},"
    echo "# top-left corner at x=$LOGO_X y=$LOGO_Y (reference pixels), colour key black."
    echo "# The logo is on every frame outside these spans and on none inside."
    echo "# A span runs from the first of the $BLACK black frames before the advert"
    echo "# to the last of the $BLACK black frames after it. Frames count from 0."
    echo "# Seconds: start = first / $FPS, end = (last + 1) / $FPS (end exclusive)."
    echo "# first_frame last_frame start_s end_s"
    echo "$B1_FIRST $B1_LAST $(secs $B1_FIRST) $(secs $((B1_LAST + 1)))"
    echo "$B2_FIRST $B2_LAST $(secs $B2_FIRST) $(secs $((B2_LAST + 1)))"
} > "$TMP/truth.txt"

# --- settings: plug-in INI layout, CR LF, Windows-1251 text
MSG=$(printf '\320\305\312\313\300\314\300')   # "РЕКЛАМА" in Windows-1251
{
    printf '%s\r\n' "[COMMON]" "DlgWndPosX=-100" "DlgWndPosY=-100" \
        "[$CHANNEL]" \
        "LogoFileName=sample-logo.bmp" \
        "MsgString=$MSG" \
        "LogoPosX=$LOGO_X" "LogoPosY=$LOGO_Y" "LogoPosTolerance=3" \
        "LeftTopPixelColor=0" "ColorKey=0" "ProcessingEnable=1" "ShowLogo=0" \
        "LogoTransparency=60" "LogoOffResponseSpeed=10" \
        "LogoOnResponseSpeed=3" "LogoDetectLevel=80" "LogoMatchLevel=80" \
        "PreviewAction=1" "RecordAction=1" "MsgEnable=1" "MsgBackEnable=0" \
        "MsgBackColor=4210752" "MsgTextColor=49152" "MsgTransparency=60"
} > "$TMP/Zunk_LogoDetector.ini"

python3 "$HERE/check.py" "$TMP/sample.mp4" "$TMP/sample-logo.bmp" \
    $LOGO_X $LOGO_Y $BLACK "$TMP/truth.txt" $TOTAL

mkdir -p "$OUT"
for f in sample.mp4 sample-logo.bmp Zunk_LogoDetector.ini truth.txt; do
    cp "$TMP/$f" "$OUT/$f"
done
ls -l "$OUT"
