#!/usr/bin/env bash
# The author's disc: pellin-course-disc writes the image of a small course that is not the demo
# (letter case of its own, blanks in names, a stale copy of the player in bin/) and reads the
# course only. The image holds every file of the course unchanged, the bundle in bin/ and the
# volume id asked for; a wrong request is refused with a message and writes nothing.
#   author-disc.sh BUILD_DIR
set -euo pipefail
test_name=packaging_author_disc
build=$1
# shellcheck source-path=SCRIPTDIR source=common.sh
source "$(dirname "$0")/common.sh"

cmake --build "$build" --target PellinPlayer PellinStart pellin-disc-start pellin_libmpv >"$work/build.log" 2>&1 ||
  { cat "$work/build.log" >&2; fail "building the player failed"; }
command=$build/pellin-course-disc
[ -x "$command" ] || fail "no $command"

course="$work/My Course"
mkdir -p "$course/BIN" "$course/Lessons/Part One" "$course/Docs"
printf '[Course]\r\nTitle=Networks in practice\r\n' >"$course/BIN/Index.dat"
echo "an old player" >"$course/BIN/PellinPlayer"
ffmpeg -nostdin -hide_banner -loglevel error -f lavfi -i testsrc=size=160x120:rate=25:duration=1 \
  -c:v msmpeg4v2 -f avi "$course/Lessons/Part One/Lesson 1.avi"
head -c 5000 /dev/urandom >"$course/Docs/Hand out.pdf"
echo "the author's own notes" >"$course/.videos"
chmod -R a-w "$course"
snapshot() {
  (cd "$course" && find . -printf '%M %s %T@ %p\n' | LC_ALL=C sort)
}
# The sums of the course's files, its bin folder named bin/ as on the disc, the bundle left out.
sums() {
  (cd "$1" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum) |
    sed 's#  \./BIN/#  ./bin/#' |
    grep -v '  \./bin/\(PellinPlayer\|PellinStart\|qt\.conf\|runtime\.sha256\|runtime\.xz\|lib/.*\|plugins/.*\)$\|  \./PellinStart$' |
    LC_ALL=C sort -k2
}
snapshot >"$work/course-before.txt"
sums "$course" >"$work/course-sums.txt"

# Refused requests: each says why and writes no image.
refused() {
  local expected=$1
  shift
  if "$command" "$@" >"$work/refused.log" 2>&1; then
    fail "pellin-course-disc accepted: $*"
  fi
  grep -q -- "$expected" "$work/refused.log" || { cat "$work/refused.log" >&2; fail "no '$expected' for: $*"; }
}
refused "volume id" --volid "not a volume id" "$course" "$work/refused.iso"
refused "holds no course" "$work" "$work/refused.iso"
refused "inside the course" "$course" "$course/Docs/refused.iso"
refused "usage" "$course"
[ ! -e "$work/refused.iso" ] || fail "a refused request wrote an image"

image=$work/out/networks.iso
mkdir -p "$work/out"
"$command" --volid NETWORKS_2 "$course" "$image" >"$work/disc.log" 2>&1 ||
  { cat "$work/disc.log" >&2; fail "pellin-course-disc failed"; }
[ -s "$image" ] || fail "no image written"

snapshot >"$work/course-after.txt"
diff "$work/course-before.txt" "$work/course-after.txt" >&2 || fail "the course folder changed"

xorriso -indev "$image" -pvd_info 2>/dev/null | grep -q "^Volume Id *: NETWORKS_2$" ||
  fail "the image's volume id is not NETWORKS_2"
disc=$work/disc
osirrox -indev "$image" -extract / "$disc" >"$work/osirrox.log" 2>&1 ||
  { cat "$work/osirrox.log" >&2; fail "osirrox could not extract the image"; }
sums "$disc" >"$work/disc-sums.txt"
# The course's files, the author's own notes among them, are on the disc unchanged.
diff "$work/course-sums.txt" "$work/disc-sums.txt" >&2 ||
  fail "the disc's copy of the course differs"
[ -x "$disc/PellinStart" ] || fail "no PellinStart at the disc's root"
# The course's bin folder is the disc's bin/, where PellinStart looks, and holds the bundle.
[ ! -e "$disc/BIN" ] || fail "the disc has a BIN folder beside bin/"
[ -f "$disc/bin/Index.dat" ] || fail "the course index is not in the disc's bin/"
[ -x "$disc/bin/PellinPlayer" ] || fail "no player in the course's bin folder"
cmp -s "$disc/bin/PellinPlayer" "$course/BIN/PellinPlayer" && fail "the course's old player stayed"
[ -s "$disc/bin/runtime.sha256" ] || fail "no runtime list in bin/"
(cd "$disc/bin" && awk '{print $1 "  " $3}' runtime.sha256 | sha256sum --quiet -c) >&2 ||
  fail "the runtime list does not match the disc's files"
echo "$test_name: passed"
