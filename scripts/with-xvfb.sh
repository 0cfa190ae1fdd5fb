#!/usr/bin/env bash
# Runs a command with a private Xvfb display and stops the server afterwards.
set -u
for n in $(seq 90 190); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xpid=$!
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    kill -0 "$xpid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$xpid" 2>/dev/null; then
    DISPLAY=":$n" "$@"
    rc=$?
    kill "$xpid" 2>/dev/null
    wait "$xpid" 2>/dev/null
    exit $rc
  fi
done
echo "with-xvfb: no free display" >&2
exit 1
