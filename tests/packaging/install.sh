#!/usr/bin/env bash
# `cmake --install` gives the complete tree, into a staging folder (DESTDIR) and into a prefix of
# its own, and the installed desktop entry and metainfo pass their validators.
#   install.sh BUILD_DIR
set -euo pipefail
test_name=packaging_install
build=$1
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "$0")/common.sh"

id=com.vorlund.PellinPlayer
sizes=(16 22 24 32 48 64 128 256)
expected=(bin/PellinPlayer bin/PellinStart lib/pellin-player/engine/pellin-libmpv.so
          "share/applications/$id.desktop"
          share/doc/pellin-player/copyright share/doc/pellin-player/changelog.gz
          share/man/man1/PellinPlayer.1.gz share/man/man1/PellinStart.1.gz
          "share/icons/hicolor/scalable/apps/$id.svg"
          "share/metainfo/$id.metainfo.xml"
          "share/mime/packages/$id.xml")
for size in "${sizes[@]}"; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done

# The tree below $1 holds exactly the expected files, each as it should be.
check_tree() {
  local root=$1 size
  diff <(printf '%s\n' "${expected[@]}" | LC_ALL=C sort) \
       <(cd "$root" && find . -type f -printf '%P\n' | LC_ALL=C sort) >&2 ||
    fail "$root does not hold the expected files"
  [ -z "$(cd "$root" && find . -type l)" ] || fail "$root holds links"
  for program in bin/PellinPlayer bin/PellinStart; do
    [ -x "$root/$program" ] || fail "$root/$program is not executable"
    if readelf -d "$root/$program" | grep -Eq 'R(UN)?PATH'; then
      fail "$root/$program keeps a run path"
    fi
  done
  for size in "${sizes[@]}"; do
    [ "$(identify -format '%wx%h' "$root/share/icons/hicolor/${size}x${size}/apps/$id.png")" = \
      "${size}x${size}" ] || fail "the ${size}x${size} icon has another size"
  done
  for file in "$root/share/mime/packages/$id.xml" "$root/share/metainfo/$id.metainfo.xml" \
              "$root/share/icons/hicolor/scalable/apps/$id.svg"; do
    xmllint --noout "$file" || fail "$file is no well-formed XML"
  done
  # The manual pages are roff that man reads without a warning.
  for page in PellinPlayer PellinStart; do
    report=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
               "$root/share/man/man1/$page.1.gz" 2>&1 >/dev/null) ||
      fail "man cannot read the page of $page"
    [ -z "$report" ] || { echo "$report" >&2; fail "the page of $page has faults"; }
  done
}

DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; fail "cmake --install with DESTDIR failed"; }
check_tree "$work/stage/usr"

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; fail "cmake --install into a prefix failed"; }
check_tree "$work/prefix"
# The manifest names every installed file.
[ "$(grep -c "" "$build/install_manifest.txt")" -eq "${#expected[@]}" ] ||
  fail "the install manifest does not list the ${#expected[@]} files"

root=$work/stage/usr
desktop_report=$(desktop-file-validate "$root/share/applications/$id.desktop" 2>&1) ||
  { echo "$desktop_report" >&2; fail "desktop-file-validate failed"; }
[ -z "$desktop_report" ] || { echo "$desktop_report" >&2; fail "desktop-file-validate complained"; }
# The entry claims the playlists and the video types the player plays, by the names the
# desktop's type database gives them and their aliases, and takes every file the desktop passes.
entry=$root/share/applications/$id.desktop
types=$(sed -n 's/^MimeType=//p' "$entry" | tr ';' '\n')
for type in application/x-pellin-playlist video/x-msvideo video/vnd.avi video/avi video/msvideo \
            video/x-avi video/mpeg video/x-mpeg video/mpeg-system video/x-mpeg2 \
            application/vnd.ms-asf video/x-ms-asf video/x-ms-wmv; do
  echo "$types" | grep -qx "$type" || fail "the desktop entry does not claim $type"
done
grep -qx "Exec=PellinPlayer %F" "$entry" || fail "the desktop entry passes not every file: $(grep ^Exec= "$entry")"

# The one pedantic note allowed is the capitals in the component id: it is the desktop file's
# name and the desktop's name of the running player, which stay as they are.
appstream_report=$(appstreamcli validate --pedantic --strict --no-net \
                     "$root/share/metainfo/$id.metainfo.xml" 2>&1) ||
  { echo "$appstream_report" >&2; fail "appstreamcli validate failed"; }
if echo "$appstream_report" | grep -E '^[EWIP]:' | grep -v ': cid-contains-uppercase-letter ' >&2
then
  fail "appstreamcli validate complained"
fi
metainfo=$root/share/metainfo/$id.metainfo.xml
for element in '<url type="homepage">' '<project_license>' '<metadata_license>' '<screenshot ' \
               '<release version="2.1.0"'; do
  grep -qF "$element" "$metainfo" || fail "the metainfo lacks $element"
done
echo "$test_name: passed"
