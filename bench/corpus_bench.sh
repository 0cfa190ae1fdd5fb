#!/usr/bin/env bash
# Speed over the evaluation corpus beside Debian's comskip on the same files in the same
# session. For each recording (default: the SD MPEG-2 one and the HD H.264 one), frames
# per second of
#   decoding alone     ffmpeg decoding to nothing (the decoder libraries zunk-host uses)
#   run, exact         zunk-host run with the recording's hand-made settings
#   run --fast         the same with --fast
#   comskip            comskip's whole run, as installed
# by the wall clock and by processor time (user + system, which a busy machine disturbs
# less), each with its recall and precision of break frames against the truth (comskip's
# EDL scored by zunk-host eval like ours), and the largest resident size. The runs are
# interleaved (every one of a repetition before the next repetition) and the medians
# taken. The machine may be shared: read the ratios, not the absolute numbers.
#
# Usage: bench/corpus_bench.sh [-n REPETITIONS] [NAME...]   (default 3; mpeg2 hd1080)
#   CORPUS=DIR  the built corpus (default out/corpus; make corpus builds it)
#   HOST=FILE   zunk-host (default out/native/tools/host/zunk-host)
#   BEFORE=FILE another zunk-host (an earlier build, with its module two folders up as in
#               the build tree): its exact and fast runs are interleaved with the others
#               and reported as rows of their own, to compare a change on a shared machine
# comskip and GNU time are installed here when missing (apt); the product never depends
# on them.
set -euo pipefail
cd "$(dirname "$0")/.."
REPS=3
if [ "${1:-}" = "-n" ]; then
  REPS=$2
  shift 2
fi
NAMES=("$@")
[ ${#NAMES[@]} -gt 0 ] || NAMES=(mpeg2 hd1080)
CORPUS=${CORPUS:-out/corpus}
HOST=${HOST:-out/native/tools/host/zunk-host}
[ -x "$HOST" ] || { echo "corpus_bench: no zunk-host at $HOST (make host)" >&2; exit 1; }
BEFORE=${BEFORE:-}
[ -z "$BEFORE" ] || [ -x "$BEFORE" ] || { echo "corpus_bench: no zunk-host at $BEFORE" >&2; exit 1; }
for n in "${NAMES[@]}"; do
  [ -f "$CORPUS/$n/stamp" ] || { echo "corpus_bench: $CORPUS/$n is not built (make corpus)" >&2; exit 1; }
done
missing=()
command -v comskip >/dev/null || missing+=(comskip)
[ -x /usr/bin/time ] || missing+=(time)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "corpus_bench: installing ${missing[*]} for the comparison" >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
# comskip as installed, with its EDL written and breaks as short as the corpus's allowed.
printf 'output_edl=1\noutput_default=0\nverbose=0\nmin_commercialbreak=10\nmin_commercial_size=4\n' \
  > "$TMP/comskip.ini"

video() { ls "$CORPUS/$1/$1".* | head -1; }
# One timed command; appends "wall user system maxKB" to the file $1.
timed() {
  local log=$1
  shift
  /usr/bin/time -f '%e %U %S %M' -o "$TMP/time.txt" "$@" >/dev/null 2>&1 || true
  cat "$TMP/time.txt" >> "$log"
}

for i in $(seq "$REPS"); do
  for n in "${NAMES[@]}"; do
    v=$(video "$n")
    s="$CORPUS/$n/handmade/Zunk_LogoDetector.ini"
    mkdir -p "$TMP/$n/cs"
    timed "$TMP/$n/decode.txt" ffmpeg -nostdin -v error -i "$v" -an -f null -
    timed "$TMP/$n/exact.txt" "$HOST" run --settings "$s" --channel-key 1001 --no-progress \
      --edl "$TMP/$n/exact.edl" "$v"
    timed "$TMP/$n/fast.txt" "$HOST" run --fast --settings "$s" --channel-key 1001 \
      --no-progress --edl "$TMP/$n/fast.edl" "$v"
    if [ -n "$BEFORE" ]; then
      timed "$TMP/$n/exact-before.txt" "$BEFORE" run --settings "$s" --channel-key 1001 \
        --no-progress --edl "$TMP/$n/exact-before.edl" "$v"
      timed "$TMP/$n/fast-before.txt" "$BEFORE" run --fast --settings "$s" --channel-key 1001 \
        --no-progress --edl "$TMP/$n/fast-before.edl" "$v"
    fi
    timed "$TMP/$n/comskip.txt" comskip --ini="$TMP/comskip.ini" --output="$TMP/$n/cs" -q "$v"
  done
done

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# "recall precision" of an EDL against the truth; a missing list scores 0 / 1.
score() {
  if [ -s "$2" ]; then
    "$HOST" eval --truth "$CORPUS/$1/truth.txt" --detected "$2" --recording "$(video "$1")" |
      awk '/^precision:/ { p = $2 } /^recall:/ { r = $2 } END { printf "%.4f %.4f\n", r, p }'
  elif [ -e "$2" ]; then
    printf "0 1\n"
  else
    printf "- -\n"
  fi
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "corpus_bench: median of $REPS interleaved runs, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg) at the end"
for n in "${NAMES[@]}"; do
  v=$(video "$n")
  frames=$(awk '/^# Advert breaks of/ { gsub(/\(/, "", $6); print $6 }' "$CORPUS/$n/truth.txt")
  size=$(awk '/^# Advert breaks of/ { gsub(/\)\.?/, "", $10); print $10 }' "$CORPUS/$n/truth.txt")
  cs_wall=$(awk -v f="$frames" '{ print f / $1 }' "$TMP/$n/comskip.txt" | median)
  cs_cpu=$(awk -v f="$frames" '{ print f / ($2 + $3) }' "$TMP/$n/comskip.txt" | median)
  echo
  echo "$n: $(basename "$v"), $frames frames, $size"
  echo
  echo "| what | frames/s (wall) | to comskip | frames/s (processor) | to comskip | recall | precision | max RSS MB |"
  echo "|---|---:|---:|---:|---:|---:|---:|---:|"
  rows=(decode exact fast)
  [ -z "$BEFORE" ] || rows+=(exact-before fast-before)
  for what in "${rows[@]}" comskip; do
    t="$TMP/$n/$what.txt"
    wall=$(awk -v f="$frames" '{ print f / $1 }' "$t" | median)
    cpu=$(awk -v f="$frames" '{ print f / ($2 + $3) }' "$t" | median)
    rss=$(awk '{ print $4 / 1024 }' "$t" | median)
    case $what in
      decode) label="decoding alone (ffmpeg)"; q="- -" ;;
      exact) label="zunk-host run, exact"; q=$(score "$n" "$TMP/$n/exact.edl") ;;
      fast) label="zunk-host run --fast"; q=$(score "$n" "$TMP/$n/fast.edl") ;;
      exact-before) label="before: run, exact"; q=$(score "$n" "$TMP/$n/exact-before.edl") ;;
      fast-before) label="before: run --fast"; q=$(score "$n" "$TMP/$n/fast-before.edl") ;;
      comskip) label="comskip"; q=$(score "$n" "$TMP/$n/cs/$(basename "${v%.*}").edl") ;;
    esac
    read -r recall precision <<< "$q"
    printf "| %s | %.0f | %sx | %.0f | %sx | %s | %s | %.0f |\n" "$label" "$wall" \
      "$(ratio "$wall" "$cs_wall")" "$cpu" "$(ratio "$cpu" "$cs_cpu")" "$recall" "$precision" "$rss"
  done
done
