#!/usr/bin/env bash
# Pictures of the on-screen message to look at: both builds, both pixel formats,
# background off and on, at 768 x 576 and 384 x 288, as PNGs in out/pngs/{native,win32}.
# Builds what it needs first (make native and make win32 must have configured the trees).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
cmake --build out/native --target message_shots >/dev/null
cmake --build out/win32 --target message_shots >/dev/null
mkdir -p out/pngs/native out/pngs/win32
out/native/tests/react/message_shots out/pngs/native
scripts/wine-run.sh out/win32/tests/react/message_shots.exe 'out\pngs\win32' 2>/dev/null
for f in out/pngs/native/*.ppm out/pngs/win32/*.ppm; do
  convert "$f" "${f%.ppm}.png" && rm -f "$f"
done
ls out/pngs/native/*.png out/pngs/win32/*.png
