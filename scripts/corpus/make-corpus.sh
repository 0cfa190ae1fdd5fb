#!/usr/bin/env bash
# Builds the evaluation corpus of hard cases into OUT_DIR (default out/corpus):
# one recording per recipe of scripts/corpus/recipes.py, made from the shared
# footage and broadcaster logos, with its truth file, a check of every frame
# against that truth, and a hand-made template with its settings file.
#
# Usage: scripts/corpus/make-corpus.sh [--short] [--only NAME...] [--force|--missing]
#                                      [--write-truth [--truth-only]] [OUT_DIR]
#   --short        quarter-length recordings, fast encoding (for tests)
#   --only NAME... only these recordings
#   --force        rebuild recordings that are up to date
#   --missing      build only recordings never finished (keep those the current
#                  scripts would make differently)
#   --write-truth  write the truth files made into data/corpus/ (the recipes
#                  changed on purpose); otherwise a full build must make the
#                  committed truth files exactly; --truth-only stops there
# DATA_DIR (default ../shared/data beside the repository, or beside the main
# checkout of a linked worktree) holds video/ and logos/.
# Needs ffmpeg with libx264, ImageMagick, python3 and the DejaVu fonts.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
DATA=${DATA_DIR:-$ROOT/../shared/data}
if [ -z "${DATA_DIR:-}" ] && [ ! -d "$DATA" ]; then
  # A linked worktree: the folder beside the main checkout.
  common=$(git -C "$ROOT" rev-parse --path-format=absolute --git-common-dir 2>/dev/null || true)
  [ -n "$common" ] && DATA=$(dirname "$(dirname "$common")")/shared/data
fi
for a in "$@"; do
  case "$a" in
    -h|--help) sed -n '2,21p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  esac
done
for d in "$DATA/video" "$DATA/logos"; do
  [ -d "$d" ] || { echo "make-corpus: missing $d (set DATA_DIR)" >&2; exit 1; }
done
for tool in ffmpeg convert identify python3; do
  command -v "$tool" >/dev/null || { echo "make-corpus: needs $tool" >&2; exit 1; }
done
exec python3 "$ROOT/scripts/corpus/build.py" --video "$DATA/video" --logos "$DATA/logos" \
  --truth-dir "$ROOT/data/corpus" --default-out "$ROOT/out/corpus" "$@"
