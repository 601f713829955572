#!/usr/bin/env bash
# The course disc on a Debian 12 system that has only what the README says the disc needs: a
# minimal system is made with debootstrap (or ROOT, made by an earlier run, is used again), the
# packages that the README's disc paragraph names are installed without their recommendations,
# and the disc's PellinStart runs in it as a new user on an X server of this machine. The course's
# playlist must show, no library may be missing, and a clicked entry must play (its pixels move).
# It needs root and Debian's archive, so it is a check to run by hand, not a CTest test:
#   fresh-system.sh BUILD_DIR [ROOT]
set -euo pipefail
test_name=fresh_system
build=$1
root=${2:-}
top=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "$0")/common.sh"
[ "$(id -u)" -eq 0 ] || fail "needs root (debootstrap, chroot and mounts)"

# The packages are the ones the README names, so that the text and the check cannot part.
# shellcheck disable=SC2016 # the backquotes are the README's, not the shell's
mapfile -t packages < <(sed -n '/^What the disc needs of the computer/,/^$/p' "$top/README.md" |
  grep -o '`[a-z0-9][a-z0-9.+-]*`' | tr -d '`')
[ ${#packages[@]} -gt 5 ] || fail "found no package list in the README's disc paragraph"

if [ -z "$root" ]; then
  root=$work/root
  debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian \
    >"$work/debootstrap.log" 2>&1 || { tail "$work/debootstrap.log" >&2; fail "debootstrap failed"; }
fi
mounted=()
unmount_all() {
  local i
  end_started
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
  cleanup
}
trap unmount_all EXIT
mount_in() {
  mkdir -p "$root$2"
  mount "${@:3}" "$1" "$root$2"
  mounted+=("$root$2")
}
mount_in proc /proc -t proc
mount_in tmpfs /dev/shm -t tmpfs
mount_in /tmp/.X11-unix /tmp/.X11-unix --bind
chroot "$root" sh -c "apt-get update -q && DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -q --no-install-recommends ${packages[*]}" >"$work/apt.log" 2>&1 ||
  { tail "$work/apt.log" >&2; fail "installing the README's packages failed"; }
for forbidden in libqt6core6 libmpv2; do
  if chroot "$root" dpkg -s "$forbidden" >/dev/null 2>&1; then fail "$forbidden came with them"; fi
done
chroot "$root" sh -c 'id student >/dev/null 2>&1 || useradd -m student'

cmake --build "$build" --target course-disc >"$work/build.log" 2>&1 ||
  { cat "$work/build.log" >&2; fail "building the course disc failed"; }
image=$(sed -n 's/^PELLIN_DISC_IMAGE:FILEPATH=//p' "$build/CMakeCache.txt")
osirrox -indev "$image" -extract / "$work/disc" >"$work/osirrox.log" 2>&1 ||
  { cat "$work/osirrox.log" >&2; fail "osirrox could not extract the image"; }
mount_in "$work/disc" /mnt/disc --bind -o ro

start_x_server
chroot "$root" su student -c "cd /mnt/disc && DISPLAY=$DISPLAY ./PellinStart" \
  >"$work/launcher.log" 2>&1 || true
if grep 'error while loading shared libraries' "$work/launcher.log" >&2; then
  fail "a library the disc needs is not on the system"
fi
started_pids+=("$(process_of "$root/mnt/disc/bin/PellinPlayer")")
# No PDF viewer is installed, so the player asks about the Reader first (a box under the title
# with the version): "No".
first=$(visible_window '^Pellin Playlist$| v[0-9.]+$' 120 "the player's first window")
if xdotool getwindowname "$first" | grep -q ' v[0-9.]*$'; then
  xdotool windowfocus --sync "$first" key --clearmodifiers alt+n
fi
playlist=$(visible_window '^Pellin Playlist$' 60 "the course's playlist")
eval "$(xdotool getwindowgeometry --shell "$playlist")"
xdotool mousemove $((X + 100)) $((Y + 90)) click 1
sleep 3
import -window root "$work/first.png"
sleep 1
import -window root "$work/second.png"
changed=$(compare -metric AE "$work/first.png" "$work/second.png" null: 2>&1 || true)
[ "${changed%% *}" -gt 1000 ] 2>/dev/null || { cat "$work/launcher.log" >&2; fail "the clicked entry does not play"; }
echo "$test_name: passed (${packages[*]})"
