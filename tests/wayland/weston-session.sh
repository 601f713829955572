#!/usr/bin/env bash
# Runs COMMAND inside a Wayland compositor of its own, as on a Wayland desktop session: weston's
# headless backend with the pixman renderer, one 1024x768 output, with Xwayland (--xwayland:
# DISPLAY names its X display, as GNOME and Plasma set it) or without (DISPLAY unset). Ends with
# COMMAND's status, or 77 (skipped) with the reason when weston cannot start here.
#   weston-session.sh [--xwayland] COMMAND...
set -euo pipefail
xwayland=no
if [ "${1:-}" = --xwayland ]; then
  xwayland=yes
  shift
fi
skip() {
  echo "weston-session: skipped: $1" >&2
  [ -f "$work/weston.log" ] && cat "$work/weston.log" >&2
  exit 77
}
work=$(mktemp -d)
weston_pid=
cleanup() {
  if [ -n "$weston_pid" ]; then
    kill "$weston_pid" 2>/dev/null || true
    wait "$weston_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
# A test cut short by its timeout still takes its compositor with it.
trap 'exit 143' TERM INT
command -v weston >/dev/null || skip "weston is not installed (scripts/setup installs it)"
mkdir -m 700 "$work/runtime"
socket=pellin-wayland-$$
arguments=(--backend=headless-backend.so --use-pixman --width=1024 --height=768
           --socket="$socket" --idle-time=0 --no-config --log="$work/weston.log")
[ "$xwayland" = yes ] && arguments+=(--xwayland)
XDG_RUNTIME_DIR="$work/runtime" weston "${arguments[@]}" >/dev/null 2>&1 &
weston_pid=$!
for _ in $(seq 200); do
  [ -S "$work/runtime/$socket" ] && break
  kill -0 "$weston_pid" 2>/dev/null || skip "weston ended at its start"
  sleep 0.1
done
[ -S "$work/runtime/$socket" ] || skip "weston offered no Wayland socket within 20 s"
unset DISPLAY XAUTHORITY
if [ "$xwayland" = yes ]; then
  # weston names the X display Xwayland will serve, started on the first X client.
  for _ in $(seq 100); do
    display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log")
    [ -n "$display" ] && break
    sleep 0.1
  done
  [ -n "$display" ] || skip "weston started no X display for Xwayland"
  export DISPLAY=$display
fi
export XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY="$socket" XDG_SESSION_TYPE=wayland
unset QT_QPA_PLATFORM
status=0
"$@" || status=$?
exit "$status"
