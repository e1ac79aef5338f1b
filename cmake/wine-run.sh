#!/usr/bin/env bash
# Runs a Windows test program under Wine, in a prefix of the build's own so
# that runs do not depend on the user's ~/.wine.
set -u
program=$1
shift
dir=$(cd "$(dirname "$program")" && pwd)
build=$dir
while [ "$build" != "/" ] && [ ! -f "$build/CMakeCache.txt" ]; do build=$(dirname "$build"); done
[ -f "$build/CMakeCache.txt" ] || build=$dir
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$program" "$@"
