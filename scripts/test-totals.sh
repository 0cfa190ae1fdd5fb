#!/usr/bin/env bash
# Sums the GoogleTest XML reports in the given folders into one line
# "N passed, N failed, N skipped". Skipped and disabled tests are named above it with
# the reason given, so none goes unnoticed. ZUNK_MISSING_REPORTS counts the test programs
# that wrote no report (they crashed), one failure each. Exits non-zero when any failed.
passed=0
failed=0
skipped=0
attr() { sed -n "s/.* $1=\"\([^\"]*\)\".*/\1/p" <<<"$2"; }

# One line per test of a report that did not run: program, test and the reason given.
list_skipped() {
  local program l test=""
  program=$(basename "$1" .xml)
  while IFS= read -r l; do
    case "$l" in
      *'<testcase '*)
        test="$(attr classname "$l").$(attr name "$l")"
        case "$l" in *'status="notrun"'*) echo "skipped: $program $test (disabled)" ;; esac ;;
      *'<skipped message="'*)
        l=${l#*message=\"}
        l=${l%%\"*}
        echo "skipped: $program $test: ${l##*&#x0A;}" ;;
    esac
  done <"$1"
}
for dir in "$@"; do
  for f in "$dir"/*.xml; do
    [ -e "$f" ] || continue
    line=$(grep -m1 '<testsuites ' "$f")
    t=$(attr tests "$line")
    fl=$(attr failures "$line")
    d=$(attr disabled "$line")
    e=$(attr errors "$line")
    sk=$(grep -c 'result="skipped"' "$f")
    passed=$((passed + ${t:-0} - ${fl:-0} - ${d:-0} - ${e:-0} - sk))
    failed=$((failed + ${fl:-0} + ${e:-0}))
    skipped=$((skipped + ${d:-0} + sk))
    [ $((${d:-0} + sk)) -gt 0 ] && list_skipped "$f"
  done
done
failed=$((failed + ${ZUNK_MISSING_REPORTS:-0}))
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
