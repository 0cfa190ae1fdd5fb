#!/usr/bin/env bash
# Packs the release archive Zunk_LogoDetector-<version>.zip:
#   scripts/make-release.sh DLL ZIP-TOOL OUT-FOLDER
# DLL is the module as shipped (stripped), ZIP-TOOL the build's zunk-zip. The archive holds
# the module, the guide in Russian (ПРОЧТИ.txt, Windows-1251, CR LF) and in English
# (README-en.txt, UTF-8 with a byte-order mark, CR LF), the guide's pictures, an example
# settings file (Windows-1251, CR LF, as the plug-in writes it) and SHA256SUMS. The same
# commit gives the same bytes: fixed order, permissions and time (the commit's, or
# SOURCE_DATE_EPOCH when set).
set -euo pipefail
# Character counts (the headings' underlines) in characters, not bytes.
export LC_ALL=C.UTF-8
if [ $# -ne 3 ]; then
  echo "usage: scripts/make-release.sh DLL ZIP-TOOL OUT-FOLDER" >&2
  exit 2
fi
dll=$1
zip_tool=$2
out=$3
here=$(cd "$(dirname "$0")/.." && pwd)
docs=$here/docs

version=$(sed -n 's/^project(Zunk_LogoDetector VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")
[ -n "$version" ] || { echo "make-release: no project version in CMakeLists.txt" >&2; exit 1; }
when=${SOURCE_DATE_EPOCH:-$(git -C "$here" log -1 --format=%ct 2>/dev/null || echo 1767225600)}
for f in "$dll" "$zip_tool" "$docs/guide-ru.md" "$docs/guide-en.md" "$docs/example-settings.ini"; do
  [ -e "$f" ] || { echo "make-release: $f is missing" >&2; exit 1; }
done

mkdir -p "$out"
stage=$(mktemp -d "$out/.stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT

# The Markdown guide as plain text: a heading is underlined, a picture becomes a line naming
# its file, and the marks Notepad would show as they are (bold, code) go.
plain_text() {
  local line title rule alt file
  while IFS= read -r line; do
    case $line in
      '# '* | '## '*)
        title=${line#*# }
        rule=$(printf '%*s' ${#title} '')
        if [ "${line:0:2}" = '# ' ]; then rule=${rule// /=}; else rule=${rule// /-}; fi
        printf '%s\n%s\n' "$title" "$rule" ;;
      '### '*) printf '%s\n' "${line#'### '}" ;;
      '!['*']('*')')
        alt=${line#'!['}
        alt=${alt%%'](images/'*}
        file=${line##*'](images/'}
        printf '[images/%s — %s]\n' "${file%')'}" "$alt" ;;
      *) printf '%s\n' "$line" ;;
    esac
  done <"$1" | sed -e 's/\*\*//g' -e 's/`//g'
}
crlf() { sed -e 's/$/\r/'; }

cp "$dll" "$stage/Zunk_LogoDetector.dll"
plain_text "$docs/guide-ru.md" | crlf | iconv -f UTF-8 -t CP1251 >"$stage/ПРОЧТИ.txt"
{ printf '\xEF\xBB\xBF'; plain_text "$docs/guide-en.md" | crlf; } >"$stage/README-en.txt"
crlf <"$docs/example-settings.ini" | iconv -f UTF-8 -t CP1251 >"$stage/Zunk_LogoDetector-example.ini"
files=(Zunk_LogoDetector.dll ПРОЧТИ.txt README-en.txt Zunk_LogoDetector-example.ini)
# Every picture the guides show, in name order.
mkdir -p "$stage/images"
for p in $(cat "$docs/guide-ru.md" "$docs/guide-en.md" |
           sed -n 's/^!\[[^]]*\](images\/\([^)]*\.png\))$/\1/p' | LC_ALL=C sort -u); do
  cp "$docs/images/$p" "$stage/images/$p"
  files+=("images/$p")
done
(cd "$stage" && sha256sum "${files[@]}") >"$stage/SHA256SUMS"
files+=(SHA256SUMS)

zip="$out/Zunk_LogoDetector-$version.zip"
"$zip_tool" --mtime "$when" "$zip" "$stage" "${files[@]}"
echo "$zip"
