#!/usr/bin/env bash
# The course disc plays from read-only media: the image is built, extracted into a folder that
# its user cannot write, and its PellinStart runs there as an unprivileged user (nobody when the
# test runs as root) in a private X server, with nothing of the caller's environment (no
# LD_LIBRARY_PATH, no Qt variables). PellinStart installs the disc's runtime into the user's own
# folder; the player must run from the disc's bin/ on the libraries of that folder (the course
# found beside it on the disc), show the course's playlist, play a video whose pixels move when a
# playlist entry is clicked, and leave the disc as it was.
#   disc.sh BUILD_DIR
set -euo pipefail
test_name=packaging_disc
build=$1
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "$0")/common.sh"

cmake --build "$build" --target course-disc >"$work/build.log" 2>&1 ||
  { cat "$work/build.log" >&2; fail "building the course disc failed"; }
image=$(sed -n 's/^PELLIN_DISC_IMAGE:FILEPATH=//p' "$build/CMakeCache.txt")
[ -s "$image" ] || fail "no disc image at $image"

# The folder and the files in it belong to root (or to the caller) and nobody may write them.
chmod 755 "$work"
disc=$(realpath "$work")/disc
osirrox -indev "$image" -extract / "$disc" >"$work/osirrox.log" 2>&1 ||
  { cat "$work/osirrox.log" >&2; fail "osirrox could not extract the image"; }
chmod -R a-w "$disc"
snapshot() {
  (cd "$disc" && find . -printf '%M %s %T@ %p\n' | LC_ALL=C sort &&
     find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum)
}
snapshot >"$work/disc-before.txt"

# The display, graphics and sound libraries are the system's, and one platform plug-in folder
# is all the disc carries of Qt's plug-ins.
if find "$disc/bin/lib" -regextype egrep \
  -regex '.*/lib(pulse|pipewire|va|va-drm|va-x11|vdpau|vulkan|OpenCL)[-.][^/]*' | grep . >&2; then
  fail "the disc carries display, graphics or sound libraries of its own"
fi
[ "$(ls "$disc/bin/plugins")" = platforms ] || fail "bin/plugins holds more than the platforms folder"
[ -s "$disc/bin/runtime.sha256" ] || fail "the disc has no list of its runtime"

home=$work/home
mkdir -p "$home"
runtime=$home/.cache/pellin-runtime/$(sha256sum "$disc/bin/runtime.sha256" | cut -d' ' -f1)
make_pdf_viewer
as_student=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody:nogroup "$home"
  as_student=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
# shellcheck disable=SC2016 # the inner shell expands $1
if "${as_student[@]}" sh -c 'touch "$1/bin/written" || mkdir "$1/written"' sh "$disc" 2>/dev/null
then
  fail "the student can write the disc folder"
fi

start_x_server
# PellinStart starts the player and ends at once with 1; the player goes on on its own.
status=0
# shellcheck disable=SC2016 # the inner shell expands $1
"${as_student[@]}" env -i HOME="$home" TMPDIR="$home" PATH="$work/tools:/usr/bin:/bin" \
  DISPLAY="$DISPLAY" LD_DEBUG=libs LD_DEBUG_OUTPUT="$home/loader" \
  sh -c 'cd "$1" && exec ./PellinStart' sh "$disc" >"$work/launcher.log" 2>&1 ||
  status=$?
[ "$status" -eq 1 ] || { cat "$work/launcher.log" >&2; fail "PellinStart ended with $status"; }
player=$(process_of "$disc/bin/PellinPlayer")
started_pids+=("$player")
playlist=$(visible_window '^Pellin Playlist$' 60 "the course's playlist")
main=$(visible_window '^Vorlund - IT Certification Videos - \(' 10 "the main window with the course")

# The launcher showed its copy and made the user's folder, private to the user.
grep -q 'Installing the course player: 100 %' "$work/launcher.log" ||
  { cat "$work/launcher.log" >&2; fail "PellinStart showed no install"; }
if [ ! -d "$runtime" ] || [ -L "$runtime" ]; then
  fail "no runtime was installed at $runtime"
fi
[ "$(stat -c %a "$runtime")" = 700 ] || fail "$runtime is open to others"

# The disc's PellinStart links no Qt, and the launcher it runs takes Qt from the user's copy:
# no toolkit library is read from the disc once the runtime is installed.
if readelf -d "$disc/PellinStart" | grep 'NEEDED.*libQt' >&2; then
  fail "the disc's PellinStart links Qt"
