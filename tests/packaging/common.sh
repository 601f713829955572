# shellcheck shell=bash
# Helpers of the packaging tests, sourced by each of them after setting `test_name`:
# a scratch folder that goes away, failures that say which test failed, a private X server, and
# waiting for a window of a process started by the test. Every process a test starts is ended
# by its own id when the test ends.

: "${test_name:?the test sets its name before sourcing common.sh}"
work=$(mktemp -d)
started_pids=()

fail() {
  echo "$test_name: $*" >&2
  exit 1
}

# Last started, first ended: the player goes before the X server it draws on.
end_started() {
  local i pid
  for ((i = ${#started_pids[@]} - 1; i >= 0; i--)); do
    pid=${started_pids[i]}
    kill "$pid" 2>/dev/null || true
    # A process of another user is no child of this shell: wait for it to go.
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    wait "$pid" 2>/dev/null || true
  done
  started_pids=()
}

cleanup() {
  end_started
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Starts Xvfb on a free display (1024x768, so the player's low-resolution warning stays away)
# and exports DISPLAY. Local clients of any user may connect: no authorisation file is used. The
# server does not reset when its last client leaves (-noreset): a client connecting during the
# reset, as the player right after the test's first look at the display, would be refused.
start_x_server() {
  rm -f "$work/display"
  Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" \
    2>"$work/xvfb.log" &
  local pid=$!
  started_pids+=("$pid")
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
    sleep 0.1
  done
  [ -s "$work/display" ] || fail "Xvfb reported no display"
  DISPLAY=":$(tr -d '[:space:]' <"$work/display")"
  export DISPLAY
}

# Prints the id of the first visible window whose name matches the extended regular expression
# $1, waiting up to $2 seconds for it; fails, naming $3, when it does not appear.
visible_window() {
  local pattern=$1 seconds=$2 what=$3 id
  for _ in $(seq $((seconds * 4))); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return
    fi
    sleep 0.25
  done
  xwininfo -root -tree >&2 || true
  fail "$what did not appear within $seconds s"
}

# The process whose program file is $1, once it runs (up to 30 s); prints its id.
process_of() {
  local program=$1 entry
  for _ in $(seq 120); do
    for entry in /proc/[0-9]*; do
      if [ "$(readlink "$entry/exe" 2>/dev/null)" = "$program" ]; then
        echo "${entry#/proc/}"
        return
      fi
    done
    sleep 0.25
  done
  fail "$program did not start"
}

# Builds the Debian package of build tree $1 into $work/out and sets deb to its path.
build_deb() {
  cpack -G DEB --config "$1/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
  shopt -s nullglob
  local packages=("$work"/out/pellin-player_*.deb)
  shopt -u nullglob
  [ ${#packages[@]} -eq 1 ] ||
    fail "cpack wrote ${#packages[@]} packages, not one pellin-player_*.deb"
  deb=${packages[0]}
}

# The real player beside a course of its own ($work/course/bin/PellinPlayer, copied from $1),
# with a private home and runtime folder, on the session bus the test runs inside.
player_beside_course() {
  [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || fail "no session bus: run inside dbus-run-session"
  mkdir -p "$work/home" "$work/runtime" "$work/course/bin"
  chmod 700 "$work/runtime"
  cp "$1" "$work/course/bin/PellinPlayer"
}

# A stand-in PDF viewer on the search path answers the player's Reader question, so that no
# question box holds up the start-up.
make_pdf_viewer() {
  mkdir -p "$work/tools"
  printf '#!/bin/sh\nexit 0\n' >"$work/tools/mupdf"
  chmod 755 "$work/tools" "$work/tools/mupdf"
}

# Grabs the middle of main window $1, its video area (the toolbar above it, the slider and the
# status bar below it are left out), into the picture $2; differs tells two grabs apart and
# bright sees a picture rather than the dark empty area.
video_area() {
  local geometry
  geometry=$(xdotool getwindowgeometry --shell "$1")
  eval "$geometry"
  import -window root \
    -crop "$((WIDTH * 6 / 10))x$((HEIGHT * 5 / 10))+$((X + WIDTH * 2 / 10))+$((Y + HEIGHT * 2 / 10))" \
    +repage "$2"
}
differs() {
  local pixels
  pixels=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
  [ "${pixels%% *}" != 0 ]
}
bright() {
  [ "$(convert "$1" -colorspace Gray -format '%[fx:int(100*mean)]' info:)" -gt 25 ]
}
