#!/usr/bin/env bash
# Writes tests/datetime/wine_dates.txt: dates in several locales as
# GetDateFormatA writes them under Wine (long, short and explicit
# pictures). The Linux tests compare the POSIX layer with it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/windows-x64
cmake --preset windows-x64 >/dev/null
cmake --build --preset windows-x64 --target ovpb_test_child
WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all wine wineboot --init >/dev/null 2>&1 || true
out=tests/datetime/wine_dates.txt
{
  echo "# GetDateFormatA under Wine ($(wine --version)), written by scripts/record-dates.sh:"
  echo "# locale, date, form (LONG, SHORT or the picture), text in UTF-8."
  LANG=C.UTF-8 LC_ALL=C.UTF-8 cmake/wine-run.sh "$build/tests/ovpb_test_child.exe" date-formats | tr -d '\r'
} > "$out"
wc -l "$out"
