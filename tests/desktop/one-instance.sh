#!/usr/bin/env bash
# One player per desktop session, on a session bus of the test's own (run it inside
# dbus-run-session): a second start hands its video to the running player and ends at once with
# 0, and the running player plays it; without a session bus every start is a player of its own,
# as before.
#   one-instance.sh PLAYER
set -euo pipefail
test_name=desktop_one_instance
player=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=../packaging/common.sh
source "$here/../packaging/common.sh"

player_beside_course "$player"
mkdir -p "$work/videos"
# The handed video plays long enough to be seen playing.
ffmpeg -loglevel error -f lavfi -i testsrc=size=320x240:rate=25 -t 20 -c:v mpeg4 \
  "$work/videos/Handed.avi" || fail "ffmpeg could not make a clip"
ln -s ../videos/Handed.avi "$work/course/m1.avi"
printf '\\m1.avi;Module 1;0:03\r\n' >"$work/course/bin/index.dat"
make_pdf_viewer
start_x_server
for _ in $(seq 50); do
  xwininfo -root >/dev/null 2>&1 && break
  sleep 0.1
done

# Starts the player with the bus $1 (empty: none) and the arguments after it.
start_player() {
  local bus=$1
  shift
  env -i HOME="$work/home" TMPDIR="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
    PATH="$work/tools:/usr/bin:/bin" DISPLAY="$DISPLAY" DBUS_SESSION_BUS_ADDRESS="$bus" \
    PELLIN_AUDIO_OUTPUT=null "$work/course/bin/PellinPlayer" "$@" >>"$work/player.log" 2>&1 &
  started_pids+=("$!")
}
main_windows() {
  xdotool search --onlyvisible --name '^Vorlund - IT Certification Videos -' 2>/dev/null | wc -l
}
trap 'cat "$work/player.log" >&2; cleanup' EXIT

start_player "$DBUS_SESSION_BUS_ADDRESS"
first=${started_pids[-1]}
visible_window '^Vorlund - IT Certification Videos -' 30 "the first player's main window" >/dev/null
for _ in $(seq 100); do
  playerctl --list-all 2>/dev/null | grep -qx PellinPlayer && break
  sleep 0.1
done

start_player "$DBUS_SESSION_BUS_ADDRESS" "$work/videos/Handed.avi"
second=${started_pids[-1]}
for _ in $(seq 300); do
  kill -0 "$second" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$second" 2>/dev/null && fail "the second start did not end"
status=0
wait "$second" || status=$?
[ "$status" -eq 0 ] || fail "the second start ended with $status"
kill -0 "$first" 2>/dev/null || fail "the first player ended"
for _ in $(seq 100); do
  [ "$(playerctl --player=PellinPlayer metadata xesam:url 2>/dev/null)" = \
    "file://$work/videos/Handed.avi" ] && break
  sleep 0.1
done
url=$(playerctl --player=PellinPlayer metadata xesam:url 2>/dev/null || true)
[ "$url" = "file://$work/videos/Handed.avi" ] || fail "the running player plays '$url'"
[ "$(playerctl --player=PellinPlayer status)" = Playing ] || fail "the handed video does not play"
[ "$(main_windows)" -eq 1 ] || fail "$(main_windows) main windows are showing"
end_started

# Without a bus the second start is a player of its own.
start_x_server
start_player ""
visible_window '^Vorlund - IT Certification Videos -' 30 "the first player's main window" >/dev/null
start_player ""
for _ in $(seq 120); do
  [ "$(main_windows)" -ge 2 ] && break
  sleep 0.25
done
[ "$(main_windows)" -eq 2 ] || fail "without a bus $(main_windows) main windows show, not 2"
trap cleanup EXIT
echo "$test_name: passed"
