#!/usr/bin/env bash
# Runs a Windows test program that asks for pictures of the display its windows are on.
# For every "<name>.ready" file the program writes into the shots folder, the whole
# display is saved as "<name>.png" and "<name>.taken" answers it. When the program left
# a "<name>.bmp" (the screen as Wine composes it), that picture is converted instead.
# Usage: run_with_screenshots.sh SHOTS_FOLDER PROGRAM.exe [ARGS...]
set -u
here=$(cd "$(dirname "$0")/../.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec "$here/scripts/with-xvfb.sh" bash "$0" "$@"
fi
shots=$1
program=$2
shift 2
source "$here/scripts/wine-env.sh"
mkdir -p "$shots"
rm -f "$shots"/*.ready "$shots"/*.taken
# The display has no window manager. Wine's windows are then its own to place, and
# hiding one does not wait for a manager that never answers; this applies to this
# program only.
wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$(basename "$program")\\X11 Driver" \
  /v Managed /d N /f </dev/null >/dev/null 2>&1
# The program sees the folder through Wine's drive for the root of the file system.
ZUNK_SCREENSHOT_DIR="Z:$(cd "$shots" && pwd | tr / '\\')"
export ZUNK_SCREENSHOT_DIR

wine "$program" "$@" &
pid=$!
while kill -0 "$pid" 2>/dev/null; do
  for ready in "$shots"/*.ready; do
    [ -e "$ready" ] || continue
    name=$(basename "$ready" .ready)
    if [ -e "$shots/$name.bmp" ]; then
      convert "$shots/$name.bmp" "png:$shots/$name.png" && rm -f "$shots/$name.bmp"
    else
      xwd -root -silent -display "$DISPLAY" | convert xwd:- "png:$shots/$name.png"
    fi
    rm -f "$ready"
    : >"$shots/$name.taken"
  done
  sleep 0.1
done
wait "$pid"
rc=$?
rm -f "$shots"/*.taken
exit $rc