fi
launcher_loads=$(grep -l 'initialize program: \./PellinStart$' "$home"/loader.* | head -n 1)
[ -n "$launcher_loads" ] || fail "no loader record of PellinStart"
grep -q "calling init: $runtime/lib/libQt6Core\.so\.6$" "$launcher_loads" ||
  fail "the launcher did not take Qt from the user's copy"
if grep "calling init: $disc/" "$launcher_loads" >&2; then
  fail "the launcher loaded libraries from the disc although the runtime is installed"
fi

# Qt, its platform plugin, the engine module and libmpv come from the user's copy of the disc's
# runtime, and no library that the disc carries comes from the system.
engine_loaded() { grep -q '/pellin-libmpv\.so' "/proc/$player/maps"; }
for _ in $(seq 120); do engine_loaded && break; sleep 0.25; done
engine_loaded || fail "the engine module did not load"
awk '$6 ~ /\.so/ {print $6}' "/proc/$player/maps" | sort -u >"$work/maps.txt"
for library in libQt6Core libQt6Gui libQt6Widgets libQt6XcbQpa libqxcb pellin-libmpv libmpv libavcodec; do
  grep -q "/$library\.so" "$work/maps.txt" || fail "$library is not loaded"
  if grep "/$library\.so" "$work/maps.txt" | grep -v "^$runtime/" >&2; then
    fail "$library is not the installed runtime's"
  fi
done
if grep "^$disc/bin/lib/" "$work/maps.txt" >&2; then
  fail "the player maps libraries from the disc although the runtime is installed"
fi
ls "$disc/bin/lib" >"$work/carried.txt"
while read -r file; do
  case "$file" in "$disc"/* | "$runtime"/*) continue ;; esac
  soname=$(readelf -d "$file" 2>/dev/null | sed -n 's/.*(SONAME).*\[\(.*\)\]$/\1/p')
  if [ -n "$soname" ] && grep -qxF "$soname" "$work/carried.txt"; then
    fail "$file was loaded from the system although the disc carries $soname"
  fi
done <"$work/maps.txt"

video_area "$main" "$work/course-picture.png"

# Any row of the list will do: every entry of the demo course is a video. The click lands in
# the list, below the toolbar strip and the column header.
eval "$(xdotool getwindowgeometry --shell "$playlist")"
xdotool mousemove --sync $((X + 60)) $((Y + 90)) click 1

# A video frame covers the course picture (the empty video area is dark), then the next frames
# differ from it.
playing=false
for _ in $(seq 120); do
  video_area "$main" "$work/first.png"
  if differs "$work/course-picture.png" "$work/first.png" && bright "$work/first.png"; then
    playing=true
    break
  fi
  sleep 0.25
done
$playing || fail "no video picture appeared in the main window"
moved=false
for _ in $(seq 40); do
  sleep 0.25
  video_area "$main" "$work/next.png"
  if differs "$work/first.png" "$work/next.png"; then
    moved=true
    break
  fi
done
$moved || fail "the video picture does not move"

# Started from the disc's bin/ directly, without the launcher, the player takes its engine and
# its platform plug-in from the user's copy, since it is there and whole.
kill "$player"
for _ in $(seq 50); do kill -0 "$player" 2>/dev/null || break; sleep 0.1; done
# shellcheck disable=SC2016 # the inner shell expands $1
"${as_student[@]}" env -i HOME="$home" TMPDIR="$home" PATH="$work/tools:/usr/bin:/bin" \
  DISPLAY="$DISPLAY" sh -c 'cd "$1/bin" && exec ./PellinPlayer' sh "$disc" >"$work/direct.log" 2>&1 &
player=$(process_of "$disc/bin/PellinPlayer")
started_pids+=("$player")
visible_window '^Vorlund - IT Certification Videos - \(' 60 "the main window of the player started directly" >/dev/null
for _ in $(seq 120); do engine_loaded && break; sleep 0.25; done
engine_loaded || { cat "$work/direct.log" >&2; fail "the engine module did not load in the player started directly"; }
for library in libqxcb pellin-libmpv libmpv libavcodec; do
  if grep "/$library\.so" "/proc/$player/maps" | awk '{print $6}' | grep -v "^$runtime/" >&2; then
    fail "the player started directly took $library from elsewhere than the installed runtime"
  fi
done

end_started
snapshot >"$work/disc-after.txt"
diff "$work/disc-before.txt" "$work/disc-after.txt" >&2 || fail "the disc changed"
echo "$test_name: passed"
