#!/usr/bin/env bash
# Runs every test of the given builds and prints their totals, counted from the test
# programs' XML reports:
#   scripts/run-tests.sh                  native, asan and win32 (the Windows tests under
#                                         Wine on one private Xvfb display)
#   scripts/run-tests.sh tsan             the ThreadSanitizer build
#   scripts/run-tests.sh --totals B...    runs nothing: the totals of the builds' last runs
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
rc=0

run=1
if [ "${1:-}" = --totals ]; then
  run=0
  shift
fi
names=${*:-native asan win32}
builds=""
for name in $names; do builds="$builds out/$name"; done

run_build() {
  case "$1" in
    native)
      echo "== native tests"
      (cd out/native && ctest --output-on-failure -j 2) || rc=1 ;;
    asan)
      echo "== native tests with sanitizers"
      (cd out/asan && ctest --output-on-failure -j 2) || rc=1 ;;
    tsan)
      echo "== native tests with ThreadSanitizer"
      (cd out/tsan && ctest --output-on-failure -j 2) || rc=1 ;;
    win32)
      echo "== Windows tests under Wine"
      source scripts/wine-env.sh
      # The first Windows program of a session starts Wine's desktop and services, which
      # would inherit CTest's output pipe and keep it open: start them here with no pipe
      # attached.
      (cd out/win32 && "$here/scripts/with-xvfb.sh" bash -c \
         'wine cmd /c exit </dev/null >/dev/null 2>&1; ctest --output-on-failure -j 2') || rc=1
      wineserver -k >/dev/null 2>&1 || true ;;
    *)
      echo "run-tests: no build named $1" >&2
      rc=1 ;;
  esac
}

if [ $run -eq 1 ]; then
  for name in $names; do
    rm -rf "out/$name/test-results"
    mkdir -p "out/$name/test-results"
    run_build "$name"
  done
fi

# A program that died before writing its report still counts, as one failure.
missing=0
results=()
for build in $builds; do
  results+=("$build/test-results")
  [ -d "$build" ] || { echo "no build $build"; missing=$((missing + 1)); continue; }
  for name in $(cd "$build" && ctest -N | sed -n 's/^ *Test *#[0-9]*: *//p'); do
    [ -e "$build/test-results/$name.xml" ] || { echo "no report from $name"; missing=$((missing + 1)); }
  done
done
ZUNK_MISSING_REPORTS=$missing bash scripts/test-totals.sh "${results[@]}" || rc=1
exit $rc
