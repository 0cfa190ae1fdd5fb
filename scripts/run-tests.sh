#!/usr/bin/env bash
# Runs every test of both builds (the Windows ones under Wine on one private Xvfb
# display) and prints the totals, counted from the test programs' XML reports.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
rc=0

rm -rf out/native/test-results out/win32/test-results
mkdir -p out/native/test-results out/win32/test-results

echo "== native tests"
(cd out/native && ctest --output-on-failure -j 2) || rc=1

echo "== Windows tests under Wine"
source scripts/wine-env.sh
wineserver -p 60 >/dev/null 2>&1 || true
(cd out/win32 && "$here/scripts/with-xvfb.sh" ctest --output-on-failure -j 2) || rc=1

# A program that died before writing its report still counts, as one failure.
missing=0
for build in out/native out/win32; do
  for name in $(cd "$build" && ctest -N | sed -n 's/^ *Test *#[0-9]*: *//p'); do
    [ -e "$build/test-results/$name.xml" ] || { echo "no report from $name"; missing=$((missing + 1)); }
  done
done
ZUNK_MISSING_REPORTS=$missing bash scripts/test-totals.sh out/native/test-results out/win32/test-results || rc=1
exit $rc
