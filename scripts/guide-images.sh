#!/usr/bin/env bash
# Copies the settings dialog's pictures that the users' guides show from the Windows
# tests' screenshots (out/win32/screenshots/, written by make test) into docs/images/,
# cut down to the windows on the display; the level bars' picture gets numbered marks.
#   scripts/guide-images.sh [SCREENSHOTS-FOLDER]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
shots=${1:-$here/out/win32/screenshots}
mkdir -p "$here/docs/images"
for p in $(cat "$here/docs/guide-ru.md" "$here/docs/guide-en.md" |
           sed -n 's/^!\[[^]]*\](images\/\([^)]*\.png\))$/\1/p' | LC_ALL=C sort -u); do
  case $p in
    # The marked level bars are drawn from the live window's picture.
    dialog-levels-annotated.png)
      bash "$here/scripts/guide-annotate.sh" "$shots/dialog-live-template.png" \
        "$here/docs/images/$p" ;;
    *) convert "$shots/$p" -trim +repage -strip "$here/docs/images/$p" ;;
  esac
  echo "docs/images/$p"
done
