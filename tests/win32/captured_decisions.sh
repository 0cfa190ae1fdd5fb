#!/usr/bin/env bash
# The plug-in's decisions over the whole bundled sample with the settings a live capture made
# through the dialog (kept by capture_dialog_test in FOLDER), against those with the sample's
# hand-made template at its true place: the Windows zunk-host under Wine, every frame decoded
# by ffmpeg outside it, both runs reacting by the volume (PreviewAction 1), whose host
# commands give the decisions' breaks. Passes when the captured settings' frame precision and
# recall are each within 0.01 of the hand-made template's and every break is found.
#   captured_decisions.sh ZUNK_HOST_EXE FOLDER SAMPLE_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
host=${1:?zunk-host.exe}
folder=${2:?folder of the captured settings}
sample=${3:?sample folder}
captured=$folder/Zunk_LogoDetector.ini
if [ ! -s "$captured" ] || [ ! -s "$folder/logo-1.bmp" ]; then
  echo "captured_decisions: no captured settings in $folder (capture_dialog_test keeps them)" >&2
  exit 1
fi

# decide SETTINGS CHANNEL NAME: the run's breaks in $folder/NAME.edl, scored in NAME.txt.
decide() {
  ffmpeg -nostdin -v fatal -i "$sample/sample.mp4" -f rawvideo -pix_fmt yuyv422 - |
    "$here/scripts/wine-run.sh" "$host" --raw - --size 768x576 --settings "$1" \
      --channel-key "$2" --set PreviewAction=1 --no-progress --edl-mode decisions \
      --edl "$folder/$3.edl" > "$folder/$3-run.txt" 2>&1
  "$here/scripts/wine-run.sh" "$host" eval --truth "$sample/truth.txt" \
    --detected "$folder/$3.edl" --fps 25 > "$folder/$3.txt" 2>&1
  cat "$folder/$3.txt"
}
decide "$captured" 1 captured
decide "$sample/Zunk_LogoDetector.ini" 1001 handmade

value() { sed -n "s/^$2: \([0-9.]*\).*/\1/p" "$folder/$1.txt" | tr -d '\r'; }
breaks=$(sed -n 's/^breaks: \([0-9]*\) of \([0-9]*\) found.*/\1 \2/p' "$folder/captured.txt" | tr -d '\r')
status=0
awk -v cp="$(value captured precision)" -v cr="$(value captured recall)" \
    -v hp="$(value handmade precision)" -v hr="$(value handmade recall)" -v b="$breaks" '
  BEGIN {
    split(b, n, " ")
    printf "captured precision %s recall %s, hand-made precision %s recall %s, breaks %s of %s\n",
           cp, cr, hp, hr, n[1], n[2]
    ok = cp != "" && hp != "" && cp + 0 >= hp - 0.01 && cr + 0 >= hr - 0.01 &&
         n[2] > 0 && n[1] == n[2]
    exit ok ? 0 : 1
  }' || status=$?
# A report as the test programs write theirs, for the suite's totals (run from the build
# folder, where test-results/ is).
if [ -d test-results ]; then
  printf '<?xml version="1.0" encoding="UTF-8"?>\n<testsuites tests="1" failures="%d" disabled="0" errors="0" name="capture_decisions_test">\n</testsuites>\n' \
    "$status" > test-results/capture_decisions_test.xml
fi
exit $status
