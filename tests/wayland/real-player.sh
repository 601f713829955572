#!/usr/bin/env bash
# The real player inside the compositor weston-session.sh started (run it inside dbus-run-session
# there), with a clip given on its command line: on the X display where Xwayland is there (its
# main window is an X window of that display), natively on Wayland otherwise; it plays (as the
# desktop's media controls see it), ends with status 0 on File > Exit (pressed over AT-SPI:
# the headless compositor has no keyboard) and says nothing on the terminal on the way.
#   real-player.sh PLAYER
set -euo pipefail
test_name=wayland_real_player
player=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=../packaging/common.sh
source "$here/../packaging/common.sh"

player_beside_course "$player"
printf '\\m1.avi;Module 1;0:06\r\n' >"$work/course/bin/index.dat"
ffmpeg -loglevel error -f lavfi -i testsrc=size=320x240:rate=25 -t 6 -c:v mpeg4 \
  "$work/course/m1.avi" || fail "ffmpeg could not make a clip"
make_pdf_viewer
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
started_pids+=("$!")
environment=(HOME="$work/home" TMPDIR="$work/home" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR"
             PATH="$work/tools:/usr/bin:/bin" WAYLAND_DISPLAY="$WAYLAND_DISPLAY"
             XDG_SESSION_TYPE=wayland DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS"
             QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 PELLIN_AUDIO_OUTPUT=null)
[ -n "${DISPLAY:-}" ] && environment+=(DISPLAY="$DISPLAY")
env -i "${environment[@]}" "$work/course/bin/PellinPlayer" "$work/course/m1.avi" \
  >"$work/player.log" 2>&1 &
player_pid=$!
trap 'cat "$work/player.log" >&2; cleanup' EXIT

status() { playerctl --player=PellinPlayer status 2>/dev/null || true; }
for _ in $(seq 300); do
  [ "$(status)" = Playing ] && break
  kill -0 "$player_pid" 2>/dev/null || fail "the player ended before it played"
  sleep 0.1
done
[ "$(status)" = Playing ] || fail "the player does not play the clip given (status: $(status))"
if [ -n "${DISPLAY:-}" ]; then
  xdotool search --name '^Vorlund - IT Certification Videos' >/dev/null ||
    fail "the main window is no window of the X display $DISPLAY"
fi

/usr/bin/python3 "$here/press-menu-item.py" Exit || fail "File > Exit could not be pressed"
ended=no
for _ in $(seq 300); do
  kill -0 "$player_pid" 2>/dev/null || { ended=yes; break; }
  sleep 0.1
done
[ "$ended" = yes ] || fail "the player still runs after File > Exit"
code=0
wait "$player_pid" || code=$?
[ "$code" = 0 ] || fail "the player ended with status $code after File > Exit"
# Nothing of the Wayland session's limits reaches the terminal.
if grep -v '^$' "$work/player.log" | grep -q .; then
  fail "the player said on the terminal: $(cat "$work/player.log")"
fi
trap cleanup EXIT
where="Wayland alone"
[ -n "${DISPLAY:-}" ] && where="the X display $DISPLAY"
echo "$test_name: played and ended with 0 on $where"
