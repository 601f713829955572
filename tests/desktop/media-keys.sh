#!/usr/bin/env bash
# The real player on a real X server, driven by the desktop's media-controls client (playerctl)
# over a session bus of the test's own (run it inside dbus-run-session), as media keys drive it:
# Play with a course opened and nothing started plays its first entry; a position set while
# paused stays paused; Stop stops and stays stopped; after a video's end the controls offer Play
# only because Play plays.
#   media-keys.sh PLAYER
set -euo pipefail
test_name=desktop_media_keys
player=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=../packaging/common.sh
source "$here/../packaging/common.sh"

player_beside_course "$player"
for clip in m1 m2; do
  ffmpeg -loglevel error -f lavfi -i testsrc=size=320x240:rate=25 -t 3 -c:v mpeg4 \
    "$work/course/$clip.avi" || fail "ffmpeg could not make a clip"
done
printf '\\m1.avi;Module 1;0:03\r\n\\m2.avi;Module 2;0:03\r\n' >"$work/course/bin/index.dat"
make_pdf_viewer
start_x_server
for _ in $(seq 50); do
  xwininfo -root >/dev/null 2>&1 && break
  sleep 0.1
done
env -i HOME="$work/home" TMPDIR="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
  PATH="$work/tools:/usr/bin:/bin" DISPLAY="$DISPLAY" \
  DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" PELLIN_AUDIO_OUTPUT=null \
  "$work/course/bin/PellinPlayer" >"$work/player.log" 2>&1 &
started_pids+=("$!")
trap 'cat "$work/player.log" >&2; cleanup' EXIT

ctl() { playerctl --player=PellinPlayer "$@" 2>/dev/null; }
can_play() {
  dbus-send --session --print-reply=literal --dest=org.mpris.MediaPlayer2.PellinPlayer \
    /org/mpris/MediaPlayer2 org.freedesktop.DBus.Properties.Get \
    string:org.mpris.MediaPlayer2.Player string:CanPlay | awk '{print $NF}'
}
# Waits up to $2 seconds for the status $1.
await_status() {
  for _ in $(seq $(($2 * 10))); do
    [ "$(ctl status)" = "$1" ] && return 0
    sleep 0.1
  done
  fail "the status is $(ctl status), not $1, after $2 s ($3)"
}
# The status stays $1 through a second (twenty looks).
holds_status() {
  for _ in $(seq 20); do
    [ "$(ctl status)" = "$1" ] || fail "the status left $1 for $(ctl status) ($2)"
    sleep 0.05
  done
}

for _ in $(seq 200); do
  playerctl --list-all 2>/dev/null | grep -qx PellinPlayer && break
  sleep 0.1
done
playerctl --list-all 2>/dev/null | grep -qx PellinPlayer || fail "the player is not on the bus"
# The playlist fills once the main window has been shown a moment.
visible_window '^Pellin Playlist$' 30 "the playlist window" >/dev/null

await_status Stopped 5 "a course opened, nothing started"
[ "$(can_play)" = true ] || fail "CanPlay is $(can_play) with a course opened"
ctl play
await_status Playing 10 "Play with nothing started"
[ "$(ctl metadata xesam:title)" = "Module 1" ] || fail "Play started $(ctl metadata xesam:title)"

ctl pause
await_status Paused 5 "Pause"
ctl position 2
holds_status Paused "a position set while paused"
position=$(ctl position)
awk -v p="$position" 'BEGIN { exit !(p >= 1.5 && p <= 2.5) }' ||
  fail "the position is $position after setting it to 2 while paused"
[ "$(ctl position)" = "$position" ] || fail "the position moves while paused"

ctl stop
await_status Stopped 5 "Stop while paused"
holds_status Stopped "after Stop while paused"
ctl play
await_status Playing 10 "Play after Stop"
ctl stop
await_status Stopped 5 "Stop while playing"
holds_status Stopped "after Stop while playing"

# To the end of a video: the end stops it, and what the controls then offer works.
ctl play
await_status Playing 10 "Play after Stop"
await_status Stopped 20 "the video's end"
if [ "$(can_play)" = true ]; then
  ctl play
  await_status Playing 10 "Play after the end, which CanPlay offers"
fi
trap cleanup EXIT
echo "$test_name: passed"
