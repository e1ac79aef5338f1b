#!/usr/bin/env bash
# Builds the Linux library and the ovpb tool, then runs the main job: with
# no arguments, a demonstration on an embedded default (a copy of the
# library in build/linux/demo with a cv.ver of its own, a ring log small
# enough to wrap, entries written through the tool and shown back in
# order); with arguments, `ovpb` with them.
# Usage: scripts/build.sh [ovpb arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux
[ $# -eq 0 ] || exec build/linux/ovpb "$@"

demo="$PWD/build/linux/demo"
rm -rf "$demo"
mkdir -p "$demo"
cp build/linux/libovpb32.so "$demo/"
cat > "$demo/cv.ver" <<INI
[VERSION]
GeneralLogging=1
LoggingSize=900
LoggingPath=$demo/demo.log
INI
ovpb() { LD_LIBRARY_PATH="$demo" build/linux/ovpb "$@"; }

echo "--- ovpb log where"
ovpb log where
for i in $(seq 1 12); do
  ovpb log write --level 1 Demo "entry $i of 12"
done
echo "--- ovpb log show (a ring of 900 bytes, wrapped: the oldest surviving entry first)"
ovpb log show
echo "--- ovpb log show --json --grep '12 of'"
ovpb log show --json --grep '12 of'
