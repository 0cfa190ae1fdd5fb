#!/usr/bin/env bash
# make demo: the main job on the bundled sample, from nothing to scores. zunk-host learns
# the channel logo from the recording into a fresh settings file, runs the plug-in over
# the recording with that file, and scores the breaks it found against the sample's
# known breaks. Results go to out/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
HOST=${HOST:-out/native/tools/host/zunk-host}
DATA=data/sample
OUT=out/demo
rm -rf "$OUT"
mkdir -p "$OUT"

echo "== learn: the channel logo from the recording"
"$HOST" learn --input "$DATA/sample.mp4" --channel-key 1001 --settings "$OUT/Zunk_LogoDetector.ini"

echo
echo "== run: the plug-in over the recording with the learned settings"
"$HOST" run --input "$DATA/sample.mp4" --settings "$OUT/Zunk_LogoDetector.ini" \
    --channel-key 1001 --recording --truth "$DATA/truth.txt" \
    --json "$OUT/timeline.json" --edl "$OUT/breaks.edl" --log "$OUT/frames.log" \
    --output "$OUT/processed.mp4"

echo
echo "== eval: the breaks found against the known ones"
"$HOST" eval --truth "$DATA/truth.txt" --detected "$OUT/breaks.edl"
