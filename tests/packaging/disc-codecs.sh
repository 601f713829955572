#!/usr/bin/env bash
# Every course codec plays on the disc's own bundle, stand-ins and all: the engine checks that
# play a clip of each of the course's formats (AVI, MPEG, ASF/WMV) run beside the disc's bin/lib,
# so that the engine module, libmpv, the decoders and every library they link, real or stand-in,
# are the disc's. A stand-in that replaces a library the player calls ends the process with its
# own message, and the play fails.
#   disc-codecs.sh BUILD_DIR
set -euo pipefail
test_name=packaging_disc_codecs
build=$1
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "$0")/common.sh"

cmake --build "$build" --target course-disc tst_mci_opens >"$work/build.log" 2>&1 ||
  { cat "$work/build.log" >&2; fail "building the course disc failed"; }
image=$(sed -n 's/^PELLIN_DISC_IMAGE:FILEPATH=//p' "$build/CMakeCache.txt")
[ -s "$image" ] || fail "no disc image at $image"
disc=$(realpath "$work")/disc
osirrox -indev "$image" -extract /bin "$disc/bin" >"$work/osirrox.log" 2>&1 ||
  { cat "$work/osirrox.log" >&2; fail "osirrox could not extract the image"; }
bundle=$disc/bin
grep -q 'is a stand-in on this disc' "$bundle"/lib/* 2>/dev/null ||
  fail "the disc carries no stand-in: nothing to check"

# The engine checks look for the engine module in lib/ beside their program, as the player does;
# the module and each library of the disc find theirs through their run path, in the disc's lib/.
checks=$(find "$build/tests/mci" -maxdepth 1 -name tst_mci_opens -type f | head -n 1)
[ -x "$checks" ] || fail "no engine checks at $build/tests/mci/tst_mci_opens"
cp "$checks" "$bundle/"
start_x_server
status=0
LD_DEBUG=libs LD_DEBUG_OUTPUT="$work/loader" \
  QT_QPA_PLATFORM=xcb "$bundle/tst_mci_opens" >"$work/checks.log" 2>&1 || status=$?
if grep 'is a stand-in on this disc' "$work/checks.log" >&2; then
  fail "a course video called a library the disc carries as a stand-in"
fi
[ "$status" -eq 0 ] || { cat "$work/checks.log" >&2; fail "the course's videos did not all play ($status)"; }
grep -q 'eachVideoIsOpenedOnceBeforeItsFirstFrame(asf-.* played)' "$work/checks.log" ||
  fail "the engine checks played no ASF video"

# The engine module and its closure were the disc's.
cat "$work/loader".* >"$work/loader.txt"
for library in pellin-libmpv libmpv libavcodec libavformat; do
  grep -q "calling init: $bundle/lib/$library\.so" "$work/loader.txt" ||
    fail "$library was not loaded from the disc's bin/lib"
done
echo "$test_name: every course codec played on the disc's bundle"
