#!/usr/bin/env bash
# Installs a built configuration into a temporary prefix and builds and runs
# the example program against it, as a consumer of the package would:
#   linux        with find_package and with pkg-config; then a Debian package
#   windows-x64  with mingw against the installed DLL, run under Wine
# Usage: scripts/check-package.sh linux|windows-x64
set -euo pipefail
cd "$(dirname "$0")/.."
preset="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
cmake --install "build/$preset" --prefix "$prefix" >/dev/null

case "$preset" in
  linux)
    cmake -S examples -B "$work/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
    cmake --build "$work/cmake" >/dev/null
    "$work/cmake/consumer"
    libdir="$(dirname "$(find "$prefix" -name ovpb32.pc)")/.."
    cc examples/consumer.c -o "$work/consumer-pc" \
      $(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs ovpb32) -Wl,-rpath,"$libdir"
    "$work/consumer-pc"
    "$prefix/bin/ovpb" --version
    (cd "build/$preset" && cpack -G DEB >/dev/null)
    deb="$(ls build/$preset/ovpb32_*.deb)"
    dpkg-deb -c "$deb" > "$work/deb-contents"
    grep -q 'bin/ovpb$' "$work/deb-contents"
    grep -q 'include/ovpb32.h$' "$work/deb-contents"
    grep -q 'libovpb32.so$' "$work/deb-contents"
    echo "package: $deb"
    ;;
  windows-x64)
    x86_64-w64-mingw32-gcc examples/consumer.c -o "$prefix/bin/consumer.exe" -I"$prefix/include" -L"$prefix/lib" \
      -lOvpb32 -static-libgcc
    WINEPREFIX="$PWD/build/$preset/wineprefix" WINEDEBUG=-all wine "$prefix/bin/consumer.exe"
    WINEPREFIX="$PWD/build/$preset/wineprefix" WINEDEBUG=-all wine "$prefix/bin/ovpb.exe" --version
    ls "$prefix/lib/libOvpb32.dll.a" "$prefix/lib/Ovpb32.lib" >/dev/null
    ;;
  *)
    echo "check-package: no package check for $preset" >&2
    exit 2
    ;;
esac
echo "package check ($preset): passed"
