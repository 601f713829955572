#!/usr/bin/env bash
# Runs a command on an X server of its own (Xvfb, 1024x768 at 24 bits) and ends the server with
# it; the command's status is this script's.
#   x-server.sh COMMAND [ARGUMENT ...]
# The server picks its display number itself and reports it on a descriptor (-displayfd): it
# takes the first number whose socket it can bind, which no other server holds. A number chosen
# from the lock files in /tmp, as xvfb-run -a chooses it, can be taken by a second server starting
# at the same moment in a parallel test run, and one of the two then refuses its clients.
set -uo pipefail
[ $# -gt 0 ] || { echo "usage: x-server.sh COMMAND [ARGUMENT ...]" >&2; exit 2; }
work=$(mktemp -d "${TMPDIR:-/tmp}/x-server.XXXXXX") || exit 1
server=
end_server() {
  if [ -n "$server" ] && kill -0 "$server" 2>/dev/null; then
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
  fi
  rm -rf "$work"
}
trap end_server EXIT
trap 'exit 143' TERM INT

mkfifo "$work/display" || exit 1
# It does not reset when its last client leaves (-noreset): a client that connects during the
# reset is refused.
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" \
  2>"$work/xvfb.log" &
server=$!
# The number comes once the server is ready for clients; a server that fails closes the pipe
# without one.
number=$(head -n 1 <"$work/display")
if [ -z "$number" ]; then
  echo "x-server.sh: Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$number"
unset XAUTHORITY
"$@"
