#!/usr/bin/env bash
# make demo: the main job on the bundled sample, from nothing to scores. zunk-host learns
# the channel logo from the recording into a fresh settings file, then runs the plug-in
# over the recording twice with that file: as a recording that pauses over the breaks
# (RecordAction 1) and as a preview that lowers the sound by 40 per cent (PreviewAction 2).
# Each run prints the commands the plug-in sent at the frames they came and the breaks
# they mark, and its breaks are scored against the sample's known breaks. Results go to
# out/demo/recording/ and out/demo/preview/.
set -euo pipefail
cd "$(dirname "$0")/.."
HOST=${HOST:-out/native/tools/host/zunk-host}
DATA=data/sample
OUT=out/demo
SETTINGS=$OUT/Zunk_LogoDetector.ini
rm -rf "$OUT"
mkdir -p "$OUT"

echo "== learn: the channel logo from the recording"
"$HOST" learn --input "$DATA/sample.mp4" --channel-key 1001 --settings "$SETTINGS"

known=$(grep -c '^[0-9]' "$DATA/truth.txt")
failed=0
# run NAME TITLE [zunk-host options]: one run over the sample and its score.
run() {
  local name=$1 title=$2
  shift 2
  local dir=$OUT/$name
  mkdir -p "$dir"
  echo
  echo "== $name: $title"
  "$HOST" run --input "$DATA/sample.mp4" --settings "$SETTINGS" --channel-key 1001 \
      --truth "$DATA/truth.txt" --json "$dir/timeline.json" --edl "$dir/breaks.edl" \
      --log "$dir/frames.log" --output "$dir/processed.mp4" "$@"
  echo
  echo "== $name: the breaks found against the known ones"
  "$HOST" eval --truth "$DATA/truth.txt" --detected "$dir/breaks.edl" | tee "$dir/eval.txt"
  if ! grep -q "^breaks: $known of $known found" "$dir/eval.txt"; then
    echo "demo: the $name run did not find all $known known breaks" >&2
    failed=1
  fi
}

# The actions are set in the installed copy of the learned file, through the plug-in's own
# settings store; the learned file keeps its values.
run recording "the plug-in pauses the recording over the breaks" \
    --recording --set RecordAction=1
run preview "the plug-in lowers the sound over the breaks" --set PreviewAction=2
exit $failed
