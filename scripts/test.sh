#!/usr/bin/env bash
# Builds every configuration and passes every test:
#   linux        the library and its tests
#   linux-asan   the same under AddressSanitizer and UndefinedBehaviorSanitizer
#   linux-tsan   the same under ThreadSanitizer
#   linux-fuzz   every fuzz target over its corpus for a few seconds
#   windows-x64  the Windows build and its tests, run under Wine
#   windows-x86  Ovpb32.dll, its export table checked against the list
# Usage: scripts/test.sh [preset ...]   (default: all of them)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(linux linux-asan linux-tsan linux-fuzz windows-x64 windows-x86)

build() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

timings=()
for preset in "${presets[@]}"; do
  echo "=== $preset"
  started=$SECONDS
  case "$preset" in
    windows-x86)
      build "$preset"
      scripts/check-exports.sh i686-w64-mingw32-objdump build/windows-x86/Ovpb32.dll \
        build/windows-x86/exported-names.txt
      ;;
    linux-fuzz)
      scripts/fuzz.sh
      ;;
    windows-x64)
      build "$preset"
      # Make the build's Wine prefix once, before tests start Wine in parallel.
      WINEPREFIX="$PWD/build/windows-x64/wineprefix" WINEDEBUG=-all wine wineboot --init >/dev/null 2>&1 || true
      ctest --preset "$preset"
      scripts/check-package.sh "$preset"
      ;;
    linux)
      build "$preset"
      ctest --preset "$preset"
      scripts/check-package.sh "$preset"
      ;;
    *)
      build "$preset"
      ctest --preset "$preset"
      ;;
  esac
  timings+=("$preset: $((SECONDS - started))")
done
echo "=== seconds per configuration"
printf '  %s\n' "${timings[@]}"
