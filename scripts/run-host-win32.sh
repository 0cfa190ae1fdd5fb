#!/usr/bin/env bash
# Runs the Windows build of zunk-host under Wine over a video: ffmpeg decodes outside
# Wine and feeds raw frames through a pipe. Extra arguments go to zunk-host.
#   scripts/run-host-win32.sh VIDEO [--format 0|1] [--size WxH] [zunk-host options]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
video=${1:?video file}
shift
format=0
size=768x576
args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --format) format=$2; args+=("$1" "$2"); shift 2 ;;
    --size) size=$2; args+=("$1" "$2"); shift 2 ;;
    *) args+=("$1"); shift ;;
  esac
done
filter="scale=${size/x/:}"
pix=yuyv422
if [ "$format" = 1 ]; then filter="$filter,vflip"; pix=bgr24; fi
ffmpeg -nostdin -v fatal -i "$video" -vf "$filter" -f rawvideo -pix_fmt "$pix" - |
  "$here/scripts/wine-run.sh" "$here/out/win32/tools/host/zunk-host.exe" --raw - "${args[@]}"
