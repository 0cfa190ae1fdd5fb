#!/usr/bin/env bash
# Runs the README's two commands as a new user would on a bare machine: each in a fresh
# minimal Debian bookworm root (debootstrap minbase, from this machine's mirror with its
# updates and security lines), in a clean clone of the committed tree, with an empty
# environment (no HOME) and standard input closed. Prints each command's wall time, the
# package download sizes and the last lines of its output. Needs root; slow, so it is
# run by hand and not by CI.
#   scripts/fresh-debian-run.sh [demo|test]...   (default: demo, then test, each alone)
# Roots and logs go to out/fresh/ (ZUNK_FRESH_DIR names another folder); a root is
# removed after its run unless KEEP_ROOT=1.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
work=${ZUNK_FRESH_DIR:-$here/out/fresh}
mkdir -p "$work"
work=$(realpath "$work")
suite=bookworm
[ $# -gt 0 ] || set -- demo test
for which in "$@"; do
  case "$which" in
    demo | test) ;;
    *) echo "usage: scripts/fresh-debian-run.sh [demo|test]..." >&2; exit 2 ;;
  esac
done
[ "$(id -u)" -eq 0 ] || { echo "fresh-debian-run: needs root (debootstrap, chroot, mount)" >&2; exit 1; }

# The README's command for "demo" or "test": the line of its first sh block that runs it.
readme_command() {
  sed -n '/^## Two commands/,/^## /p' "$here/README.md" |
    sed -n '/^```sh/,/^```/p' | grep -m1 "setup.sh $1" | sed 's/ *#.*//'
}

# This machine's mirrors: the one of "bookworm" and the one of "bookworm-security", from
# one-line and deb822 sources alike.
mirror_of() {
  local f files=()
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && files+=("$f")
  done
  [ ${#files[@]} -gt 0 ] || return 0
  awk -v want="$1" '
    function consider(u, list,   n, a, i) {
      n = split(list, a, " ")
      for (i = 1; i <= n; i++) {
        if (a[i] == "bookworm" && main == "") main = u
        if (a[i] == "bookworm-security" && sec == "") sec = u
      }
    }
    function stanza() { if (uri != "") consider(uri, suites); uri = ""; suites = "" }
    FNR == 1 { stanza() }
    /^deb / { sub(/\[[^]]*\] */, ""); consider($2, $3); next }
    /^URIs:/ { uri = $2 }
    /^Suites:/ { suites = $0; sub(/^Suites:/, "", suites) }
    /^[ \t]*$/ { stanza() }
    END { stanza(); print (want == "security" ? sec : main) }
  ' "${files[@]}"
}
mirror=$(mirror_of main)
security=$(mirror_of security)
mirror=${mirror:-http://deb.debian.org/debian}
security=${security:-http://deb.debian.org/debian-security}

if ! command -v debootstrap >/dev/null; then
  echo "fresh-debian-run: installing debootstrap"
  apt-get install -y -q debootstrap >>"$work/host-setup.log" 2>&1 ||
    { apt-get update -q && apt-get install -y -q debootstrap; } >>"$work/host-setup.log" 2>&1
fi

# A clean clone of the committed tree, the same for every root.
commit=$(git -C "$here" rev-parse HEAD)
clone="$work/clone"
rm -rf "$clone"
git clone -q --no-checkout "$here" "$clone"
git -C "$clone" checkout -q --detach "$commit"

# Mounts under a folder that a run killed outright left behind, innermost first.
unmount_under() {
  awk -v top="$1/" 'index($2, top) == 1 { print $2 }' /proc/mounts | sort -r |
    while read -r m; do umount "$m" 2>/dev/null || umount -l "$m"; done
}

root=""
mounted=()
cleanup() {
  [ -n "$root" ] || return 0
  # Whatever the run left behind in the root (Wine's server, an X server) ends first.
  local p
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill -9 "${p#/proc/}" 2>/dev/null
  done
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" 2>/dev/null || true
  done
  mounted=()
  if [ "${KEEP_ROOT:-0}" != 1 ] && ! grep -q " $root/" /proc/mounts; then
    rm -rf "$root"
  fi
  root=""
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mount_into() { # mount_into TARGET MOUNT-ARGS...
  local target=$1
  shift
  mkdir -p "$target"
  mount "$@" "$target"
  mounted+=("$target")
}

seconds() { # elapsed since a micro-second stamp
  local us=$((${EPOCHREALTIME//[!0-9]/} - $1))
  printf '%d min %d s' $((us / 60000000)) $((us / 1000000 % 60))
}

for which in "$@"; do
  command=$(readme_command "$which")
  [ -n "$command" ] || { echo "fresh-debian-run: no $which command in README.md" >&2; exit 1; }
  root="$work/root-$which"
  log="$work/$which.log"
  unmount_under "$root"
  rm -rf "$root"
  echo "== $which: a fresh $suite root in $root"
  t0=${EPOCHREALTIME//[!0-9]/}
  mkdir -p "$work/debootstrap-cache"
  debootstrap --variant=minbase --cache-dir="$work/debootstrap-cache" "$suite" "$root" "$mirror" >"$work/$which-debootstrap.log" 2>&1 ||
    { tail -n 20 "$work/$which-debootstrap.log"; exit 1; }
  cat >"$root/etc/apt/sources.list" <<EOF
deb $mirror $suite main
deb $mirror $suite-updates main
deb $security $suite-security main
EOF
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  echo "   debootstrap: $(seconds "$t0")"

  mount_into "$root/proc" -t proc proc
  mount_into "$root/dev" --bind /dev
  mount_into "$root/dev/pts" --bind /dev/pts
  mount_into "$root/dev/shm" --bind /dev/shm
  mount_into "$root/tmp" --bind /tmp
  cp -a "$clone" "$root/root/zunk"

  echo "   \$ $command"
  t0=${EPOCHREALTIME//[!0-9]/}
  rc=0
  chroot "$root" /usr/bin/env -i /bin/bash -c "cd /root/zunk && $command" \
    </dev/null >"$log" 2>&1 || rc=$?
  echo "   wall time: $(seconds "$t0"), exit $rc"
  cp "$root/root/zunk/out/setup.log" "$work/$which-setup.log" 2>/dev/null || true
  grep -h '^Need to get\|^After this operation' "$work/$which-setup.log" 2>/dev/null |
    sed 's/^/   apt: /'
  echo "   last lines (all in $log):"
  tail -n 15 "$log" | sed 's/^/   | /'
  cleanup
  [ $rc -eq 0 ] || exit $rc
done
