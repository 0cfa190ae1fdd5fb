#!/usr/bin/env bash
# make eval-corpus: builds the corpus recordings that are missing (out/corpus), then runs
# zunk-host learn -> run -> eval over each, and run -> eval with its hand-made template,
# and prints one table. Each step's output is kept in out/eval-corpus/NAME/; the table
# also goes to out/eval-corpus/table.md.
# Usage: scripts/corpus/eval-corpus.sh [NAME...]   (HOST names another zunk-host)
set -euo pipefail
cd "$(dirname "$0")/../.."
HOST=${HOST:-out/native/tools/host/zunk-host}
start=$(date +%s)
only=()
[ $# -gt 0 ] && only=(--only "$@")
scripts/corpus/make-corpus.sh --missing "${only[@]}" out/corpus ||
  echo "eval-corpus: not every recording could be built; the others are evaluated" >&2
built=$(date +%s)
mkdir -p out/eval-corpus
python3 scripts/corpus/eval_corpus.py --host "$HOST" out/corpus out/eval-corpus "$@"
echo "eval-corpus: corpus ready in $((built - start)) s, whole run $(( $(date +%s) - start )) s"
