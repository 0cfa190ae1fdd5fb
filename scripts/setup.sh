#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian machine, once. Idempotent:
# packages already present are not fetched again, the locale and the Wine prefix
# are made only when missing.
set -euo pipefail

need=(cmake make g++ pkg-config googletest libgtest-dev libbenchmark-dev libfreetype-dev
      g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
      wine wine32 xvfb x11-apps imagemagick ffmpeg libyuv-dev locales fonts-dejavu-core xauth)

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine takes the ANSI code page from the locale: ru_RU gives Windows-1251.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  echo "setup: generating ru_RU.UTF-8"
  $sudo sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi

# A private Wine prefix, made once and reused by every run.
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/wine-env.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "setup: creating the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
