#!/usr/bin/env bash
# The real player whose X server goes away under it ends by itself and without a signal: once
# with its windows up and the playlist shown, once while a message box waits for the student.
#   x-server-gone.sh PLAYER
set -euo pipefail
test_name=desktop_x_server_gone
player=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=../packaging/common.sh
source "$here/../packaging/common.sh"

player_beside_course "$player"
make_pdf_viewer

# $1 names the case; the course index is written (the windows come up) or not (a box says the
# index is missing).
server_goes_away() {
  local case=$1 pid server status
  rm -f "$work/course/bin/index.dat"
  if [ "$case" = "windows up" ]; then
    printf '\\m1.avi;Module 1;0:04\r\n' >"$work/course/bin/index.dat"
  fi
  start_x_server
  server=${started_pids[-1]}
  env -i HOME="$work/home" TMPDIR="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
    PATH="$work/tools:/usr/bin:/bin" DISPLAY="$DISPLAY" PELLIN_AUDIO_OUTPUT=null \
    "$work/course/bin/PellinPlayer" >"$work/player.log" 2>&1 &
  pid=$!
  if [ "$case" = "windows up" ]; then
    visible_window '^Pellin Playlist$' 30 "the playlist window" >/dev/null
  else
    visible_window '^Vorlund - IT Certification Videos v[0-9.]+$' 30 "the message box" >/dev/null
  fi
  kill "$server"
  wait "$server" 2>/dev/null || true
  started_pids=()
  status=0
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null || true
    cat "$work/player.log" >&2
    fail "$case: the player still runs 10 s after its X server went away"
  fi
  wait "$pid" || status=$?
  if [ "$status" -ge 128 ]; then
    cat "$work/player.log" >&2
    fail "$case: the player ended by signal $((status - 128)) (status $status)"
  fi
  echo "$case: the player ended with status $status"
}

server_goes_away "windows up"
server_goes_away "message box"
