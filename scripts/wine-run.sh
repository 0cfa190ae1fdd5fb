#!/usr/bin/env bash
# Runs one Windows program under Wine with the project's private prefix. CTest uses it as
# the cross-compiling emulator. When no display is set it runs the program on its own
# Xvfb display, so windows can be created headless.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
if [ -z "${DISPLAY:-}" ]; then
  exec "$here/with-xvfb.sh" wine "$@"
fi
exec wine "$@"
