#!/usr/bin/env bash
# End-to-end speed of `zunk-host run` on the bundled sample at 768 x 576, beside Debian's
# comskip on the same file in the same session: frames per second of decoding alone
# (decode and pack), the plug-in alone (its frame operation) and the whole run, against
# comskip's whole run, by the wall clock and by processor time (user + system, which a
# busy machine disturbs less), with each one's recall and precision of break frames.
# The machine is shared: read the ratios, not the absolute numbers. The runs are
# interleaved and the medians taken.
#
# Usage: bench/host_bench.sh [REPETITIONS]   (default 5; needs the native build)
# comskip is installed here when missing (apt); the product never depends on it.
set -euo pipefail
cd "$(dirname "$0")/.."
REPS=${1:-5}
HOST=out/native/tools/host/zunk-host
SAMPLE=data/sample/sample.mp4
TRUTH=data/sample/truth.txt
[ -x "$HOST" ] || { echo "host_bench: build first (make native)" >&2; exit 1; }
if ! command -v comskip >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "host_bench: installing comskip for the comparison" >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends comskip \
    >/dev/null
fi

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
TIMEFORMAT='%R %U %S'

# The settings the run uses: learned from the recording itself.
"$HOST" learn --no-progress --input "$SAMPLE" --settings "$TMP/Zunk_LogoDetector.ini" >/dev/null
# comskip as installed, with its EDL written and breaks as short as the sample's allowed.
printf 'output_edl=1\noutput_default=0\nverbose=0\nmin_commercialbreak=10\nmin_commercial_size=4\n' \
  > "$TMP/comskip.ini"
mkdir -p "$TMP/cs"

frames=$(awk '/^# Advert breaks of/ { gsub(/\(/, "", $6); print $6 }' "$TRUTH")
: > "$TMP/host.txt"
: > "$TMP/comskip.txt"
for i in $(seq "$REPS"); do
  { time "$HOST" run --input "$SAMPLE" --settings "$TMP/Zunk_LogoDetector.ini" --no-progress \
      --no-log --timing --edl "$TMP/host.edl" >/dev/null 2>"$TMP/timing.txt"; } 2>"$TMP/time.txt"
  # "zunk-host: timing: N frames, decode S s, plug-in S s, whole S s"
  sed -n 's/^zunk-host: timing: \([0-9]*\) frames, decode \([0-9.]*\) s, plug-in \([0-9.]*\) s.*/\1 \2 \3/p' \
    "$TMP/timing.txt" | tr '\n' ' ' >> "$TMP/host.txt"
  cat "$TMP/time.txt" >> "$TMP/host.txt"
  { time comskip --ini="$TMP/comskip.ini" --output="$TMP/cs" -q "$SAMPLE" >/dev/null 2>&1 || true; } \
    2>>"$TMP/comskip.txt"
done

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# host.txt: frames decode plugin wall user system; comskip.txt: wall user system
decode=$(awk '{ print $1 / $2 }' "$TMP/host.txt" | median)
plugin=$(awk '{ print $1 / $3 }' "$TMP/host.txt" | median)
whole=$(awk '{ print $1 / $4 }' "$TMP/host.txt" | median)
wholeCpu=$(awk '{ print $1 / ($5 + $6) }' "$TMP/host.txt" | median)
comskip=$(awk -v n="$frames" '{ print n / $1 }' "$TMP/comskip.txt" | median)
comskipCpu=$(awk -v n="$frames" '{ print n / ($2 + $3) }' "$TMP/comskip.txt" | median)

score() {  # recall and precision of an EDL
  if [ -s "$1" ]; then
    "$HOST" eval --truth "$TRUTH" --detected "$1" |
      awk '/^precision:/ { p = $2 } /^recall:/ { r = $2 } END { printf "%s %s\n", r, p }'
  else
    printf "0 1\n"
  fi
}
read -r hr hp < <(score "$TMP/host.edl")
read -r cr cp < <(score "$TMP/cs/sample.edl")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "zunk-host against comskip on $SAMPLE ($frames frames, 768x576), median of $REPS interleaved runs, $(nproc) cores"
echo
echo "| what | frames/s (wall) | to comskip | frames/s (processor) | to comskip | recall | precision |"
echo "|---|---:|---:|---:|---:|---:|---:|"
printf "| zunk-host: decode and pack alone | %.0f | %sx | | | | |\n" "$decode" "$(ratio "$decode" "$comskip")"
printf "| zunk-host: the plug-in alone | %.0f | %sx | | | | |\n" "$plugin" "$(ratio "$plugin" "$comskip")"
printf "| zunk-host run, whole | %.0f | %sx | %.0f | %sx | %s | %s |\n" "$whole" \
  "$(ratio "$whole" "$comskip")" "$wholeCpu" "$(ratio "$wholeCpu" "$comskipCpu")" "$hr" "$hp"
printf "| comskip, whole | %.0f | 1.00x | %.0f | 1.00x | %s | %s |\n" "$comskip" "$comskipCpu" "$cr" "$cp"
