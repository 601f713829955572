#!/usr/bin/env bash
# The real player on a real X server, read as a screen reader reads it: over AT-SPI, on the
# accessibility bus of a session bus of the test's own (run it inside dbus-run-session).
#   accessible-tree.sh PLAYER
set -euo pipefail
test_name=desktop_accessible_tree
player=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=../packaging/common.sh
source "$here/../packaging/common.sh"

player_beside_course "$player"
# A course beside the program, as on a course disc: its index fills the playlist.
printf '\\m1.avi;Module 1;0:04\r\n' >"$work/course/bin/index.dat"
make_pdf_viewer
start_x_server
# The display must answer before the player connects to it.
for _ in $(seq 50); do
  xwininfo -root >/dev/null 2>&1 && break
  sleep 0.1
done
xwininfo -root >/dev/null 2>&1 || { cat "$work/xvfb.log" >&2; fail "the X server does not answer"; }
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
started_pids+=("$!")

# What the display looked like when the test failed: whose lock and sockets the display number
# has, whether our server still runs and answers, and what the player and the server logged.
display_state() {
  local number=${DISPLAY#:}
  echo "display $DISPLAY, our server: ${started_pids[0]:-none}"
  ps -o pid=,stat=,args= -p "${started_pids[0]:-1}" 2>&1 || echo "our server is gone"
  echo "lock: $(cat "/tmp/.X$number-lock" 2>&1 | tr -d ' ')"
  ls -l "/tmp/.X11-unix/X$number" 2>&1
  grep -a "@/tmp/.X11-unix/X$number\b" /proc/net/unix 2>&1 | head -n 3
  xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && echo "xdpyinfo: answers" || echo "xdpyinfo: no answer"
  echo "player's log:"
  cat "$work/player.log"
  echo "server's log:"
  cat "$work/xvfb.log"
}

start_player() {
  env -i HOME="$work/home" TMPDIR="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
    PATH="$work/tools:/usr/bin:/bin" DISPLAY="$DISPLAY" \
    DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    PELLIN_AUDIO_OUTPUT=null "$work/course/bin/PellinPlayer" >"$work/player.log" 2>&1 &
  player_pid=$!
  started_pids+=("$player_pid")
}

# A player that ends before its windows show tells why, and what the display looked like then.
trap 'display_state >&2; cleanup' EXIT
start_player
visible_window '^Vorlund - IT Certification Videos -$' 30 "the main window" >/dev/null
# The playlist window comes up four seconds after the main window.
visible_window '^Pellin Playlist$' 30 "the playlist window" >/dev/null

/usr/bin/python3 "$here/accessible-tree.py" || fail "the tree is not as a screen reader needs it"
trap cleanup EXIT
