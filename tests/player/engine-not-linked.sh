#!/bin/sh
# The player starts without the media engine's libraries: neither the program nor anything it
# links needs libmpv or FFmpeg's libraries, which come with the engine module at run time.
#   engine-not-linked.sh PLAYER MODULE
set -eu
player=$1
module=$2
if ldd "$player" | grep -E 'lib(mpv|avcodec|avformat|avutil)\.so'; then
  echo "$player links the media engine's libraries" >&2
  exit 1
fi
ldd "$module" | grep -q 'libmpv\.so' || { echo "$module does not link libmpv" >&2; exit 1; }
echo "engine-not-linked: passed"
