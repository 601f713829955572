#!/usr/bin/env bash
# The Debian package passes lintian at its default and its pedantic levels: it reports no error,
# no warning and no pedantic hint.
#   lintian.sh BUILD_DIR
set -euo pipefail
test_name=packaging_lintian
build=$1
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "$0")/common.sh"

build_deb "$build"
for level in "" --pedantic; do
  # Its own notes (such as running as root) go to the error stream; the findings to the output.
  # shellcheck disable=SC2086 # the level is one word or none
  if ! lintian --no-cfg $level --fail-on error,warning,pedantic "$deb" \
      >"$work/lintian.log" 2>"$work/lintian.err" || grep -q . "$work/lintian.log"; then
    cat "$work/lintian.log" "$work/lintian.err" >&2
    fail "lintian ${level:-at its default level} reports the package"
  fi
done
echo "$test_name: passed"
