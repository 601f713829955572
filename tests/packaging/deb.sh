#!/usr/bin/env bash
# The Debian package: CPack builds it from the install rules; its control file names the
# libraries the programs link (computed by dpkg-shlibdeps) and the Qt platform plugins, it has
# no maintainer scripts, and it holds the installed tree under /usr, owned by root, with the
# programs stripped and without run paths.
#   deb.sh BUILD_DIR
set -euo pipefail
test_name=packaging_deb
build=$1
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "$0")/common.sh"

build_deb "$build"
version=$(sed -n 's/^project(PellinPlayer VERSION \([0-9.]*\).*/\1/p' \
            "$(dirname "$0")/../../CMakeLists.txt")
[ "$(basename "$deb")" = "pellin-player_${version}_$(dpkg --print-architecture).deb" ] ||
  fail "the package file is named $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = pellin-player ] || fail "the package is named $(field Package)"
[ "$(field Version)" = "$version" ] || fail "the package version is $(field Version)"
[ "$(field Section)" = video ] || fail "the section is $(field Section)"
[ "$(field Homepage)" = https://www.vorlund.example/ ] || fail "the home page is $(field Homepage)"
[ -n "$(field Maintainer)" ] || fail "the package has no maintainer"
depends=$(field Depends | tr -d ' ' | tr ',' '\n' | sed 's/(.*//')
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libmpv2 qt6-qpa-plugins; do
  echo "$depends" | grep -qx "$package" || fail "Depends lacks $package: $(field Depends)"
done
# Versions come from the libraries' symbols files, as dpkg-shlibdeps writes them.
field Depends | grep -q 'libqt6core6 (>= 6' || fail "the Qt dependency has no version"

dpkg-deb -I "$deb" >"$work/info.txt"
control_files=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -v '^$' | sort)
[ "$control_files" = "$(printf 'control\nmd5sums')" ] ||
  fail "the package has control files beyond control and md5sums: $control_files"

dpkg-deb -c "$deb" >"$work/contents.txt"
if awk '$2 != "root/root"' "$work/contents.txt" | grep . >&2; then
  fail "files not owned by root"
fi
id=com.vorlund.PellinPlayer
for path in usr/bin/PellinPlayer usr/bin/PellinStart usr/lib/pellin-player/engine/pellin-libmpv.so \
            usr/share/applications/$id.desktop \
            usr/share/metainfo/$id.metainfo.xml usr/share/mime/packages/$id.xml \
            usr/share/icons/hicolor/scalable/apps/$id.svg \
            usr/share/icons/hicolor/48x48/apps/$id.png usr/share/doc/pellin-player/copyright; do
  grep -q " \./$path\$" "$work/contents.txt" || fail "the package lacks /$path"
done
if grep -v -E ' \./(usr/|usr/lib/)?$| \./usr/(bin|share|lib/pellin-player)/' "$work/contents.txt" >&2
then
  fail "the package installs outside /usr/bin, /usr/lib/pellin-player and /usr/share"
fi

dpkg-deb -x "$deb" "$work/tree"
for program in PellinPlayer PellinStart; do
  file "$work/tree/usr/bin/$program" | grep -q ', stripped' || fail "$program is not stripped"
  if readelf -d "$work/tree/usr/bin/$program" | grep -Eq 'R(UN)?PATH'; then
    fail "$program keeps a run path"
  fi
done
echo "$test_name: passed"
