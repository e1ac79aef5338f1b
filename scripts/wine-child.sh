# Sourced by the scripts that record the Windows build's answers under Wine
# (from the repository's root): builds the test child of windows-x64 and
# readies the build's own Wine prefix. Sets `build` and `child`; `ask` runs
# the child under a locale.
build=build/windows-x64
cmake --preset windows-x64 >/dev/null
cmake --build --preset windows-x64 --target ovpb_test_child
child="$build/tests/ovpb_test_child.exe"
WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all wine wineboot --init >/dev/null 2>&1 || true

ask() {  # locale, the child's arguments: its answer without carriage returns
  LANG="$1" LC_ALL="$1" cmake/wine-run.sh "$child" "${@:2}" | tr -d '\r'
}
