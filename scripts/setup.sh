#!/usr/bin/env bash
# Installs what a build needs on a Debian machine, needing nothing but bash and apt:
#   scripts/setup.sh demo   the native tool and the plug-in core
#   scripts/setup.sh test   all that as well as the tests, the benchmarks and the Windows
#                           build under Wine (the default)
# The package manager's output goes to out/setup.log; the terminal gets one line per step
# and how long it took. A step whose result is already there is skipped, so a second run
# returns at once.
set -euo pipefail

# The native tool and the plug-in core: compiler and build tools, the video libraries,
# the fonts and FreeType for drawing text.
demo_packages=(
  g++ make cmake pkg-config
  ffmpeg libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libyuv-dev
  libfreetype-dev libfontconfig-dev fonts-liberation
)

# Everything of the demo, and the test and benchmark frameworks, the MinGW-w64 cross
# compiler, 32-bit Wine (the i386 architecture), Xvfb and screenshots, the Russian locale,
# GNU parallel (the offline tool's guide runs its examples with it), python3 (the
# evaluation corpus's builder and checker, run by the corpus test).
test_packages=(
  "${demo_packages[@]}"
  googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
  wine wine32 fonts-wine xvfb xauth x11-apps imagemagick locales fonts-dejavu-core
  parallel python3
)

what=${1:-test}
case "$what" in
  demo) need=("${demo_packages[@]}") ;;
  test) need=("${test_packages[@]}") ;;
  *) echo "usage: scripts/setup.sh [demo|test]" >&2; exit 2 ;;
esac

here=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$here/out"
log="$here/out/setup.log"

# Started with an empty environment, dpkg still has to find ldconfig and its helpers.
case ":${PATH:-}:" in
  *:/usr/sbin:*) ;;
  *) export PATH="/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin${PATH:+:$PATH}" ;;
esac
export DEBIAN_FRONTEND=noninteractive

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || {
    echo "setup: installing needs root; run this as root or install sudo" >&2
    exit 1
  }
  as_root=(sudo)
fi

# Microseconds; the decimal mark of EPOCHREALTIME follows the locale.
micros() { echo "${EPOCHREALTIME//[!0-9]/}"; }

# step WHAT COMMAND...: runs the command with its output in the log and prints one line.
# On failure it shows the command and the last lines of the log, and stops.
step() {
  local title=$1 t0 rc=0
  shift
  t0=$(micros)
  printf '\n== %s  %s\n$ %s\n' "$(date '+%F %T')" "$title" "$*" >>"$log"
  "$@" </dev/null >>"$log" 2>&1 || rc=$?
  local ms=$((($(micros) - t0) / 1000))
  if [ $rc -ne 0 ]; then
    printf 'setup: %s failed after %d.%d s (exit %d)\n' "$title" $((ms / 1000)) \
      $((ms % 1000 / 100)) $rc
    printf 'setup: the command was: %s\nsetup: the last lines of %s:\n' "$*" "$log"
    tail -n 30 "$log" | sed 's/^/  | /'
    exit $rc
  fi
  printf 'setup: %s: %d.%d s\n' "$title" $((ms / 1000)) $((ms % 1000 / 100))
}

# apt-get update, tried again while a mirror is being synced ("File has unexpected size").
# Lists that still fail after that are left as they are: apt says which, and the install
# below then fails plainly if a package it needs is not known.
read_lists() {
  local try
  for try in 1 2 3; do
    "${as_root[@]}" apt-get update && return 0
    echo "setup: reading the package lists failed (try $try of 3)"
    [ $try -lt 3 ] && sleep $((try * 10))
  done
  echo "setup: going on with the package lists as they are"
  lists_partial=1
}
lists_partial=0

# With a list missing (the i386 one of the security updates, say), an i386 library can have
# no version to match its amd64 twin. The release's own packages are then preferred for
# both, which keeps them alike; nothing installed is downgraded.
install_packages() {
  "${as_root[@]}" apt-get install -y --no-install-recommends -o Dpkg::Use-Pty=0 "$@" && return 0
  [ $lists_partial -eq 1 ] || return 1
  local release
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$release" ] || return 1
  echo "setup: installing again with the packages of $release preferred"
  "${as_root[@]}" apt-get install -y --no-install-recommends -o Dpkg::Use-Pty=0 \
    -t "$release" "$@"
}

# All packages in one query; one that is unknown, missing or half installed is installed.
declare -A status=()
while read -r state name; do
  status[$name]=$state
done < <(dpkg-query -W -f='${db:Status-Abbrev}${Package}\n' "${need[@]}" 2>/dev/null || true)
missing=()
for p in "${need[@]}"; do
  [ "${status[$p]:-}" = ii ] || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$what" = test ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    step "adding the i386 architecture for 32-bit Wine" "${as_root[@]}" dpkg --add-architecture i386
  fi
  step "reading the package lists" read_lists
  noun=packages
  [ ${#missing[@]} -gt 1 ] || noun=package
  step "installing ${#missing[@]} $noun (${missing[*]})" install_packages "${missing[@]}"
  sed -n 's/^Need to get \([^ ]* [^ ]*\).*/setup: downloaded \1 of packages/p' "$log" | tail -n 1
fi

[ "$what" = test ] || exit 0

# Wine takes the ANSI code page from the locale: ru_RU gives Windows-1251.
make_locale() {
  sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen
}
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  if [ ${#as_root[@]} -gt 0 ]; then
    step "generating the ru_RU.UTF-8 locale" sudo bash -c "$(declare -f make_locale); make_locale"
  else
    step "generating the ru_RU.UTF-8 locale" make_locale
  fi
fi

# A private Wine prefix, made once and reused by every run.
source "$here/scripts/wine-env.sh"
make_prefix() {
  mkdir -p "$WINEPREFIX"
  wineboot -i || true
  wineserver -w || true
  [ -f "$WINEPREFIX/system.reg" ]
}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  step "creating the Wine prefix $WINEPREFIX" make_prefix
fi

# Wine's own fonts (the dialogs' "MS Sans Serif", the "Marlett" symbols of the settings
# dialog's pad) are found only in the prefix's font folder.
wine_fonts=/usr/share/wine/fonts
prefix_fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -f "$wine_fonts/marlett.ttf" ] && [ ! -f "$prefix_fonts/marlett.ttf" ]; then
  step "giving the Wine prefix Wine's fonts" bash -c \
    "mkdir -p '$prefix_fonts' && cp -n '$wine_fonts'/* '$prefix_fonts'/"
fi
