#!/usr/bin/env bash
# Runs every test of both builds (the Windows ones under Wine on one private Xvfb
# display) and prints the totals, counted from the test programs' XML reports.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
rc=0

builds="out/native out/asan out/win32"
for b in $builds; do rm -rf "$b/test-results"; mkdir -p "$b/test-results"; done

echo "== native tests"
(cd out/native && ctest --output-on-failure -j 2) || rc=1

echo "== native tests with sanitizers"
(cd out/asan && ctest --output-on-failure -j 2) || rc=1

echo "== Windows tests under Wine"
source scripts/wine-env.sh
# The first Windows program of a session starts Wine's desktop and services, which would
# inherit CTest's output pipe and keep it open: start them here with no pipe attached.
(cd out/win32 && "$here/scripts/with-xvfb.sh" bash -c \
   'wine cmd /c exit </dev/null >/dev/null 2>&1; ctest --output-on-failure -j 2') || rc=1
wineserver -k >/dev/null 2>&1 || true

# A program that died before writing its report still counts, as one failure.
missing=0
for build in $builds; do
  for name in $(cd "$build" && ctest -N | sed -n 's/^ *Test *#[0-9]*: *//p'); do
    [ -e "$build/test-results/$name.xml" ] || { echo "no report from $name"; missing=$((missing + 1)); }
  done
done
ZUNK_MISSING_REPORTS=$missing bash scripts/test-totals.sh out/native/test-results out/asan/test-results out/win32/test-results || rc=1
exit $rc
