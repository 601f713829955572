#!/usr/bin/env bash
# The installed player, started as the desktop's menu starts it (no course beside it), comes up
# with an empty playlist and no failure report, shows its own icon and the window class its
# desktop entry names; started with a playlist file, as the desktop opens a .pel file, it opens it.
#   installed-player.sh BUILD_DIR
set -euo pipefail
test_name=packaging_installed_player
build=$1
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "$0")/common.sh"

DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; fail "cmake --install failed"; }
root=$work/stage/usr
mkdir -p "$work/home"
make_pdf_viewer
start_x_server

run_player() {
  env -i HOME="$work/home" TMPDIR="$work/home" PATH="$work/tools:/usr/bin:/bin" \
    DISPLAY="$DISPLAY" "$root/bin/PellinPlayer" "$@" >>"$work/player.log" 2>&1 &
  started_pids+=("$!")
}

# A report would be a box before the main window is shown, and the start-up would wait for it:
# the main window appearing with the bare caption is the start-up passing without one.
run_player
main=$(visible_window '^Vorlund - IT Certification Videos -$' 30 "the main window")
visible_window '^Pellin Playlist$' 30 "the playlist window" >/dev/null
if xdotool search --onlyvisible --name ' v2\.1\.0$' >/dev/null 2>&1; then
  fail "a message box is showing"
fi

icons=$(xprop -id "$main" -notype _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | sort -u)
for size in 16 32 48 128; do
  echo "$icons" | grep -qx "Icon ($size x $size)" || fail "the window has no ${size}x$size icon"
done
class=$(sed -n 's/^StartupWMClass=//p' "$root/share/applications/com.vorlund.PellinPlayer.desktop")
xprop -id "$main" WM_CLASS | grep -q "\"$class\"\$" ||
  fail "the window class is not $class, which the desktop entry names"
end_started

# One line of this playlist cannot be used: the box that says so shows that the file was opened.
mkdir -p "$work/lists"
printf '/v/a.avi;A;1:00\r\nno separators here\r\n' >"$work/lists/mine.pel"
start_x_server
run_player "$work/lists/mine.pel"
visible_window ' v2\.1\.0$' 30 "the box about the playlist's unusable line" >/dev/null
echo "$test_name: passed"
