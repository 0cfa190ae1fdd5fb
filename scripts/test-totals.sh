#!/usr/bin/env bash
# Sums the GoogleTest XML reports in the given folders into one line "N passed, N failed".
# A test program that wrote no report (it crashed) counts as one failure.
passed=0; failed=0
for dir in "$@"; do
  for f in "$dir"/*.xml; do
    [ -e "$f" ] || continue
    line=$(grep -m1 '<testsuites ' "$f")
    t=$(sed -n 's/.* tests="\([0-9]*\)".*/\1/p' <<<"$line")
    fl=$(sed -n 's/.* failures="\([0-9]*\)".*/\1/p' <<<"$line")
    d=$(sed -n 's/.* disabled="\([0-9]*\)".*/\1/p' <<<"$line")
    e=$(sed -n 's/.* errors="\([0-9]*\)".*/\1/p' <<<"$line")
    sk=$(grep -c '<skipped' "$f")
    passed=$((passed + t - fl - ${d:-0} - ${e:-0} - sk))
    failed=$((failed + fl + ${e:-0}))
  done
done
missing=${ZUNK_MISSING_REPORTS:-0}
failed=$((failed + missing))
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
